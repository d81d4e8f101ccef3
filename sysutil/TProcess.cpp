#include "TProcess.h"

#include "CommandLine.h"
#include "FileHelpers.h"
#include "ProcessSignal.h"
#include "ProcessTable.h"

#include <QFileInfo>

void TProcess::KillProcess() const {
    RequestTermination(PID);
}

QIcon TProcess::GetIcon() const {
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile()) return {};
    return ShellFileIcon(FileName, true);
}

TProcess ToProcess(const ProcessEntry& entry) {
    TProcess process;
    process.Module = entry.Name;
    process.FileName = entry.ExecutablePath;
    process.Command = JoinCommandLine(entry.Arguments);
    process.PID = entry.Pid;
    process.ParentPID = entry.ParentPid;
    process.Threads = entry.Threads;
    process.Priority = quint32(entry.Priority);
    return process;
}

QList<TProcess> ListProcesses() {
    QList<TProcess> processes;
    for (const ProcessEntry& entry : SnapshotProcesses())
        processes.append(ToProcess(entry));
    return processes;
}
