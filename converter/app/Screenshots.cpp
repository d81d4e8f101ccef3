// formshift-screenshots: renders the main window without a display, light and
// dark, during a run and with the settings open, for people to look at.
// Not installed; scripts/screenshots builds and runs it.
#include "About.h"
#include "Converters.h"
#include "FXThemeManager.h"
#include "FileListBox.h"
#include "FormshiftMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (window.grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    std::fprintf(stderr, "formshift-screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: formshift-screenshots OUTPUT-FOLDER SAMPLE-FOLDER\n", stderr);
        return 2;
    }
    const QString output = arguments[1];
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "formshift-screenshots: cannot create %s\n", qPrintable(output));
        return 1;
    }
    // A private data folder: the user's settings neither show nor change.
    QTemporaryDir data;
    InitializeUILibrary();
    TFormshift window(data.path() + QLatin1Char('/'));
    window.setAllowThemeChangeAnimation(false);
    InstallConverters(window.Driver().Converters);
    window.setWindowTitle(QStringLiteral("Formshift"));
    window.resize(1035, 629);
    window.show();
    bool saved = true;
    const auto both = [&](const QString& name, const std::function<void()>& prepare) {
        for (const auto& [mode, suffix] : {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                                           std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
            ThemeManager->setDarkThemeMode(mode);
            window.UpdateTheme(true);
            if (prepare) prepare();
            saved = Save(window, output, name + QLatin1Char('-') + suffix) && saved;
        }
    };
    // An empty list shows the drop zone.
    both(QStringLiteral("empty"), nullptr);

    QStringList samples;
    const QDir sampleFolder(arguments[2]);
    for (const QString& name : sampleFolder.entryList(QDir::Files, QDir::Name))
        samples << sampleFolder.filePath(name);
    window.AddFiles(samples);
    window.Driver().PrepareList();
    window.Driver().ExportPath = data.path();
    window.UpdatePathCaption();

    both(QStringLiteral("window"), nullptr);
    // The convert button's option panel, opened as its button opens it.
    QMetaObject::invokeMethod(window.findChild<QObject*>(QStringLiteral("Label7")), "clicked");
    both(QStringLiteral("options"), nullptr);
    window.findChild<QWidget*>(QStringLiteral("ExtraConvert"))->hide();

    // A real run, photographed from inside the conversion of one file: the
    // files before it have finished (one of them failed, another cannot be
    // converted to PNG at all), this one shows its percentage, the rest wait.
    const QString damaged = QDir(data.path()).filePath(QStringLiteral("damaged.png"));
    {
        QFile file(damaged);
        if (file.open(QIODevice::WriteOnly)) file.write("not a picture");
    }
    QStringList runFiles = samples;
    runFiles.insert(std::min<qsizetype>(1, runFiles.size()), damaged);
    window.Jobs().Clear();
    window.AddFiles(runFiles);
    window.Driver().PrepareList();
    window.Driver().Settings.DoneConvert = static_cast<int>(DoneAction::DoNothing);
    window.Driver().TargetFormat = FormatTag::PNG;
    window.SyncVarNames();
    const QString pauseAt = QStringLiteral("sunset.png");
    const Converter image = window.Driver().Converters.Image;
    window.Driver().Converters.Image = [&](const ConversionJob& job) {
        if (QFileInfo(job.SourcePath).fileName() == pauseAt) {
            job.SetItemPercent(60);
            const auto shoot = [&] {
                for (const auto& [mode, suffix] :
                     {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                      std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
                    ThemeManager->setDarkThemeMode(mode);
                    window.UpdateTheme(true);
                    saved = Save(window, output, QStringLiteral("running-") + suffix) && saved;
                }
            };
            // The photograph is taken where the window lives, whichever thread converts.
            if (QThread::currentThread() == app.thread())
                shoot();
            else
                QMetaObject::invokeMethod(&app, shoot, Qt::BlockingQueuedConnection);
        }
        return image(job);
    };
    window.Driver().ConvertAll();
    while (window.Driver().RunState() != RunStateKind::Idle)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.Driver().Converters.Image = image;
    both(QStringLiteral("finished"), nullptr);

    // Ten thousand rows, the current one in the middle, chosen by the keyboard.
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many << QStringLiteral("/pictures/holiday %1.jpg").arg(i + 1, 5, 10, QLatin1Char('0'));
    window.Jobs().FileList = many;
    window.Driver().PrepareList();
    auto* list = window.findChild<TFileListBox*>(QStringLiteral("ItemsFiles"));
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentRow(5000);
    both(QStringLiteral("long-list"), nullptr);
    window.Jobs().FileList = runFiles;
    window.Driver().PrepareList();

    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("SettingsPages"));
    window.findChild<QWidget*>(QStringLiteral("SettingsBt"))->setFocus();
    QMetaObject::invokeMethod(window.findChild<QObject*>(QStringLiteral("SettingsBt")), "clicked");
    for (int page = 0; pages && page < pages->count(); ++page)
        both(QStringLiteral("settings-") + pages->tabText(page).toLower(),
             [pages, page] { pages->setCurrentIndex(page); });

    TAboutForm* about = TAboutForm::Open();
    about->setAllowThemeChangeAnimation(false);
    for (const auto& [mode, suffix] : {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                                       std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
        ThemeManager->setDarkThemeMode(mode);
        saved = Save(*about, output, QStringLiteral("about-") + suffix) && saved;
    }
    return saved ? 0 : 1;
}
