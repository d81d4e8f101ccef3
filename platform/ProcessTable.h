#pragma once
// A snapshot of the running processes from /proc, in ascending process id.
#include <QList>
#include <QString>
#include <QStringList>

struct ProcessEntry {
    quint32 Pid = 0;
    quint32 ParentPid = 0;
    quint32 Threads = 0;
    qint32 Priority = 0;    // the kernel's scheduling priority, 20 for a normal process
    QString Name;           // file name of the executable (no folder)
    QString ExecutablePath; // empty when the process may not be inspected
    QStringList Arguments;  // the command line, empty when it cannot be read
};

QList<ProcessEntry> SnapshotProcesses();

// One process, or an entry with Pid 0 when it does not exist (any more).
ProcessEntry ReadProcess(quint32 pid);
