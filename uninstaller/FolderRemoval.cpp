#include "FolderRemoval.h"

#include "UninstallLog.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The mount an entry lies on, without following a link at `name` (an empty name
// means `fd` itself). A bind mount of a folder of the same file system has the same
// device number as the tree around it, so only the mount id tells them apart.
std::optional<std::uint64_t> MountIdAt(int fd, const char* name) {
    struct statx info;
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (*name ? 0 : AT_EMPTY_PATH);
    if (statx(fd, name, flags, STATX_MNT_ID, &info) == 0 && (info.stx_mask & STATX_MNT_ID))
        return info.stx_mnt_id;
    // Kernels before 5.8 tell the mount id only through a file handle.
    struct {
        file_handle Handle;
        unsigned char Bytes[MAX_HANDLE_SZ];
    } handle;
    handle.Handle.handle_bytes = MAX_HANDLE_SZ;
    int mountId = 0;
    if (name_to_handle_at(fd, name, &handle.Handle, &mountId, *name ? 0 : AT_EMPTY_PATH) == 0)
        return std::uint64_t(mountId);
    return std::nullopt;
}

// Where the walk may go: one file system and, on it, one mount.
struct TTreeMount {
    dev_t Device;
    std::uint64_t MountId;

    bool Holds(const struct stat& info, std::optional<std::uint64_t> mountId) const {
        return info.st_dev == Device && mountId && *mountId == MountId;
    }
};

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

void RemoveEntryAt(int parentFd, const char* name, const TTreeMount& tree) {
    struct stat info;
    if (fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (!S_ISDIR(info.st_mode)) {
        if (unlinkat(parentFd, name, 0) != 0) qCInfo(removeLog) << "kept" << name << std::strerror(errno);
        return;
    }
    // Whatever is mounted inside the tree belongs to someone else, also a bind
    // mount of another folder of the same file system.
    if (!tree.Holds(info, MountIdAt(parentFd, name))) {
        qCInfo(removeLog) << "left the mount point" << name << "alone";
        return;
    }

    const int folderFd = OpenFolderAt(parentFd, name, info);
    if (folderFd < 0) return;
    struct stat opened;
    // The folder may have been swapped for another, or mounted over, between the looks.
    if (fstat(folderFd, &opened) == 0 && tree.Holds(opened, MountIdAt(folderFd, "")) &&
        opened.st_ino == info.st_ino) {
        if ((opened.st_mode & S_IWUSR) == 0 && opened.st_uid == geteuid())
            fchmod(folderFd, (opened.st_mode & 07777) | OwnerAccess);
        for (const std::string& entry : EntryNames(folderFd))
            RemoveEntryAt(folderFd, entry.c_str(), tree);
    }
    close(folderFd);
    if (unlinkat(parentFd, name, AT_REMOVEDIR) != 0)
        qCInfo(removeLog) << "kept the folder" << name << std::strerror(errno);
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

    struct stat parentInfo, info;
    if (fstatat(parentFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        close(parentFd);
        return true;
    }
    // The walk stays on the mount of the folder that holds the tree, so a folder
    // that is itself a mount point is not the installation's to empty.
    const std::optional<std::uint64_t> parentMount = MountIdAt(parentFd, "");
    if (fstat(parentFd, &parentInfo) == 0 && parentMount)
        RemoveEntryAt(parentFd, name.constData(), TTreeMount{parentInfo.st_dev, *parentMount});
    const bool gone = fstatat(parentFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0;
    close(parentFd);
    return gone;
}
