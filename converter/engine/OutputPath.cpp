#include "OutputPath.h"

#include <QFileInfo>

namespace {

// The last extension of a file name with its dot; empty when the name has none.
QString LastExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot);
}

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString FormOutputPath(const QString& sourcePath, FormatTag source, FormatTag target,
                       const QString& itemTarget, const QString& exportPath) {
    if (!itemTarget.isEmpty()) return itemTarget;
    const QString fileName = FileNameOf(sourcePath);
    const QString sourceExt = LastExtension(fileName);
    const QString base = fileName.left(fileName.size() - sourceExt.size());
    QString ext = FormatExtension(target);
    if (target == FormatTag::BASE64) ext = sourceExt + ext;
    if (source == FormatTag::BASE64 && LastExtension(base) == ext) ext.clear();
    QString folder = exportPath;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + base + ext;
}

QString CounterCandidate(const QString& path, qint64 n) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart) dot = path.size();
    return path.left(dot) + QStringLiteral(" (%1)").arg(n) + path.mid(dot);
}

QString FreeOutputPath(const QString& path) {
    if (!FileExists(path)) return path;
    for (qint64 n = 1;; ++n) {
        const QString candidate = CounterCandidate(path, n);
        if (!FileExists(candidate)) return candidate;
    }
}

QString TOutputReservations::Reserve(const QString& path) {
    const std::lock_guard lock(FMutex);
    QString candidate = path;
    for (qint64 n = 1; FNames.contains(candidate) || FileExists(candidate); ++n)
        candidate = CounterCandidate(path, n);
    FNames.insert(candidate);
    return candidate;
}

bool TOutputReservations::IsReserved(const QString& path) const {
    const std::lock_guard lock(FMutex);
    return FNames.contains(path);
}

void TOutputReservations::Clear() {
    const std::lock_guard lock(FMutex);
    FNames.clear();
}
