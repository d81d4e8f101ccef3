#include "InvokingUser.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<uint> InvokingUserId() {
    if (geteuid() != 0) return std::nullopt;
    for (const char* name : {"PKEXEC_UID", "SUDO_UID"}) {
        bool ok = false;
        const uint user = qEnvironmentVariable(name).toUInt(&ok);
        if (ok) return user;
    }
    return std::nullopt;
}

std::optional<UserAccount> LookUpUser(uint uid) {
    const passwd* entry = getpwuid(uid_t(uid));
    if (!entry) return std::nullopt;
    UserAccount account;
    account.Uid = uid;
    account.Name = QFile::decodeName(entry->pw_name);
    if (entry->pw_dir && *entry->pw_dir == '/')
        account.Home = QDir::cleanPath(QFile::decodeName(entry->pw_dir));
    return account;
}

bool IsFolderOwnedBy(const QString& path, uint uid) {
    if (!QDir::isAbsolutePath(path)) return false;
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == uid_t(uid);
}
