#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

namespace {

// An XDG variable counts only when it holds an absolute path, as the base
// directory specification requires.
QString AbsoluteFromEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString BaseFolder(const char* name, const QString& fallbackBelowHome) {
    const QString value = AbsoluteFromEnvironment(name);
    return value.isEmpty() ? HomeFolder() + u'/' + fallbackBelowHome : value;
}

} // namespace

QString HomeFolder() {
    QString home = AbsoluteFromEnvironment("HOME");
    if (!home.isEmpty()) return home;
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir)
        return QDir::cleanPath(QString::fromLocal8Bit(entry->pw_dir));
    return QStringLiteral("/");
}

QString XdgDataHome() {
    return BaseFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}
QString XdgConfigHome() {
    return BaseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}
QString XdgCacheHome() {
    return BaseFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}
QString XdgStateHome() {
    return BaseFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

QString XdgUserFolder(const QString& key) {
    static const QHash<QString, QString> conventional = {
        {QStringLiteral("DESKTOP"), QStringLiteral("Desktop")},
        {QStringLiteral("DOCUMENTS"), QStringLiteral("Documents")},
        {QStringLiteral("DOWNLOAD"), QStringLiteral("Downloads")},
        {QStringLiteral("MUSIC"), QStringLiteral("Music")},
        {QStringLiteral("PICTURES"), QStringLiteral("Pictures")},
        {QStringLiteral("VIDEOS"), QStringLiteral("Videos")},
        {QStringLiteral("TEMPLATES"), QStringLiteral("Templates")},
        {QStringLiteral("PUBLICSHARE"), QStringLiteral("Public")},
    };
    const QString home = HomeFolder();
    // user-dirs.dirs holds lines of the form XDG_DESKTOP_DIR="$HOME/Desktop"; only
    // "$HOME/" may begin a relative entry, anything else must be absolute.
    QFile file(XdgConfigHome() + QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString wanted = QStringLiteral("XDG_%1_DIR").arg(key);
        QString found;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(u'#')) continue;
            const qsizetype equals = line.indexOf(u'=');
            if (equals < 0 || line.left(equals).trimmed() != wanted) continue;
            QString value = line.mid(equals + 1).trimmed();
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            if (value.startsWith(QStringLiteral("$HOME/")))
                value = home + value.mid(5);
            else if (value == QStringLiteral("$HOME"))
                value = home;
            if (QDir::isAbsolutePath(value)) found = QDir::cleanPath(value);
        }
        if (!found.isEmpty()) return found;
    }
    const QString name = conventional.value(key);
    return name.isEmpty() ? home : home + u'/' + name;
}
