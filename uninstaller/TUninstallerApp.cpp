#include "TUninstallerApp.h"

#include "InvokingUserFolders.h"
#include "SelfDelete.h"
#include "ShowDialog.h"
#include "TUninstaller.h"
#include "UninstallLog.h"
#include "UninstallOptions.h"
#include "sysconsole.h"

#include "CommandLine.h"
#include "PathVariables.h"
#include "ShellHelpers.h"
#include "ShellLaunch.h"
#include "TextHelpers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace {

QString WithDelimiter(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Whether the uninstaller runs from the folder that step 2 deletes; compared as
// written, without regard to case, and with links resolved.
bool RunsFromFolder(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString own = QCoreApplication::applicationDirPath();
    if (WithDelimiter(own).toLower() == WithDelimiter(QDir::cleanPath(folder)).toLower()) return true;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(own).canonicalFilePath();
}

void WriteError(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
}

} // namespace

TUninstallerApp::TUninstallerApp(const QStringList& arguments, bool isElevated)
    : FArguments(arguments), FIsElevated(isElevated) {}

int TUninstallerApp::Run() {
    if (auto status = LocateInstallReport()) return *status;
    if (auto status = RelocateToTemp()) return *status;
    if (auto status = ParseCommandLine()) return *status;
    return ShowWindow();
}

std::optional<int> TUninstallerApp::LocateInstallReport() {
    switch (
        ::LocateInstallReport(FArguments, QCoreApplication::applicationDirPath(), FReportPath, FAppOptions)) {
    case TReportStatus::Found:
        return std::nullopt;
    case TReportStatus::Missing:
        ShowDialog(QStringLiteral("Error"), QString::fromLatin1(MissingReportText));
        return ExitNoReport;
    case TReportStatus::Mismatched:
        ShowDialog(QStringLiteral("Error"), QString::fromLatin1(MismatchedReportText));
        return ExitReportMismatched;
    case TReportStatus::Unusable:
        ShowDialog(QStringLiteral("Error"), QString::fromLatin1(UnusableReportText) + FReportPath);
        return ExitNoReport;
    }
    return std::nullopt;
}

std::optional<int> TUninstallerApp::RelocateToTemp() {
    if (!RunsFromFolder(FAppOptions.InstallPath)) return std::nullopt;

    // A folder of our own, created for this copy, so no other user can have
    // planted a file under the name the copy gets.
    const QString base = WithDelimiter(ExpandPathVariables(QStringLiteral("%TEMP%/")));
    QDir().mkpath(base);
    QByteArray pattern =
        QFile::encodeName(base + QLatin1String(RelocationFolderPrefix) + QLatin1String("XXXXXX"));
    if (!mkdtemp(pattern.data())) {
        WriteError(QStringLiteral("<!> Error: no temporary folder for the uninstaller's copy in ") + base);
        return ExitRelocationFailed;
    }
    const QString folder = QFile::decodeName(pattern);
    const QString copy = folder + QStringLiteral("/uninstaller_temp");
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy)) {
        WriteError(QStringLiteral("<!> Error: the uninstaller could not be copied to ") + copy);
        QDir().rmdir(folder);
        return ExitRelocationFailed;
    }
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The report path travels as a full path, since the copy runs elsewhere.
    QStringList arguments{QStringLiteral("-ad"), QStringLiteral("-r"),
                          QFileInfo(FReportPath).absoluteFilePath()};
    arguments << FArguments;
    // A copy that cannot start (a temporary folder mounted without execution,
    // say) must not pass for a finished relocation.
    if (!StartDetached(copy, arguments, folder)) {
        WriteError(QStringLiteral("<!> Error: the uninstaller's copy could not be started from ") + folder);
        QFile::remove(copy);
        QDir().rmdir(folder);
        return ExitRelocationFailed;
    }
    QThread::msleep(500);
    return ExitSuccess;
}

