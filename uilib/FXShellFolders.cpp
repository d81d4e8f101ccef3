#include "FXShellFolders.h"

#include "FXQuickReg.h"

namespace FXShellFolders {

QString UserShellFolder(UserFolderKind kind) {
    if (kind == UserFolderKind::Profile) {
        QString profile = ExpandDefaultPaths(QStringLiteral("%USERPROFILE%"));
        if (profile.size() > 1 && profile.endsWith(u'/')) profile.chop(1);
        return profile;
    }
    const QString value = FXQuickReg::GetStringValue(
        QStringLiteral(
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"),
        UserFolderValueName(kind));
    return ExpandDefaultPaths(value);
}

} // namespace FXShellFolders
