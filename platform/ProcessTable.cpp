#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace {

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
    return file.readAll();
}

QString ReadLink(const QString& path) {
    QByteArray buffer(PATH_MAX, Qt::Uninitialized);
    const ssize_t length =
        ::readlink(QFile::encodeName(path).constData(), buffer.data(), size_t(buffer.size()));
    if (length <= 0) return {};
    buffer.truncate(length);
    QString target = QFile::decodeName(buffer);
    // The kernel marks an executable that was replaced or removed while running.
    static const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted)) target.chop(deleted.size());
    return target;
}

QString FileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

ProcessEntry ReadProcess(quint32 pid) {
    ProcessEntry entry;
    const QString folder = QStringLiteral("/proc/%1/").arg(pid);
    const QByteArray stat = ReadSmallFile(folder + QStringLiteral("stat"));
    // "pid (comm) state ppid ..."; the name may itself hold blanks and parentheses.
    const qsizetype open = stat.indexOf('(');
    const qsizetype close = stat.lastIndexOf(')');
    if (open < 0 || close < open) return entry;
    const QString comm = QString::fromUtf8(stat.mid(open + 1, close - open - 1));
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // fields[0] is the state (field 3 of proc(5)), so field n is fields[n - 3].
    if (fields.size() < 18) return entry;
    entry.Pid = pid;
    entry.ParentPid = fields[1].toUInt();
    entry.Priority = fields[15].toInt();
    entry.Threads = fields[17].toUInt();
    entry.ExecutablePath = ReadLink(folder + QStringLiteral("exe"));
    const QByteArray commandLine = ReadSmallFile(folder + QStringLiteral("cmdline"));
    if (!commandLine.isEmpty()) {
        QList<QByteArray> parts = commandLine.split('\0');
        if (commandLine.endsWith('\0')) parts.removeLast();
        for (const QByteArray& part : parts)
            entry.Arguments.append(QFile::decodeName(part));
    }
    if (!entry.ExecutablePath.isEmpty())
        entry.Name = FileNameOf(entry.ExecutablePath);
    else if (!entry.Arguments.isEmpty() && !entry.Arguments.constFirst().isEmpty())
        entry.Name = FileNameOf(entry.Arguments.constFirst());
    else
        entry.Name = comm;
    return entry;
}

QList<ProcessEntry> SnapshotProcesses() {
    QList<quint32> ids;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool ok = false;
        const uint pid = name.toUInt(&ok);
        if (ok && pid > 0) ids.append(pid);
    }
    std::sort(ids.begin(), ids.end());
    QList<ProcessEntry> processes;
    processes.reserve(ids.size());
    for (quint32 pid : ids) {
        ProcessEntry entry = ReadProcess(pid);
        // A process that ended between the listing and the read is left out.
        if (entry.Pid != 0) processes.append(std::move(entry));
    }
    return processes;
}
