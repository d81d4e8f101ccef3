#include "FolderRemoval.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr mode_t OwnerAccess = S_IRUSR | S_IWUSR | S_IXUSR;

int OpenFolderAt(int parentFd, const char* name, const struct stat& info) {
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(parentFd, name, flags);
    if (fd < 0 && errno == EACCES && info.st_uid == geteuid()) {
        // Our own folder without read or search permission: the installer may
        // have made it read-only, which must not keep it from being removed.
        if (fchmodat(parentFd, name, (info.st_mode & 07777) | OwnerAccess, 0) == 0)
            fd = openat(parentFd, name, flags);
    }
    return fd;
}

std::vector<std::string> EntryNames(int folderFd) {
    std::vector<std::string> names;
    const int listFd = dup(folderFd);
    if (listFd < 0) return names;
    DIR* folder = fdopendir(listFd);
    if (!folder) {
        close(listFd);
        return names;
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(folder);
    return names;
}

void RemoveEntryAt(int parentFd, const char* name, dev_t device) {
    struct stat info;
    if (fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (!S_ISDIR(info.st_mode)) {
        unlinkat(parentFd, name, 0);
        return;
    }
    if (info.st_dev != device) return;

    const int folderFd = OpenFolderAt(parentFd, name, info);
    if (folderFd < 0) return;
    struct stat opened;
    // The folder may have been swapped for another between the two looks.
    if (fstat(folderFd, &opened) == 0 && opened.st_dev == device && opened.st_ino == info.st_ino) {
        if ((opened.st_mode & S_IWUSR) == 0 && opened.st_uid == geteuid())
            fchmod(folderFd, (opened.st_mode & 07777) | OwnerAccess);
        for (const std::string& entry : EntryNames(folderFd))
            RemoveEntryAt(folderFd, entry.c_str(), device);
    }
    close(folderFd);
    unlinkat(parentFd, name, AT_REMOVEDIR);
}

} // namespace

bool DeleteFolderTree(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    // Only a full path names one tree for certain; the root is never a tree to remove.
    if (!QDir::isAbsolutePath(clean) || clean == QLatin1String("/")) return false;

    const qsizetype slash = clean.lastIndexOf(u'/');
    const QString parent = slash == 0 ? QStringLiteral("/") : clean.left(slash);
    const QByteArray name = QFile::encodeName(clean.mid(slash + 1));
    const int parentFd = open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) return false;

    struct stat info;
    bool gone = true;
    if (fstatat(parentFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        RemoveEntryAt(parentFd, name.constData(), info.st_dev);
        gone = fstatat(parentFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0;
    }
    close(parentFd);
    return gone;
}
