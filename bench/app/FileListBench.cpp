// Cost of the main window's file list as it grows: filling it, redrawing it
// and one tick of a run (a row changes state, the list follows), for 100,
// 10,000 and 100,000 files; beside it Qt's own list view over a plain string
// model, the widget the list replaced. Off screen; median of the given runs.
//   file_list_bench [runs]
#include "FXThemeManager.h"
#include "FileListBox.h"
#include "FormshiftMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QStringList Names(int count) {
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("/pictures/holiday %1.jpg").arg(i);
    return names;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    QTemporaryDir data;
    InitializeUILibrary();
    TFormshift window(data.path() + QLatin1Char('/'));
    window.setAllowThemeChangeAnimation(false);
    window.resize(1035, 629);
    window.show();
    auto* list = window.findChild<TFileListBox*>(QStringLiteral("ItemsFiles"));
    QListView view;
    QStringListModel model;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(list->size());
    view.show();

    std::printf("%-8s %-22s %12s %12s %12s\n", "files", "widget", "fill ms", "redraw ms", "run tick ms");
    for (const int count : {100, 10000, 100000}) {
        const QStringList names = Names(count);
        const double fill = MedianMs(runs, [&] {
            window.Jobs().Clear();
            window.Driver().PrepareList();
            window.Jobs().FileList = names;
            window.Driver().PrepareList();
            QApplication::processEvents();
        });
        list->setCurrentRow(count / 2);
        const double redraw = MedianMs(runs, [&] { (void)list->grab(); });
        int tick = 0;
        const double step = MedianMs(runs, [&] {
            const auto row = static_cast<std::size_t>(count / 2);
            window.Jobs().ItemStatus[row] =
                (++tick % 2) ? TModifyProgress::Finalised : TModifyProgress::Waiting;
            window.Driver().PrepareList();
            (void)list->grab();
        });
        std::printf("%-8d %-22s %12.3f %12.3f %12.3f\n", count, "TFileListBox", fill, redraw, step);

        const double viewFill = MedianMs(runs, [&] {
            model.setStringList({});
            model.setStringList(names);
            QApplication::processEvents();
        });
        view.scrollTo(model.index(count / 2));
        const double viewRedraw = MedianMs(runs, [&] { (void)view.grab(); });
        const double viewStep = MedianMs(runs, [&] {
            const QModelIndex index = model.index(count / 2);
            model.setData(index, (++tick % 2) ? QStringLiteral("a") : QStringLiteral("b"));
            (void)view.grab();
        });
        std::printf("%-8d %-22s %12.3f %12.3f %12.3f\n", count, "QListView (string model)", viewFill,
                    viewRedraw, viewStep);
    }
    return 0;
}
