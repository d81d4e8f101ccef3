#include "InvokingUserFolders.h"

#include "InvokingUser.h"
#include "WindowsEnvironment.h"
#include "XdgFolders.h"

#include <QDir>
#include <QFile>

namespace {

// The cache stays out of it: only root writes there, and it must not write into
// the user's home.
const char* const UserFolders[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"};

// The folders travel under names of their own, so the elevated copy keeps the
// HOME pkexec gives it for its own cache and temporary files.
QByteArray PassedName(const char* name) {
    return QByteArrayLiteral("BRENVALE_USER_") + name;
}

void SetFolder(const char* name, const QString& folder) {
    if (folder.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, QFile::encodeName(folder));
}

} // namespace

QStringList FoldersToPassOn() {
    QStringList assignments;
    for (const char* name : UserFolders) {
        const QString folder = qEnvironmentVariable(name);
        if (QDir::isAbsolutePath(folder))
            assignments << QString::fromLatin1(PassedName(name)) + u'=' + folder;
    }
    return assignments;
}

QString ActForInvokingUser() {
    const std::optional<uint> uid = InvokingUserId();
    if (!uid) return QString();
    const std::optional<UserAccount> account = LookUpUser(*uid);
    if (!account)
        return QStringLiteral("the user who asked for administrator rights (user id %1) is not in the "
                              "password database")
            .arg(*uid);

    // Root's own scratch folders, fixed before HOME changes.
    if (qEnvironmentVariableIsEmpty("TEMP")) SetFolder("TEMP", UserTempFolder());
    if (qEnvironmentVariableIsEmpty("TMP")) SetFolder("TMP", qEnvironmentVariable("TEMP"));
    SetFolder("XDG_CACHE_HOME", XdgCacheHome());

    QStringList passed;
    for (const char* name : UserFolders) {
        const QByteArray passedName = PassedName(name);
        passed << qEnvironmentVariable(passedName.constData());
        qunsetenv(passedName.constData());
    }
    // sudo may keep the user's own HOME; pkexec gives root's, which is not theirs.
    QString home = passed[0];
    if (!IsFolderOwnedBy(home, *uid)) home = qEnvironmentVariable("HOME");
    if (!IsFolderOwnedBy(home, *uid)) home = account->Home;
    if (home.isEmpty())
        return QStringLiteral("the user %1 who asked for administrator rights has no home folder")
            .arg(account->Name);
    SetFolder("HOME", QDir::cleanPath(home));
    SetFolder("USER", account->Name);
    SetFolder("LOGNAME", account->Name);
    for (int i = 1; i < passed.size(); ++i) {
        // A folder that is not the user's, or not there, gives way to the default
        // below the user's home.
        SetFolder(UserFolders[i], IsFolderOwnedBy(passed[i], *uid) ? QDir::cleanPath(passed[i]) : QString());
    }
    return QString();
}
