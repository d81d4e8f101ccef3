#pragma once
// One running process with its identifiers, and the process list.
#include <QIcon>
#include <QList>
#include <QString>

struct TProcess {
    QString Module;   // the executable's file name, no folder
    QString FileName; // the executable's full path; empty when the process may not be inspected
    QString Command;  // its command line (arguments quoted where needed); empty when unreadable
    quint32 PID = 0;
    quint32 ParentPID = 0;
    quint32 Modules = 0; // always 0: there is no module identifier here
    quint32 Threads = 0;
    quint32 Priority = 0; // the kernel's scheduling priority, 20 for a normal process
    quint32 Flags = 0;    // always 0

    // Asks the process to end (SIGTERM) without waiting; it may refuse.
    void KillProcess() const;
    // The icon of the executable's file type, or a null icon when FileName names
    // no existing file.
    QIcon GetIcon() const;
};

// The running processes in ascending process id.
QList<TProcess> ListProcesses();
// One entry of the process table as a process record.
TProcess ToProcess(const struct ProcessEntry& entry);
