#include "WindowsEnvironment.h"

#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

QString UserTempFolder() {
    const QString folder = XdgCacheHome() + QStringLiteral("/tmp");
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

QList<QPair<QString, QString>> WindowsEnvironmentDefaults() {
    const QString temp = UserTempFolder();
    return {
        {QStringLiteral("LOCALAPPDATA"), XdgDataHome()},
        {QStringLiteral("APPDATA"), XdgConfigHome()},
        {QStringLiteral("TEMP"), temp},
        {QStringLiteral("TMP"), temp},
        {QStringLiteral("USERPROFILE"), HomeFolder()},
        {QStringLiteral("SYSTEMROOT"), QStringLiteral("/")},
    };
}

void EnsureWindowsEnvironment() {
    for (const auto& [name, value] : WindowsEnvironmentDefaults()) {
        const QByteArray key = name.toLatin1();
        if (qEnvironmentVariableIsEmpty(key.constData())) qputenv(key.constData(), QFile::encodeName(value));
    }
}
