#include "HandOver.h"

#include "TextLines.h"

#include "FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Exclusive creation for file systems without hard links; the content follows
// the name, so this path is not atomic.
bool WriteExclusive(const QString& path, const QByteArray& bytes, int& error) {
    const int handle =
        open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (handle < 0) {
        error = errno;
        return false;
    }
    error = WriteAllAndSync(handle, bytes);
    if (close(handle) != 0 && error == 0) error = errno;
    if (error != 0) QFile::remove(path);
    return error == 0;
}

const QString AddressPrefix = QStringLiteral("file:");

bool NeedsAddress(const QString& path) {
    return path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')) ||
           path.startsWith(AddressPrefix);
}

QString HandOverLine(const QString& path) {
    return NeedsAddress(path) ? QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded()) : path;
}

QString PathOfLine(const QString& line) {
    return line.startsWith(AddressPrefix) ? QUrl::fromEncoded(line.toLatin1()).toLocalFile() : line;
}

} // namespace

QStringList ReadHandOverList(const QString& handOverFile) {
    QStringList paths;
    for (const QString& line : LoadLines(handOverFile))
        paths << PathOfLine(line);
    return paths;
}

QString WriteHandOverList(const QString& handOverFolder, const QStringList& list) {
    QDir folder(handOverFolder);
    if (!folder.exists() && !QDir().mkpath(handOverFolder))
        Fail(QStringLiteral("Cannot create the folder %1").arg(handOverFolder));

    // The list is written completely under a private name beside the folder and
    // then linked to its number, so the running copy never reads half a list.
    QDir staging(folder);
    staging.cdUp();
    QTemporaryFile temporary(staging.filePath(QStringLiteral(".handover-XXXXXX")));
    QStringList lines;
    for (const QString& path : list)
        lines << HandOverLine(path);
    const QByteArray bytes = LinesText(lines);
    if (!temporary.open())
        Fail(QStringLiteral("Cannot write the hand-over list in %1: %2")
                 .arg(staging.path(), temporary.errorString()));
    // Written past Qt's buffer and flushed to the disk, so a full disk shows here
    // and not after the list was handed over.
    if (const int error = WriteAllAndSync(int(temporary.handle()), bytes))
        Fail(QStringLiteral("Cannot write the hand-over list in %1: %2")
                 .arg(staging.path(), SystemError(error)));
    const QByteArray source = QFile::encodeName(temporary.fileName());

    // Every free number is tried once, starting at a random one.
    const int first = int(QRandomGenerator::global()->bounded(1000));
    for (int step = 0; step < 1000; ++step) {
        const QString path = folder.filePath(QString::number((first + step) % 1000));
        if (link(source.constData(), QFile::encodeName(path).constData()) == 0) return path;
        int error = errno;
        if (error == EEXIST) continue;
        if (error == EPERM || error == EOPNOTSUPP || error == EXDEV || error == EMLINK) {
            if (WriteExclusive(path, bytes, error)) return path;
            if (error == EEXIST) continue;
        }
        Fail(QStringLiteral("Cannot write %1: %2").arg(path, SystemError(error)));
    }
    Fail(QStringLiteral("The hand-over folder %1 holds no free name").arg(handOverFolder));
}

QStringList HandOverFiles(const QString& handOverFolder) {
    QDir folder(handOverFolder);
    if (!folder.exists()) return {};
    QStringList files;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted))
        files << folder.filePath(name);
    return files;
}
