#include "SystemSeam.h"

#include "TWinRegistry.h"
#include "WindowsEnvironment.h"
#include "XdgFolders.h"

namespace SystemSeam {

QString UserShellFolder(UserFolderKind kind) {
    // The registry answers the XDG folders unless the user stored others there.
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    const QString value = registry.GetStringValue(
        QStringLiteral(
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"),
        kind == UserFolderKind::Desktop ? QStringLiteral("Desktop") : QStringLiteral("Programs"));
    if (!value.isEmpty()) return value;
    return kind == UserFolderKind::Desktop ? XdgUserFolder(QStringLiteral("DESKTOP"))
                                           : XdgDataHome() + QStringLiteral("/applications");
}

QString ExpandPathVariables(const QString& path) {
    QString expanded = path;
    expanded.replace(QStringLiteral("%TEMP%"), UserTempFolder(), Qt::CaseInsensitive);
    return expanded;
}

QStringList SplitText(const QString& text, const QString& separator) {
    if (text.isEmpty()) return {};
    return text.split(separator);
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace SystemSeam
