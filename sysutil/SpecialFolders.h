#pragma once
// The user's special folders and the per-user data folder of the maker's
// applications. Folder texts use "/" as the path delimiter.
#include <QString>

enum class UserFolderKind {
    Profile,
    AppData,
    LocalAppData,
    Documents,
    Pictures,
    Desktop,
    Music,
    Videos,
    NetHood,
    Recent,
    StartMenu,
    Startup,
    Downloads,
    Programs,
};

enum class AppDataKind { Local, Roaming, LocalLow };

// The registry value under User Shell Folders that holds a kind's folder (empty
// for Profile).
QString UserFolderValueName(UserFolderKind kind);

// The folder of that kind, without a trailing delimiter; empty when the desktop
// has none (NetHood, Recent). A registry read error shows the registry's message.
QString UserShellFolder(UserFolderKind kind);

QString SystemDrivePath();
// The Windows version whose behaviour the programs follow here: 10.0.
double GetWindowsVersion();
// The login name of the effective user; throws std::system_error when unknown.
QString CurrentUserName();

// The root of `kind` (Local: XDG data home, Roaming: XDG config home, LocalLow: XDG
// state home), then "BrenvaleSoftware/" when withMakerFolder, then appName and "/".
// With createIfMissing the folders are created; a failure to create them throws
// std::filesystem::filesystem_error.
QString AppDataFolder(const QString& appName, bool withMakerFolder, bool createIfMissing,
                      AppDataKind kind = AppDataKind::Local);
// The same rule for a given Windows version (below 6.0 the old profile layout).
QString AppDataFolderForVersion(double windowsVersion, const QString& appName, bool withMakerFolder,
                                bool createIfMissing, AppDataKind kind);

// Replaces the fixed Windows names ("%AppData%", "%ProgramFiles%", ...) by the
// matching folders here, ignoring case and without consulting the environment,
// after removing every double quote.
QString ExpandDefaultPaths(const QString& path);
