#include "InstanceLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool Lock(int handle, short type, int command) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    int result;
    do
        result = fcntl(handle, command, &lock);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

TInstanceLock::~TInstanceLock() {
    Release();
}

bool TInstanceLock::Acquire(const QString& path) {
    Release();
    FHandle = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FHandle < 0) return false;
    // Open-file-description locks: the write lock turns into a read lock in one
    // step, so no starting copy can slip in between and count itself first too.
    if (Lock(FHandle, F_WRLCK, F_OFD_SETLK)) {
        Lock(FHandle, F_RDLCK, F_OFD_SETLK);
        return false;
    }
    const bool other = errno == EAGAIN || errno == EACCES;
    // Another copy may hold its write lock for the moment of its own check.
    Lock(FHandle, F_RDLCK, F_OFD_SETLKW);
    return other;
}

void TInstanceLock::Release() {
    if (FHandle >= 0) close(FHandle);
    FHandle = -1;
}
