#pragma once
// The removal of what the install report names, in three steps that always run
// in this order: 1 the shortcuts, 2 the folders, 3 the registry record. A report
// that names something no uninstaller may remove is refused as a whole: every
// step then fails and removes nothing.
#include "InstallReport.h"

#include "TProcess.h"

#include <QString>
#include <QStringList>

#include <optional>

class TUninstallProcedure {
  public:
    explicit TUninstallProcedure(TAppOptions& options) : FOptions(options) {}

    // Performs one step; any other number does nothing.
    void RunUninstallStep(int step);
    // Whether a copy of the application's executable runs: a process whose
    // executable file name is the report's (exactly, with case), whose /proc exe
    // is that file, or whose command line starts it (an interpreter's script, a
    // shell launcher). The first one found is kept in FoundProcess.
    bool FindRunningProcess();

    int UninstallStep() const { return FUninstallStep; }
    // The timer's count; it only grows.
    void setUninstallStep(int step);
    bool UninstallFailed() const { return FUninstallFailed; }
    // What went wrong, one line per failure, in the order it happened.
    const QStringList& Failures() const { return FFailures; }
    bool CloseAfterFinish() const { return FCloseAfterFinish; }
    void setCloseAfterFinish(bool value) { FCloseAfterFinish = value; }
    bool DeleteSelfOnClose() const { return FDeleteSelfOnClose; }
    void setDeleteSelfOnClose(bool value) { FDeleteSelfOnClose = value; }
    const TProcess& FoundProcess() const { return FFoundProcess; }
    TAppOptions& AppOptions() { return FOptions; }

    // Why the report is refused; empty when it is not. Decided once.
    QString Refusal();

  private:
    void RemoveShortcuts();
    void RemoveFolders();
    void RemoveRegistryRecord();
    void Fail(const QString& reason);

    TAppOptions& FOptions;
    int FUninstallStep = 0;
    bool FUninstallFailed = false;
    QStringList FFailures;
    bool FCloseAfterFinish = false;
    bool FDeleteSelfOnClose = false;
    TProcess FFoundProcess;
    std::optional<QString> FRefusal;
};
