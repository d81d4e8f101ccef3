// Runs files through the conversion driver as the program does, headless: the pool of
// workers, the window's thread applying every report, the real image and audio
// converters. A probe timer on the driver's thread measures how long its event loop
// ever went without serving it.
//
//   pool_bench [-j N] FROM TO OUTDIR FILE...     convert these files
//   pool_bench [-j N] --tiny COUNT OUTDIR        COUNT tiny files Base64-encoded
//
// Prints one line: files, failures, seconds, files per second, the probe's longest stall.
#include "AudioConverter.h"
#include "ConversionDriver.h"
#include "ImageConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

class TBenchView : public TDriverView {
  public:
    int Failed = 0;
    void FileFailed(int, const QString& reason) override {
        ++Failed;
        std::fprintf(stderr, "failed: %s\n", qPrintable(reason));
    }
    void CloseMainWindow() override { QCoreApplication::quit(); }
};

class TQuietActions : public TFinishingActions {
  public:
    void PlaySystemSound() override {}
    void ShutDown() override {}
};

// Nanoseconds this thread has spent runnable but waiting for a core: a gap of the probe
// that is mostly this was the machine's load, not work on the thread.
qint64 RunDelay() {
    QFile file(QStringLiteral("/proc/thread-self/schedstat"));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() : 0;
}

int Usage() {
    std::fprintf(stderr, "usage: pool_bench [-j N] FROM TO OUTDIR FILE...\n"
                         "       pool_bench [-j N] --tiny COUNT OUTDIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int simultaneous = DefaultSimultaneousConversions();
    if (args.size() >= 2 && args[0] == QLatin1String("-j")) {
        simultaneous = args[1].toInt();
        args = args.mid(2);
    }

    TJobList jobs;
    TBenchView view;
    TQuietActions actions;
    TConversionDriver driver(jobs, view, actions);
    driver.Converters.Image = ConvertImage;
    driver.Converters.Audio = ConvertAudio;
    driver.Converters.InitiateLibraries = InitiateLibraries;
    driver.Converters.FreeLibraries = FreeLibraries;
    driver.Settings.SimultaneousConversions = simultaneous;
    driver.Settings.DoneConvert = int(DoneAction::DoNothing);
    driver.BackgroundMode = true;

    if (args.size() == 3 && args[0] == QLatin1String("--tiny")) {
        const int count = args[1].toInt();
        const QString out = QDir(args[2]).absolutePath();
        const QString in = out + QStringLiteral("-in");
        QDir().mkpath(in);
        for (int i = 0; i < count; ++i) {
            const QString path = QStringLiteral("%1/f%2.bin").arg(in).arg(i);
            QFile file(path);
            if (!file.exists() && file.open(QIODevice::WriteOnly))
                file.write(QByteArray(100, char('a' + i % 26)));
            jobs.FileList << path;
        }
        driver.TargetFormat = FormatTag::BASE64;
        driver.ExportPath = out;
    } else if (args.size() >= 4) {
        driver.SourceFormat = FormatFromExtension(args[0]);
        driver.TargetFormat = FormatFromExtension(args[1]);
        driver.ExportPath = QDir(args[2]).absolutePath();
        jobs.FileList = args.mid(3);
    } else {
        return Usage();
    }
    QDir().mkpath(driver.ExportPath);
    driver.DataFolder = driver.ExportPath + QStringLiteral("/.data/");
    jobs.PrepareList();

    // The probe asks to run every 5 ms; its lateness is how long the loop was held up.
    QElapsedTimer clock;
    qint64 lastTick = -1, longestGap = 0, longestGapAt = 0, lastDelay = 0, longestGapWaiting = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 delay = RunDelay();
        if (lastTick >= 0 && now - lastTick > longestGap) {
            longestGap = now - lastTick;
            longestGapAt = lastTick;
            longestGapWaiting = delay - lastDelay;
        }
        lastTick = now;
        lastDelay = delay;
    });

    clock.start();
    probe.start();
    QTimer::singleShot(0, [&] { driver.ConvertAll(); });
    app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const int files = jobs.Count();
    std::printf(
        "files %d failed %d seconds %.3f files/s %.0f longest-probe-gap-ms %.1f (-j %d; it began at %.3f s, "
        "%.1f ms of it waiting for a core)\n",
        files, view.Failed, seconds, files / seconds, longestGap / 1e6,
        ClampSimultaneousConversions(simultaneous), longestGapAt / 1e9, longestGapWaiting / 1e6);
    return view.Failed ? 1 : 0;
}
