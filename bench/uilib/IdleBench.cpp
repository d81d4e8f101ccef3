// Idle cost of a themed window: 50 of the library's controls on a form,
// shown off screen, every animation settled; then the event loop runs for a
// few seconds while an application-wide filter counts the timer events and
// the process's CPU time is taken. A second run starts one indeterminate
// progress bar, to show what a running animation costs against it.
//   idle_bench [seconds]
#include "CProgress.h"
#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXForm.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXScrollBox.h"
#include "FXScrollbar.h"
#include "FXSlider.h"
#include "FXThemeManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

// Counts timer events by the class of their receiver.
class TimerCounter : public QObject {
  public:
    std::map<std::string, int> ByReceiver;
    int Total = 0;
    const QObject* Ignore = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer && watched != Ignore) {
            ++Total;
            if (watched == ThemeManager->RegistryMonitor()) {
                ++ByReceiver["theme manager's 100 ms poll of the desktop's dark-mode switch"];
                return false;
            }
            const QObject* owner = watched->parent() != nullptr ? watched->parent() : watched;
            ++ByReceiver[std::string(watched->metaObject()->className()) + " of " +
                         owner->metaObject()->className()];
        }
        return false;
    }
};

struct Figures {
    int Timers = 0;
    double CpuMs = 0;
    std::map<std::string, int> ByReceiver;
};

Figures Measure(int seconds) {
    TimerCounter counter;
    QEventLoop loop;
    QTimer stop;
    stop.setSingleShot(true);
    stop.setInterval(seconds * 1000);
    QObject::connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
    counter.Ignore = &stop;
    qApp->installEventFilter(&counter);
    const double cpu = CpuSeconds();
    stop.start();
    loop.exec();
    Figures figures{counter.Total, (CpuSeconds() - cpu) * 1000, counter.ByReceiver};
    qApp->removeEventFilter(&counter);
    return figures;
}

void Report(const char* title, const Figures& figures, int seconds) {
    std::printf("%s\n", title);
    std::printf("  timer events: %d in %d s (%.1f per second)\n", figures.Timers, seconds,
                double(figures.Timers) / seconds);
    std::printf("  CPU time:     %.1f ms (%.3f %% of one core)\n", figures.CpuMs,
                figures.CpuMs / (seconds * 10.0));
    for (const auto& [receiver, count] : figures.ByReceiver)
        std::printf("    %6d  %s\n", count, receiver.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitializeUILibrary();
    ThemeManager->setDarkThemeMode(FXDarkSetting::ForceLight);

    FXForm form;
    form.resize(1000, 700);
    auto* grid = new QGridLayout(&form);
    auto* panel = new FXPanel(&form);
    grid->addWidget(panel);
    auto* layout = new QGridLayout(panel);
    int count = 0;
    const auto place = [&](QWidget* control) {
        layout->addWidget(control, count / 5, count % 5);
        ++count;
    };
    FXProgress* marquee = nullptr;
    for (int i = 0; i < 10; ++i) {
        auto* button = new FXButton(panel);
        button->setButtonKind(FXButtonKind(i % 6));
        place(button);
    }
    for (int i = 0; i < 10; ++i) {
        auto* bar = new FXProgress(panel);
        bar->setValue(float(i * 10));
        if (i == 0) marquee = bar;
        place(bar);
    }
    for (int i = 0; i < 10; ++i) {
        auto* box = new FXCheckBox(panel);
        box->setChecked(i % 2 == 0);
        place(box);
    }
    for (int i = 0; i < 10; ++i) {
        auto* slider = new FXSlider(panel);
        slider->setPosition(i * 10);
        place(slider);
    }
    for (int i = 0; i < 5; ++i) {
        auto* bar = new FXScrollbar(panel);
        bar->setPosition(i * 20);
        place(bar);
    }
    for (int i = 0; i < 4; ++i) {
        // The older bar at its start has no filled part for its highlight to light up.
        auto* bar = new CProgress(panel);
        place(bar);
    }
    auto* box = new FXScrollBox(panel);
    for (int i = 0; i < 6; ++i)
        (new FXCheckBox(box))->setGeometry(0, i * 40, 150, 30);
    place(box);
    form.show();

    // Let every start-up fade and glide play out before measuring.
    QEventLoop settle;
    QTimer::singleShot(1500, &settle, &QEventLoop::quit);
    settle.exec();

    std::printf("idle_bench: %d themed controls on a form, off screen, %d s per run\n", count, seconds);
    Report("idle (no animation running):", Measure(seconds), seconds);
    marquee->setProgressKind(FXProgressKind::Intermediate);
    Report("one indeterminate progress bar running:", Measure(seconds), seconds);
    marquee->setProgressKind(FXProgressKind::Normal);
    FinalizeUILibrary();
    return 0;
}
