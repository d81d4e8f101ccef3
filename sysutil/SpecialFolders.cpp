#include "SpecialFolders.h"

#include "PathVariables.h"
#include "TWinRegistry.h"
#include "WindowsEnvironment.h"
#include "XdgFolders.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

void CreateFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()));
}

} // namespace

QString UserFolderValueName(UserFolderKind kind) {
    switch (kind) {
    case UserFolderKind::Profile:
        return {};
    case UserFolderKind::AppData:
        return QStringLiteral("AppData");
    case UserFolderKind::LocalAppData:
        return QStringLiteral("Local AppData");
    case UserFolderKind::Documents:
        return QStringLiteral("Personal");
    case UserFolderKind::Pictures:
        return QStringLiteral("My Pictures");
    case UserFolderKind::Desktop:
        return QStringLiteral("Desktop");
    case UserFolderKind::Music:
        return QStringLiteral("My Music");
    case UserFolderKind::Videos:
        return QStringLiteral("My Video");
    case UserFolderKind::NetHood:
        return QStringLiteral("NetHood");
    case UserFolderKind::Recent:
        return QStringLiteral("Recent");
    case UserFolderKind::StartMenu:
        return QStringLiteral("Start Menu");
    case UserFolderKind::Startup:
        return QStringLiteral("Startup");
    case UserFolderKind::Downloads:
        return QStringLiteral("{374DE290-123F-4565-9164-39C4925E467B}");
    case UserFolderKind::Programs:
        return QStringLiteral("Programs");
    }
    return {};
}

QString UserShellFolder(UserFolderKind kind) {
    if (kind == UserFolderKind::Profile) return ExpandPathVariables(QStringLiteral("%USERPROFILE%"));
    TWinRegistry registry;
    const QString value = registry.GetStringValue(
        QStringLiteral(
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"),
        UserFolderValueName(kind));
    return ExpandPathVariables(value);
}

QString SystemDrivePath() {
    return ExpandEnvironmentNames(QStringLiteral("%SYSTEMDRIVE%"));
}

// Callers gate features on this number (the custom title bar needs 6 or more).
// The kernel's version means nothing here: the stand-ins offer what Windows 10
// offers, so that is the version reported.
double GetWindowsVersion() {
    return 10.0;
}

QString CurrentUserName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    while ((error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found && found->pw_name) return QString::fromLocal8Bit(found->pw_name);
    throw std::system_error(error ? error : ENOENT, std::generic_category(), "CurrentUserName");
}

QString AppDataFolderForVersion(double windowsVersion, const QString& appName, bool withMakerFolder,
                                bool createIfMissing, AppDataKind kind) {
    QString root;
    if (windowsVersion < 6.0) {
        root = SystemDrivePath() + QStringLiteral("/Documents and Settings/") + CurrentUserName() +
               QStringLiteral("/Application Data/");
    } else {
        switch (kind) {
        case AppDataKind::Local:
            root = ExpandPathVariables(QStringLiteral("%LOCALAPPDATA%/"));
            break;
        case AppDataKind::Roaming:
            root = ExpandPathVariables(QStringLiteral("%APPDATA%/"));
            break;
        // There is no low-integrity data here; the state folder is the nearest kin.
        case AppDataKind::LocalLow:
            root = XdgStateHome() + u'/';
            break;
        }
    }
    if (withMakerFolder) {
        root += QStringLiteral("BrenvaleSoftware/");
        if (createIfMissing) CreateFolder(root);
    }
    const QString result = root + appName + u'/';
    if (createIfMissing) CreateFolder(result);
    return result;
}

QString AppDataFolder(const QString& appName, bool withMakerFolder, bool createIfMissing, AppDataKind kind) {
    return AppDataFolderForVersion(GetWindowsVersion(), appName, withMakerFolder, createIfMissing, kind);
}

QString ExpandDefaultPaths(const QString& path) {
    const QString home = HomeFolder();
    const QString temp = UserTempFolder();
    const QList<QPair<QString, QString>> table = {
        {QStringLiteral("%AppData%"), XdgConfigHome()},
        {QStringLiteral("%LocalAppData%"), XdgDataHome()},
        {QStringLiteral("%Public%"), XdgUserFolder(QStringLiteral("PUBLICSHARE"))},
        {QStringLiteral("%Temp%"), temp},
        {QStringLiteral("%Tmp%"), temp},
        {QStringLiteral("%HomePath%"), home + u'/'},
        {QStringLiteral("%UserProfile%"), home + u'/'},
        {QStringLiteral("%AllUsersProfile%"), QStringLiteral("/var/lib")},
        {QStringLiteral("%CommonProgramFiles%"), QStringLiteral("/usr/lib")},
        {QStringLiteral("%CommonProgramFiles(x86)%"), QStringLiteral("/usr/lib")},
        {QStringLiteral("%HomeDrive%"), QStringLiteral("/")},
        {QStringLiteral("%ProgramData%"), QStringLiteral("/var/lib")},
        {QStringLiteral("%ProgramFiles%"), QStringLiteral("/opt")},
        {QStringLiteral("%ProgramFiles(x86)%"), QStringLiteral("/opt")},
        // The drive is the empty prefix of "/": "%SystemDrive%/x" is "/x".
        {QStringLiteral("%SystemDrive%"), QString()},
        {QStringLiteral("%SystemRoot%"), QStringLiteral("/")},
        {QStringLiteral("%OneDrive%"), home + QStringLiteral("/OneDrive/")},
        {QStringLiteral("%OneDriveConsumer%"), home + QStringLiteral("/OneDrive/")},
        {QStringLiteral("%WindowsApps%"), QStringLiteral("/var/lib/flatpak/exports/bin")},
        {QStringLiteral("%UserWindowsApps%"), home + QStringLiteral("/.local/bin/")},
    };
    QString result = path;
    result.remove(u'"');
    for (const auto& [token, replacement] : table)
        result.replace(token, replacement, Qt::CaseInsensitive);
    return result;
}
