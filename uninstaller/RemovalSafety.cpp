#include "RemovalSafety.h"

#include "InvokingUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Trees of the system: nothing at or below them belongs to one application, except
// where a tree keeps a place for installed applications (below).
const char* const SystemTrees[] = {
    "/usr",    "/etc", "/var",  "/boot", "/lib", "/lib32", "/lib64",
    "/libx32", "/bin", "/sbin", "/proc", "/sys", "/dev",   "/run",
};

// The places inside the system trees that applications are installed into.
constexpr const char* OptionalPackages = "/var/opt";
constexpr const char* LocalHierarchy = "/usr/local";

// A home's folders that hold much more than one application.
const char* const HomeFolderNames[] = {
    ".local",       ".local/bin", ".local/share", ".local/share/applications",
    ".local/state", ".config",    ".cache",       "Apps",
    "Desktop",      "Documents",  "Downloads",    "Music",
    "Pictures",     "Public",     "Templates",    "Videos",
};

const char* const SystemFolders[] = {
    "/bin",
    "/boot",
    "/dev",
    "/etc",
    "/home",
    "/lib",
    "/lib32",
    "/lib64",
    "/libx32",
    "/lost+found",
    "/media",
    "/mnt",
    "/opt",
    "/proc",
    "/root",
    "/run",
    "/sbin",
    "/snap",
    "/srv",
    "/sys",
    "/tmp",
    "/usr",
    "/var",
    "/etc/xdg",
    "/usr/bin",
    "/usr/games",
    "/usr/include",
    "/usr/lib",
    "/usr/lib32",
    "/usr/lib64",
    "/usr/libexec",
    "/usr/libx32",
    "/usr/local",
    "/usr/local/bin",
    "/usr/local/etc",
    "/usr/local/games",
    "/usr/local/include",
    "/usr/local/lib",
    "/usr/local/sbin",
    "/usr/local/share",
    "/usr/local/src",
    "/usr/sbin",
    "/usr/share",
    "/usr/share/applications",
    "/usr/src",
    "/var/cache",
    "/var/lib",
    "/var/local",
    "/var/log",
    "/var/mail",
    "/var/opt",
    "/var/spool",
    "/var/tmp",
};

