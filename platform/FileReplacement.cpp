#include "FileReplacement.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Reason(const QString& path, int error) {
    return QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

bool Fail(const QString& path, int error, QString* message) {
    if (message) *message = Reason(path, error);
    return false;
}

// The permissions a new file gets: those of the file it replaces, else the
// usual 0666 less the umask.
mode_t ModeFor(const QByteArray& path) {
    struct stat info;
    if (::stat(path.constData(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // Makes the rename itself survive a power cut; not every file system can.
    ::fsync(fd);
    ::close(fd);
}

} // namespace

int WriteAllAndSync(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        next += written;
        left -= written;
    }
    // Delayed allocation reports a full disk only here, not at write().
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return 0;
}

bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty()) return Fail(path, ENOENT, error);
    // A link is replaced where it points, as the editors of such files expect.
    char* resolved = ::realpath(target.constData(), nullptr);
    const QByteArray finalPath = resolved ? QByteArray(resolved) : target;
    std::free(resolved);

    const qsizetype slash = finalPath.lastIndexOf('/');
    QByteArray staging = finalPath.left(slash + 1) + '.' + finalPath.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) return Fail(path, errno, error);

    int failure = 0;
    if (::fchmod(fd, ModeFor(finalPath)) != 0) failure = errno;
    if (failure == 0) failure = WriteAllAndSync(fd, bytes);
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(staging.constData(), finalPath.constData()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(staging.constData());
        return Fail(path, failure, error);
    }
    SyncFolderOf(finalPath);
    return true;
}