std::optional<int> TUninstallerApp::ParseCommandLine() {
    const bool inConsole = sysconsole::ConsoleCalled();
    const TUninstallOptions options = ParseOptions(FArguments);
    FProcedure.setCloseAfterFinish(options.CloseAfterFinish);
    FProcedure.setDeleteSelfOnClose(options.DeleteSelfOnClose);
    if (options.KeepAppData) FAppOptions.RemoveProgramData = false;

    if (options.ShowHelp) {
        if (inConsole) {
            for (const QString& line : SplitText(HelpText, QStringLiteral("\r")))
                sysconsole::QuickOutput(line);
            sysconsole::Disconnect();
        } else {
            ShowDialog(QStringLiteral("Help"), HelpText);
        }
        return ExitSuccess;
    }

    FRunSilent = options.RunMode == TRunMode::Silent;
    if (!FAppOptions.UserInstall && !FIsElevated) {
        Log(QStringLiteral("(!) Restarting as administrator"));
        return RestartElevated(QStringLiteral("-alluser"));
    }

    if (options.RunMode == TRunMode::None) return std::nullopt;

    Log(QStringLiteral("(!) Beginning uninstalation"));
    if (FAppOptions.UserInstall && !FIsElevated)
        Log(QStringLiteral("(!) User Install Type: ") + BooleanText(FIsElevated));

    if (options.RunMode == TRunMode::Silent) {
        Log(QStringLiteral("(!) Uninstall type: silent"));
        FProcedure.setCloseAfterFinish(true);
        for (int step = 1; step <= 3; ++step) {
            FProcedure.setUninstallStep(step);
            FProcedure.RunUninstallStep(step);
        }
        if (FProcedure.UninstallFailed()) {
            Log(QStringLiteral("<!> Error: an error occured"));
            return ExitUninstallFailed;
        }
        Log(QStringLiteral("(!) Successfully uninstalled!"));
        return ExitSuccess;
    }

    Log(QStringLiteral("(!) Uninstall type: normal"));
    FStartPage = TUninstaller::Page_Uninstall;
    FRunNormal = true;
    return std::nullopt;
}

int TUninstallerApp::RestartElevated(const QString& extra) {
    // A copy that the restart started and that still lacks the rights would only
    // start another one like itself.
    if (FArguments.size() >= 2 && FArguments[0] == QLatin1String("-alluser") &&
        FArguments[1] == QLatin1String("-force"))
        return ElevationFailed(
            QStringLiteral("the copy started with administrator rights does not have them"));

    QStringList arguments;
    if (!extra.isEmpty()) arguments << extra;
    // The report goes along as a full path: the elevated copy may start in
    // another working folder, and the first "-r" is the one it reads.
    arguments << QStringLiteral("-force") << QStringLiteral("-r")
              << QFileInfo(FReportPath).absoluteFilePath();
    arguments << FArguments;
    // Waiting for the elevated copy tells a refused consent from a removal, and
    // its exit status becomes ours, so a script sees how the removal ended.
    const AdministratorRun run =
        RunAsAdministrator(QCoreApplication::applicationFilePath(), arguments, QString(), FoldersToPassOn());
    switch (run.Result) {
    case AdministratorRun::Outcome::Ran:
        // The elevated copy's parent is this copy, not the shell, so its result
        // line would reach no one; a silent run's status says which line it is.
        if (FRunSilent && run.ExitCode == ExitSuccess)
            Log(QStringLiteral("(!) Successfully uninstalled!"));
        else if (FRunSilent && run.ExitCode == ExitUninstallFailed)
            Log(QStringLiteral("<!> Error: an error occured"));
        return run.ExitCode;
    case AdministratorRun::Outcome::NoPkexec:
        return ElevationFailed(
            QStringLiteral("pkexec is not installed, so administrator rights cannot be asked for"));
    case AdministratorRun::Outcome::Cancelled:
        return ElevationFailed(QStringLiteral("the request for administrator rights was cancelled"));
    case AdministratorRun::Outcome::Refused:
        return ElevationFailed(QStringLiteral("administrator rights were not granted"));
    case AdministratorRun::Outcome::Failed:
        break;
    }
    return ElevationFailed(QStringLiteral("pkexec could not be started"));
}

int TUninstallerApp::ElevationFailed(const QString& reason) {
    const QString text = QStringLiteral("<!> Error: elevation failed, nothing was removed: ") + reason;
    // A silent run has no one to show a dialog to; its caller reads standard error.
    if (FRunSilent)
        WriteError(text);
    else
        ShowDialog(QStringLiteral("Error"), text);
    return ExitElevationFailed;
}

int TUninstallerApp::ShowWindow() {
    if (!DisplayAvailable()) {
        // Without a display nobody can press a button, so only a run that needs
        // none (started at once, closing by itself, no copy to be closed first)
        // may go ahead.
        if (!(FRunNormal && FProcedure.CloseAfterFinish())) {
            WriteError(QStringLiteral("<!> Error: there is no display for the uninstaller's window; "
                                      "start it with -silent to uninstall without one"));
            return ExitNoDisplay;
        }
        if (FProcedure.FindRunningProcess()) {
            WriteError(QStringLiteral("<!> Error: close ") + FProcedure.FoundProcess().Module +
                       QStringLiteral(" before uninstalling"));
            return ExitUninstallFailed;
        }
    }
    TUninstaller window(FProcedure, FStartPage);
    window.show();
    QApplication::exec();
    // A removal that failed, or that the user broke off by closing the window, is
    // no success; a window closed before the removal began removed nothing.
    const int step = FProcedure.UninstallStep();
    if (FProcedure.UninstallFailed() || (step > 0 && step <= 3)) return ExitUninstallFailed;
    return ExitSuccess;
}