// Keys that hold records of the whole system or of every application of one
// vendor, compared without regard to case as the registry compares key names.
const char* const SystemKeys[] = {
    "Software\\BrenvaleSoftware",
    "Software\\Wow6432Node",
    "Software\\Wow6432Node\\BrenvaleSoftware",
    "Software\\Classes",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
    "Software\\Microsoft\\Windows\\DWM",
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

QString EnvironmentFolder(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

void AddEnvironmentList(QStringList& folders, const char* name) {
    for (const QString& folder : qEnvironmentVariable(name).split(u':', Qt::SkipEmptyParts))
        folders << folder;
}

// Two spellings of one folder: as written (cleaned) and with links resolved.
QStringList Spellings(const QString& path) {
    QStringList spellings{QDir::cleanPath(path)};
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && canonical != spellings.front()) spellings << canonical;
    return spellings;
}

bool Holds(const QString& folder, const QString& other) {
    if (folder == QLatin1String("/")) return true;
    return other == folder || other.startsWith(folder + u'/');
}

QStringList KeyElements(const QString& record, const QString& delimiters) {
    QStringList elements;
    QString current;
    for (const QChar c : record) {
        if (delimiters.contains(c)) {
            if (!current.isEmpty()) elements << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) elements << current;
    // The registry wrapper drops a leading "Computer" element before anything else.
    if (!elements.isEmpty() && elements.front() == QLatin1String("Computer")) elements.removeFirst();
    return elements;
}

// The key, or a key above it, holds records that are not one application's.
bool HoldsSystemKey(const QStringList& elements) {
    const QString joined = elements.join(u'\\');
    for (const char* key : SystemKeys) {
        const QString system = QString::fromLatin1(key);
        if (system.compare(joined, Qt::CaseInsensitive) == 0 ||
            system.startsWith(joined + u'\\', Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool IsAtOrBelow(const QString& path, const QString& folder) {
    if (folder == QLatin1String("/")) return true;
    return path == folder || path.startsWith(folder + u'/');
}

bool IsBelow(const QString& path, const QString& folder) {
    return path.startsWith(folder + u'/');
}

// Names compared as installers spell them: "Brenvale Demo", "brenvale-demo" and
// "BrenvaleDemo" are one application.
QString NameKey(const QString& name) {
    QString key;
    for (const QChar c : name)
        if (c.isLetterOrNumber()) key += c.toCaseFolded();
    return key;
}

// Below /usr/local only a folder named after the application is the application's.
bool IsNamedAfterApplication(const QString& path, const QString& appName) {
    const QString key = NameKey(appName);
    if (key.isEmpty()) return false;
    const QStringList elements =
        path.mid(qsizetype(qstrlen(LocalHierarchy)) + 1).split(u'/', Qt::SkipEmptyParts);
    for (const QString& element : elements)
        if (NameKey(element) == key) return true;
    return false;
}

bool IsInSystemTree(const QString& path, const QString& appName) {
    if (IsBelow(path, QLatin1String(OptionalPackages))) return false;
    if (IsBelow(path, QLatin1String(LocalHierarchy))) return !IsNamedAfterApplication(path, appName);
    for (const char* tree : SystemTrees)
        if (IsAtOrBelow(path, QLatin1String(tree))) return true;
    return false;
}

QString UserHome(uid_t user) {
    const passwd* entry = getpwuid(user);
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

// Folders that are nobody's home however the user database names them.
bool IsSharedFolder(const QString& home) {
    return home == QLatin1String("/") || home == QLatin1String("/tmp") || home == QLatin1String("/var/tmp");
}

QStringList AllHomes() {
    QStringList homes{QStringLiteral("/root")};
    for (const QString& name :
         QDir(QStringLiteral("/home")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        homes << QStringLiteral("/home/") + name;
    setpwent();
    while (const passwd* entry = getpwent())
        if (entry->pw_dir && *entry->pw_dir == '/')
            homes << QDir::cleanPath(QFile::decodeName(entry->pw_dir));
    endpwent();
    homes.removeDuplicates();
    return homes;
}

} // namespace

QStringList RegistryKeyElements(const QString& record) {
    return KeyElements(record, QStringLiteral("\\"));
}

QStringList ProtectedFolders() {
    QStringList folders{QStringLiteral("/")};
    for (const char* folder : SystemFolders)
        folders << QString::fromLatin1(folder);
    // Whatever stands at the top of the file system belongs to the system.
    for (const QString& name :
         QDir(QStringLiteral("/")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        folders << u'/' + name;

    const QString home = QDir::homePath();
    const QString dataHome = EnvironmentFolder("XDG_DATA_HOME", home + QLatin1String("/.local/share"));
    const QString configHome = EnvironmentFolder("XDG_CONFIG_HOME", home + QLatin1String("/.config"));
    const QString cacheHome = EnvironmentFolder("XDG_CACHE_HOME", home + QLatin1String("/.cache"));
    folders << home << home + QLatin1String("/.local") << home + QLatin1String("/.local/bin") << dataHome
            << configHome << EnvironmentFolder("XDG_STATE_HOME", home + QLatin1String("/.local/state"))
            << dataHome + QLatin1String("/applications") << cacheHome
            << cacheHome + QLatin1String("/tmp")
            // Every application of the maker keeps its data below these, and the
            // registry store its hives.
            << dataHome + QLatin1String("/BrenvaleSoftware")
            << configHome + QLatin1String("/BrenvaleSoftware")
            << dataHome + QLatin1String("/BrenvaleRegistry") << QStringLiteral("/var/lib/BrenvaleRegistry");
    const QString registryRoot = qEnvironmentVariable("BRENVALE_REGISTRY_ROOT");
    if (QDir::isAbsolutePath(registryRoot)) folders << registryRoot;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) folders << runtime;
    AddEnvironmentList(folders, "XDG_DATA_DIRS");
    AddEnvironmentList(folders, "XDG_CONFIG_DIRS");

    const QStandardPaths::StandardLocation userLocations[] = {
        QStandardPaths::DesktopLocation,      QStandardPaths::DocumentsLocation,
        QStandardPaths::DownloadLocation,     QStandardPaths::MusicLocation,
        QStandardPaths::PicturesLocation,     QStandardPaths::MoviesLocation,
        QStandardPaths::PublicShareLocation,  QStandardPaths::TemplatesLocation,
        QStandardPaths::ApplicationsLocation, QStandardPaths::FontsLocation,
        QStandardPaths::TempLocation,
    };
    for (const auto location : userLocations) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (QDir::isAbsolutePath(folder)) folders << folder;
    }
    for (const QString& home : AllHomes() + OwnHomes()) {
        if (IsSharedFolder(home)) continue;
        folders << home;
        for (const char* name : HomeFolderNames)
            folders << home + u'/' + QLatin1String(name);
    }
    folders.removeDuplicates();
    return folders;
}

QStringList OwnHomes() {
    QStringList homes{QDir::cleanPath(QDir::homePath()), QDir::cleanPath(UserHome(geteuid()))};
    if (const auto user = InvokingUserId()) homes << QDir::cleanPath(UserHome(uid_t(*user)));
    homes.removeAll(QString());
    homes.removeAll(QStringLiteral("."));
    homes.removeDuplicates();
    return homes;
}

TRemovalScope CurrentRemovalScope() {
    TRemovalScope scope;
    scope.ProtectedFolders = ProtectedFolders();
    const QStringList own = OwnHomes();
    for (const QString& home : AllHomes()) {
        bool mine = false;
        for (const QString& ownHome : own) {
            for (const QString& spelling : Spellings(ownHome))
                mine = mine || spelling == home || QFileInfo(home).canonicalFilePath() == spelling;
        }
        if (!mine && !IsSharedFolder(home)) scope.OtherHomes << home;
    }
    scope.Owners << uint(geteuid());
    if (const auto user = InvokingUserId()) scope.Owners << *user;
    return scope;
}

QString FolderRefusal(const QString& path, const QString& appName, const TRemovalScope& scope) {
    if (path.isEmpty()) return QString();
    if (!QDir::isAbsolutePath(path)) return QStringLiteral("is not a full path");
    if (IsProtectedFolder(path, scope.ProtectedFolders))
        return QStringLiteral("is a home, system or desktop folder, or holds one");
    for (const QString& spelling : Spellings(path)) {
        if (IsInSystemTree(spelling, appName)) return QStringLiteral("lies in a folder of the system");
        for (const QString& home : scope.OtherHomes) {
            for (const QString& homeSpelling : Spellings(home))
                if (IsAtOrBelow(spelling, homeSpelling))
                    return QStringLiteral("lies in another user's home folder");
        }
    }
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) == 0 && !scope.Owners.contains(uint(info.st_uid)))
        return QStringLiteral("belongs to another user");
    return QString();
}

bool IsProtectedFolder(const QString& path, const QStringList& protectedFolders) {
    if (path.isEmpty()) return false;
    if (!QDir::isAbsolutePath(path)) return true;
    for (const QString& candidate : Spellings(path)) {
        for (const QString& folder : protectedFolders) {
            for (const QString& spelling : Spellings(folder)) {
                if (Holds(candidate, spelling)) return true;
            }
        }
    }
    return false;
}

bool IsProtectedRegistryRecord(const QString& record) {
    // A "/" is part of a key name to the store, but reading it as a delimiter too
    // is the stricter reading, and the stricter reading decides.
    const QStringList strict = KeyElements(record, QStringLiteral("\\/"));
    const QStringList loose = RegistryKeyElements(record);
    if (strict.isEmpty() && loose.isEmpty()) return false; // Names no key at all, so nothing will be deleted.
    if (strict.size() < 2 || loose.size() < 2) return true;
    return HoldsSystemKey(strict) || HoldsSystemKey(loose);
}

QString RefusalReason(const TAppOptions& options) {
    return RefusalReason(options, CurrentRemovalScope());
}

QString RefusalReason(const TAppOptions& options, const TRemovalScope& scope) {
    if (options.AppName.contains(u'/'))
        return QStringLiteral("the application name is no file name: ") + options.AppName;
    const QString install = FolderRefusal(options.InstallPath, options.AppName, scope);
    if (!install.isEmpty())
        return QStringLiteral("the install path %1: %2").arg(install, options.InstallPath);
    const QString data = FolderRefusal(options.AppDataPath, options.AppName, scope);
    if (!data.isEmpty()) return QStringLiteral("the data path %1: %2").arg(data, options.AppDataPath);
    if (IsProtectedRegistryRecord(options.RegistryRecord))
        return QStringLiteral("the registry record is not one application's key: ") + options.RegistryRecord;
    return QString();
}
