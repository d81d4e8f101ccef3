#include "StagedOutput.h"

#include "ConversionJob.h"
#include "OutputPath.h"
#include "ProcessSignal.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ExistsAsAnything(const QString& path) {
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// Moves without ever replacing: false with EEXIST when `to` exists.
bool MoveNoReplace(const QString& from, const QString& to) {
    const QByteArray src = QFile::encodeName(from), dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing name too.
    if (::link(src.constData(), dst.constData()) != 0) return false;
    ::unlink(src.constData());
    return true;
}

// ".formshift-<process id>-<tag>.part<extension>": short whatever the final name's
// length, so every name the file system allows has a staging name too, and it
// names the process that owns it.
const QString StagingPrefix = QStringLiteral(".formshift-");

const QRegularExpression& StagingName() {
    static const QRegularExpression pattern(
        QStringLiteral("^\\.formshift-([0-9]{1,10})-[0-9a-z]{1,8}\\.part(\\.[^/]*)?$"));
    return pattern;
}

bool IsOwnRegularFile(const QString& path) {
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::geteuid();
}

} // namespace

StagedOutput::StagedOutput(const QString& finalPath) : FFinalPath(finalPath) {
    const qsizetype slash = finalPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = finalPath.left(slash + 1);
    const QString name = finalPath.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    const QString owner = QString::number(::getpid());
    do {
        const QString tag = QString::number(QRandomGenerator::global()->generate(), 36);
        FStagingPath =
            folder + StagingPrefix + owner + QLatin1Char('-') + tag + QStringLiteral(".part") + ext;
    } while (ExistsAsAnything(FStagingPath));
}

int StagedOutput::RemoveStaleFiles(const QString& folder) {
    const QDir dir(folder);
    int removed = 0;
    const QStringList candidates =
        dir.entryList({StagingPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : candidates) {
        const QRegularExpressionMatch match = StagingName().match(name);
        if (!match.hasMatch()) continue;
        const quint32 owner = match.captured(1).toUInt();
        // A process that still runs may be writing it, even one that merely
        // reuses a dead owner's id; those wait for a later run.
        if (owner == quint32(::getpid()) || ProcessExists(owner)) continue;
        const QString path = dir.filePath(name);
        if (IsOwnRegularFile(path) && ::unlink(QFile::encodeName(path).constData()) == 0) ++removed;
    }
    return removed;
}

StagedOutput::~StagedOutput() {
    if (!FCommitted) ::unlink(QFile::encodeName(FStagingPath).constData());
}

void StagedOutput::KeepDateOf(const QString& source,
                              const std::function<void(const QString&)>& reportLoss) const {
    struct stat info;
    if (::stat(QFile::encodeName(source).constData(), &info) != 0) {
        reportLoss(
            QStringLiteral("file date not kept: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    // The access time is the reader's business; only the modification time is carried.
    const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::utimensat(AT_FDCWD, QFile::encodeName(FStagingPath).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        reportLoss(
            QStringLiteral("file date not kept: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
}

QString StagedOutput::Commit(const std::function<bool(const QString&)>& taken) {
    if (!ExistsAsAnything(FStagingPath))
        throw ConversionError(QStringLiteral("no output was written for %1").arg(FFinalPath).toStdString());
    QString target = FFinalPath;
    qint64 n = 0;
    while (!MoveNoReplace(FStagingPath, target)) {
        if (errno != EEXIST)
            throw ConversionError(QStringLiteral("%1: %2")
                                      .arg(target, QString::fromLocal8Bit(std::strerror(errno)))
                                      .toStdString());
        do
            target = CounterCandidate(FFinalPath, ++n);
        while (taken && taken(target));
    }
    FCommitted = true;
    return target;
}
