// formshift-full: the window of the converter, and the background runs that need
// the audio layer or the folder dialog. Started by formshift with its parameters.
#include "ConsoleRun.h"
#include "Converters.h"
#include "FXThemeManager.h"
#include "FormshiftMain.h"
#include "Instances.h"
#include "MessageDisplay.h"
#include "NotificationSound.h"
#include "ProgramVersion.h"
#include "SpecialFolders.h"
#include "TWinRegistry.h"
#include "UpdateBinding.h"

#include <QApplication>
#include <QFileDialog>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <exception>

namespace {

// Without a display (a server, CI, a background run over SSH) Qt's offscreen
// platform still runs the window and its timers.
// Returns true when it had to fall back to it.
bool ChoosePlatform() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return false;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

// Programs that watch a running copy from outside (the tests of running
// copies) switch on two more words: "report" sends the caption and the file
// list back, "quit" closes the window and ends the program.
void InstallWatcherWords(TFormshift& window) {
    if (qEnvironmentVariable("FORMSHIFT_TEST_HOOKS") != QLatin1String("1")) return;
    window.setInstanceExtraWords([&window](const QString& word) -> std::optional<QByteArray> {
        if (word == QLatin1String("report")) {
            QByteArray reply = "caption=" + window.windowTitle().toUtf8() + '\n';
            for (const QString& file : window.Jobs().FileList)
                reply += "file=" + file.toUtf8() + '\n';
            return reply + "end\n";
        }
        if (word == QLatin1String("quit")) {
            QTimer::singleShot(0, &window, [&window] {
                window.close();
                QCoreApplication::quit();
            });
            return QByteArray();
        }
        return std::nullopt;
    });
}

bool HasSwitch(const QStringList& parameters, QLatin1String word) {
    for (const QString& p : parameters) {
        if (p.mid(1, 255) == word) return true;
    }
    return false;
}

// An unattended run converts here with no widget; with a display, a run that
// has no export folder asks for one first, as the window would.
int BackgroundRun(int argc, char* argv[], const TCommandLine& line) {
    TBackgroundPlan plan;
    QString dataFolder;
    if (const std::optional<int> status = PrepareBackgroundRun(line, plan, dataFolder)) return *status;
    if (!plan.NeedsFolder()) {
        QCoreApplication app(argc, argv);
        return RunInConsole(plan, dataFolder, InstallConverters);
    }
    // A display that is named but cannot be reached must not end the program
    // in Qt's abort, nor leave it waiting on a dialog nobody can see.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "wayland;xcb;offscreen");
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        PrintError(
            QStringLiteral("no export folder for the background run, and the display cannot be reached; "
                           "give one with --directory DIR"));
        return ExitUsageError;
    }
    plan.ExportFolder = QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Export folder"));
    if (plan.ExportFolder.isEmpty()) {
        PrintError(QStringLiteral("no export folder was chosen; nothing was converted"));
        return ExitUsageError;
    }
    return RunInConsole(plan, dataFolder, InstallConverters);
}

} // namespace

int main(int argc, char* argv[]) {
    if (AnswerVersionRequest(argc, argv, "formshift")) return 0;
    {
        const TCommandLine line = ParseCommandLine(argc, argv);
        if (line.HelpAndEnd) {
            std::fputs(UsageText().toUtf8().constData(), stdout);
            return ExitSuccess;
        }
        if (line.BackgroundRun()) return BackgroundRun(argc, argv, line);
    }
    const bool noDisplay = ChoosePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Formshift"));
    // Names the menu entry, so docks and Wayland compositors show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brenvale.Formshift"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.brenvale.Formshift")));
    InitializeUILibrary();
    SetRegistryErrorPresenter([](const QString& message) { ShowErrorMessage(nullptr, message); });
    const QStringList parameters = app.arguments().mid(1);
    const bool secondInstance = HasOtherInstance();

    QString dataFolder;
    try {
        dataFolder = AppDataFolder(QStringLiteral("Formshift"), true, true);
    } catch (const std::exception& error) {
        ShowErrorMessage(nullptr, QString::fromStdString(error.what()));
        return 1;
    }

    TFormshift window(dataFolder);
    window.setSecondInstance(secondInstance);
    const TUpdateService updateService = DefaultUpdateService();
    TWindowUpdateView updateView(window, updateService);
    TUpdateCheck updateCheck(updateView, updateService);
    InstallWatcherWords(window);
    window.UpdateTheme(true);
    InstallConverters(window.Driver().Converters);
    if (!parameters.isEmpty()) {
        switch (window.ProcessCommandLine(parameters, secondInstance)) {
        case TFormshift::StartOutcome::HandedOver:
            return 0;
        case TFormshift::StartOutcome::NoExportFolder:
            std::fputs("formshift: no export folder for the background run; give one with /directory PATH\n",
                       stderr);
            return 2;
        case TFormshift::StartOutcome::UsageError:
            return 2;
        case TFormshift::StartOutcome::Run:
            break;
        }
    }
    if (!secondInstance) window.setWindowTitle(QStringLiteral("Formshift"));
    BindUpdateCheck(window, updateCheck);
    window.StartInstanceChannel();

    // On a platform without a screen the help went to standard output; a window
    // nobody can see or close would keep the command from ever returning.
    const bool noScreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (noScreen && HasSwitch(parameters, QLatin1String("help"))) return 0;
    if (noDisplay) {
        // A window nobody can see would wait for ever.
        if (!HasSwitch(parameters, QLatin1String("help")))
            std::fputs("formshift: no display; convert unattended with --convertnow --background\n", stderr);
        return HasSwitch(parameters, QLatin1String("help")) ? ExitSuccess : ExitUsageError;
    }
    window.show();
    const int status = app.exec();
    WaitForCompletionSound(3000);
    // A background run is a command-line tool: a file that failed fails the run.
    if (status == 0 && window.Driver().BackgroundMode && window.FailedFiles() > 0) return 1;
    return status;
}
