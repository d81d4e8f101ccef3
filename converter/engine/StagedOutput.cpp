#include "StagedOutput.h"

#include "ConversionJob.h"
#include "OutputPath.h"

#include <QFile>
#include <QRandomGenerator>
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

} // namespace

StagedOutput::StagedOutput(const QString& finalPath) : FFinalPath(finalPath) {
    const qsizetype slash = finalPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = finalPath.left(slash + 1);
    const QString name = finalPath.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    do {
        const QString tag = QString::number(QRandomGenerator::global()->generate(), 36);
        FStagingPath = folder + QLatin1Char('.') + stem + QLatin1Char('.') + tag + QStringLiteral(".part") + ext;
    } while (ExistsAsAnything(FStagingPath));
}

StagedOutput::~StagedOutput() {
    if (!FCommitted) ::unlink(QFile::encodeName(FStagingPath).constData());
}

QString StagedOutput::Commit() {
    if (!ExistsAsAnything(FStagingPath))
        throw ConversionError(QStringLiteral("no output was written for %1").arg(FFinalPath).toStdString());
    QString target = FFinalPath;
    for (qint64 n = 1;; ++n) {
        if (MoveNoReplace(FStagingPath, target)) break;
        if (errno != EEXIST)
            throw ConversionError(
                QStringLiteral("%1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))).toStdString());
        target = CounterCandidate(FFinalPath, n);
    }
    FCommitted = true;
    return target;
}
