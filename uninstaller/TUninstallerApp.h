#pragma once
// The uninstaller from start to end: find and check the report, step out of the
// folder it will delete, gain administrator rights when the installation was for
// all users, read the options, and then remove silently or open the window.
#include "InstallReport.h"
#include "UninstallProcedure.h"

#include <QString>
#include <QStringList>

#include <optional>

// Exit statuses: scripts can tell a refused or failed removal from success.
enum TExitStatus : int {
    ExitSuccess = 0,
    ExitUninstallFailed = 1,
    ExitNoReport = 2,
    ExitReportMismatched = 3,
    ExitNoDisplay = 4,
    ExitRelocationFailed = 5,
    // No administrator rights: no pkexec, consent refused or cancelled, or a
    // restarted copy that still lacks them.
    ExitElevationFailed = 6,
    // The user who asked for the rights cannot be found, so their files cannot be told apart.
    ExitUnknownUser = 7,
};

class TUninstallerApp {
  public:
    // `arguments` are the program's arguments without the program itself, each
    // as ParamText gives it.
    TUninstallerApp(const QStringList& arguments, bool isElevated);

    // Runs after the application object exists; the result is the exit status.
    int Run();

    // Each step answers an exit status when the program ends there.
    std::optional<int> LocateInstallReport();
    std::optional<int> RelocateToTemp();
    std::optional<int> ParseCommandLine();
    int RestartElevated(const QString& extra);

    const TAppOptions& AppOptions() const { return FAppOptions; }
    const QString& ReportPath() const { return FReportPath; }
    int StartPage() const { return FStartPage; }

  private:
    int ShowWindow();
    int ElevationFailed(const QString& reason);

    QStringList FArguments;
    bool FIsElevated = false;
    TAppOptions FAppOptions;
    QString FReportPath;
    int FStartPage = 1;
    bool FRunNormal = false;
    bool FRunSilent = false;
    TUninstallProcedure FProcedure{FAppOptions};
};
