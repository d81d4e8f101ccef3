#include "ConsoleRun.h"

#include "NotificationSound.h"
#include "WindowsEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void WriteError(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// Lines on standard error, and on a terminal one progress line kept below them
// and rewritten in place.
class TConsoleView : public TDriverView {
  public:
    explicit TConsoleView(const TJobList& jobs) : FJobs(jobs), FTerminal(isatty(STDERR_FILENO) == 1) {}

    void ListChanged() override { ShowProgress(false); }
    void RunFinished() override {
        ClearProgress();
        // Queued, so that a run that ends before the event loop runs still ends it.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    void CloseMainWindow() override { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }
    void FileFailed(int item, const QString& reason) override { Line(item, reason); }
    void FileLostSomething(int item, const QString& what) override {
        Line(item, QStringLiteral("not kept: ") + what);
    }

    void Line(const QString& text) {
        ClearProgress();
        PrintError(text);
        ShowProgress(true);
    }

  private:
    void Line(int item, const QString& text) {
        Line((item >= 0 && item < FJobs.Count() ? FJobs.FileList[item] : QString()) + QStringLiteral(": ") +
             text);
    }

    void ShowProgress(bool now) {
        if (!FTerminal) return;
        // Redrawing for every event of a run of small files would cost more than converting them.
        if (!now && FShown && FSinceDrawn.isValid() && FSinceDrawn.elapsed() < 100) return;
        int done = 0;
        QString current;
        for (int i = 0; i < FJobs.Count(); ++i) {
            const TModifyProgress state = FJobs.ItemStatus[size_t(i)];
            if (state == TModifyProgress::Converting) {
                if (current.isEmpty()) current = QFileInfo(FJobs.FileList[i]).fileName();
            } else if (state != TModifyProgress::Waiting) {
                ++done;
            }
        }
        QString text = QStringLiteral("[%1/%2] %3").arg(done).arg(FJobs.Count()).arg(current);
        // A line longer than the terminal wraps, and "\r" then rewrites only its last part.
        winsize size{};
        const int columns =
            ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
        if (text.size() >= columns) text = text.left(columns - 1);
        WriteError("\r\x1b[K" + text.toUtf8());
        FShown = true;
        FSinceDrawn.start();
    }

    void ClearProgress() {
        if (!FShown) return;
        WriteError("\r\x1b[K");
        FShown = false;
    }

    const TJobList& FJobs;
    const bool FTerminal;
    bool FShown = false;
    QElapsedTimer FSinceDrawn;
};

// Ctrl-C, a hang-up or a kill stops the run as "⛔ Stop" does, so the file being
// written leaves no half-written output behind; a second one ends the program
// at once. The handler only writes the signal's number into a pipe, which the
// event loop reads.
class TStopSignals {
  public:
    explicit TStopSignals(TConversionDriver& driver) {
        if (pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        WriteEnd = FPipe[1];
        FNotifier = std::make_unique<QSocketNotifier>(FPipe[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this, &driver] {
            unsigned char number = 0;
            while (read(FPipe[0], &number, 1) == 1)
                FSignal = number;
            driver.StopConversion();
        });
        struct sigaction action {};
        action.sa_handler = [](int number) {
            const unsigned char byte = static_cast<unsigned char>(number);
            [[maybe_unused]] const ssize_t written = write(WriteEnd, &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_RESTART;
        for (const int number : {SIGINT, SIGTERM, SIGHUP})
            sigaction(number, &action, nullptr);
    }
    ~TStopSignals() {
        if (!FNotifier) return;
        for (const int number : {SIGINT, SIGTERM, SIGHUP})
            std::signal(number, SIG_DFL);
        FNotifier.reset();
        WriteEnd = -1;
        close(FPipe[0]);
        close(FPipe[1]);
    }
    // The signal that stopped the run, or 0.
    int Signal() const { return FSignal; }

  private:
    static inline int WriteEnd = -1;
    int FPipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> FNotifier;
    int FSignal = 0;
};

QString Plural(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

bool TBackgroundPlan::NeedsAudio() const {
    for (const QString& file : Files) {
        const FormatTag source =
            From == FormatTag::AUTO ? FormatFromExtension(QFileInfo(file).suffix()) : From;
        if (ChooseConverter(source, To) == ConverterFamily::Audio) return true;
    }
    return false;
}

TBackgroundPlan PlanBackgroundRun(const TCommandLine& line, const TStoredSettings& stored) {
    TBackgroundPlan plan;
    plan.Settings = stored.Run;
    plan.ShowHelp = line.Help;
    const auto usage = [&plan](const QString& text) {
        if (plan.UsageError.isEmpty()) plan.UsageError = text;
    };
    if (!line.UsageError.isEmpty()) usage(line.UsageError);
    for (const QString& option : line.UnknownSwitches)
        usage(QStringLiteral("unknown switch \"%1\"; formshift --help lists the switches").arg(option));

    if (stored.ReloadPath && !stored.LastPath.isEmpty() && QFileInfo(stored.LastPath).isDir())
        plan.ExportFolder = stored.LastPath;
    for (const QString& folder : line.Directories) {
        const QFileInfo info(folder);
        // Writing into the folder of an earlier run instead would put the files where nobody looks.
        if (folder.isEmpty())
            usage(QStringLiteral("--directory needs the path of the export folder"));
        else if (!info.exists())
            usage(QStringLiteral("the export folder \"%1\" does not exist").arg(folder));
        else if (!info.isDir())
            usage(QStringLiteral("the export folder \"%1\" is not a folder").arg(folder));
        else
            plan.ExportFolder = info.absoluteFilePath();
    }

    plan.Files = line.Files;
    for (const QString& name : line.NotFound) {
        const QFileInfo info(name);
        plan.Failures << name + (info.isDir()    ? QStringLiteral(": is a folder, not a file")
                                 : info.exists() ? QStringLiteral(": is not a regular file")
                                                 : QStringLiteral(": no such file"));
    }
    for (const QString& name : line.UnnamableFiles)
        plan.Failures << name + QStringLiteral(": cannot be converted, as its name is not UTF-8 text; "
                                               "rename it to convert it");
    if (plan.Files.isEmpty() && plan.Failures.isEmpty()) usage(QStringLiteral("no files to convert"));

    if (stored.ExportPathOnOpen && !plan.Files.isEmpty()) {
        const QFileInfo folder(QFileInfo(plan.Files.first()).absolutePath());
        if (folder.isDir()) plan.ExportFolder = folder.absoluteFilePath();
    }
    plan.From = line.From != FormatTag::Unknown ? line.From : FormatTag::AUTO;
    if (line.To != FormatTag::Unknown) plan.To = line.To;
    return plan;
}

bool HasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal")) return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString ConsoleDataFolder() {
    EnsureWindowsEnvironment();
    const QString folder =
        qEnvironmentVariable("LOCALAPPDATA") + QStringLiteral("/BrenvaleSoftware/Formshift/");
    return QDir().mkpath(folder) ? folder : QString();
}

std::optional<int> PrepareBackgroundRun(const TCommandLine& line, TBackgroundPlan& plan,
                                        QString& dataFolder) {
    dataFolder = ConsoleDataFolder();
    if (dataFolder.isEmpty()) {
        PrintError(
            QStringLiteral("cannot create the data folder in %1").arg(qEnvironmentVariable("LOCALAPPDATA")));
        return ExitSomeFailed;
    }
    plan = PlanBackgroundRun(line, ReadStoredSettings(dataFolder + QStringLiteral("setings.ini")));
    if (plan.UsageError.isEmpty() && plan.NeedsFolder() && !HasDisplay())
        plan.UsageError =
            QStringLiteral("no export folder for the background run; give one with --directory DIR");
    if (plan.UsageError.isEmpty()) return std::nullopt;
    PrintError(plan.UsageError);
    return ExitUsageError;
}

void PrintError(const QString& text) {
    WriteError("formshift: " + text.toUtf8() + '\n');
}

int RunInConsole(const TBackgroundPlan& plan, const QString& dataFolder,
                 const std::function<void(TConverterSet&)>& installConverters) {
    TJobList jobs;
    TConsoleView view(jobs);
    TFinishingActions actions;
    TConversionDriver driver(jobs, view, actions);
    driver.DataFolder = dataFolder;
    driver.ExportPath = plan.ExportFolder;
    driver.SourceFormat = plan.From;
    driver.TargetFormat = plan.To;
    driver.Settings = plan.Settings;
    driver.BackgroundMode = true;
    installConverters(driver.Converters);

    // "/help" among the switches of a run shows the help and the run goes on.
    if (plan.ShowHelp)
        std::fputs(HelpText().replace(QLatin1Char('\r'), QLatin1Char('\n')).append('\n').toUtf8().constData(),
                   stdout);
    for (const QString& failure : plan.Failures)
        view.Line(failure);
    int converted = 0, failed = int(plan.Failures.size()), cancelled = 0, skipped = 0;
    TStopSignals stopSignals(driver);
    if (!plan.Files.isEmpty()) {
        jobs.FileList = plan.Files;
        driver.ConvertAll();
        if (driver.RunState() == RunStateKind::Idle && jobs.Count() > 0 &&
            jobs.ItemStatus.front() == TModifyProgress::Waiting) {
            PrintError(QStringLiteral("cannot write into the export folder \"%1\"").arg(plan.ExportFolder));
            return ExitSomeFailed;
        }
        QCoreApplication::exec();
        for (int i = 0; i < jobs.Count(); ++i) {
            switch (jobs.ItemStatus[size_t(i)]) {
            case TModifyProgress::Finalised:
                ++converted;
                break;
            case TModifyProgress::Error:
            case TModifyProgress::FormatErr:
                ++failed;
                break;
            case TModifyProgress::Cancelled:
                ++cancelled;
                break;
            case TModifyProgress::Waiting:
            case TModifyProgress::Converting:
                if (stopSignals.Signal() != 0) {
                    ++cancelled;
                    break;
                }
                // Left alone by "Ignore format error" being off: the name says another format.
                ++skipped;
                view.Line(jobs.FileList[i] + QStringLiteral(": skipped, as its extension does not name %1 "
                                                            "(\"Ignore format error\" is off)")
                                                 .arg(FormatName(plan.From)));
                break;
            }
        }
        if (plan.Settings.DoneConvert == int(DoneAction::PlaySound)) WaitForCompletionSound(3000);
    }

    const int total = int(plan.Files.size() + plan.Failures.size());
    const bool allConverted = converted == total;
    const int stoppedBy = stopSignals.Signal();
    if (!allConverted || isatty(STDERR_FILENO) == 1 || stoppedBy != 0) {
        QString summary =
            QStringLiteral("%1 of %2 converted").arg(converted).arg(Plural(total, "file", "files"));
        if (failed > 0) summary += QStringLiteral(", %1 failed").arg(failed);
        if (cancelled > 0) summary += QStringLiteral(", %1 cancelled").arg(cancelled);
        if (skipped > 0) summary += QStringLiteral(", %1 skipped").arg(skipped);
        if (converted > 0) summary += QStringLiteral(", into %1").arg(plan.ExportFolder);
        if (stoppedBy != 0)
            summary += QStringLiteral("; stopped by SIG%1").arg(QString::fromUtf8(sigabbrev_np(stoppedBy)));
        PrintError(summary);
    }
    // As a shell reports a program that a signal ended.
    if (stoppedBy != 0) return 128 + stoppedBy;
    return allConverted ? ExitSuccess : ExitSomeFailed;
}
