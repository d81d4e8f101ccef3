#include "RemovalSafety.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

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

// Keys that hold records of the whole system, compared without regard to case
// as the registry compares key names.
const char* const SystemKeys[] = {
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
    folders.removeDuplicates();
    return folders;
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
    const QString joined = strict.join(u'\\');
    for (const char* key : SystemKeys) {
        const QString system = QString::fromLatin1(key);
        if (system.compare(joined, Qt::CaseInsensitive) == 0 ||
            system.startsWith(joined + u'\\', Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString RefusalReason(const TAppOptions& options) {
    if (options.AppName.contains(u'/'))
        return QStringLiteral("the application name is no file name: ") + options.AppName;
    const QStringList folders = ProtectedFolders();
    if (IsProtectedFolder(options.InstallPath, folders))
        return QStringLiteral("the install path names a protected folder: ") + options.InstallPath;
    if (IsProtectedFolder(options.AppDataPath, folders))
        return QStringLiteral("the data path names a protected folder: ") + options.AppDataPath;
    if (IsProtectedRegistryRecord(options.RegistryRecord))
        return QStringLiteral("the registry record is a key at the top of its hive: ") +
               options.RegistryRecord;
    return QString();
}
