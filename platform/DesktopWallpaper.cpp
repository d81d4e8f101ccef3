#include "DesktopWallpaper.h"

#include "DesktopAppearance.h"
#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <climits>
#include <mutex>
#include <sys/stat.h>

namespace {

const QString GnomeSchema = QStringLiteral("org.gnome.desktop.background");
// gsettings answers from a local database in a few milliseconds; one that hangs
// must not freeze the window that asked.
constexpr int GSettingsTimeoutMs = 2000;

using Placement = DesktopWallpaper::Placement;
using Rgb = DesktopWallpaper::Rgb;
using Scheme = DesktopWallpaper::Scheme;

// A string in GVariant's text form: single or double quotes, backslash escapes.
// Anything else (a number, a typed value) is returned as it stands.
QString GVariantString(QStringView text) {
    text = text.trimmed();
    if (text.size() < 2 || (text.front() != u'\'' && text.front() != u'"')) return text.toString();
    const QChar quote = text.front();
    QString result;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == quote) break;
        if (c != u'\\' || i + 1 >= text.size()) {
            result += c;
            continue;
        }
        const QChar escaped = text[++i];
        switch (escaped.unicode()) {
        case 'n':
            result += u'\n';
            break;
        case 't':
            result += u'\t';
            break;
        case 'u':
        case 'U': {
            const int digits = escaped == u'u' ? 4 : 8;
            bool ok = false;
            const char32_t code = text.mid(i + 1, digits).toUInt(&ok, 16);
            if (ok) {
                result += QString::fromUcs4(&code, 1);
                i += digits;
            }
            break;
        }
        default:
            result += escaped;
        }
    }
    return result;
}

// "#rrggbb" as GNOME writes it, or "r,g,b[,a]" as KDE does.
std::optional<Rgb> ParseColor(const QString& text) {
    const QString value = text.trimmed();
    if (value.startsWith(u'#') && value.size() == 7) {
        bool ok = false;
        const uint rgb = value.mid(1).toUInt(&ok, 16);
        if (ok) return Rgb{quint8(rgb >> 16), quint8(rgb >> 8), quint8(rgb)};
        return std::nullopt;
    }
    const QStringList parts = value.split(u',');
    if (parts.size() != 3 && parts.size() != 4) return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        channels[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || channels[i] < 0 || channels[i] > 255) return std::nullopt;
    }
    return Rgb{quint8(channels[0]), quint8(channels[1]), quint8(channels[2])};
}

// A file: URI or an absolute path; other schemes name nothing we can open.
QString LocalPath(const QString& value) {
    if (value.startsWith(u'/')) return QDir::cleanPath(value);
    const QUrl url(value);
    return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
}

// GNOME's timed backgrounds are XML files listing pictures; the first one stands
// for the whole show. A <file> either holds a path or several <size> variants,
// of which the largest is taken.
QString FirstSlideshowPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"file") continue;
        QString text;
        QString best;
        qint64 bestArea = -1;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"file") break;
            if (token == QXmlStreamReader::Characters) {
                text += xml.text();
            } else if (token == QXmlStreamReader::StartElement && xml.name() == u"size") {
                const qint64 area = xml.attributes().value(QLatin1StringView("width")).toLongLong() *
                                    xml.attributes().value(QLatin1StringView("height")).toLongLong();
                const QString candidate = xml.readElementText().trimmed();
                if (area > bestArea) {
                    bestArea = area;
                    best = candidate;
                }
            }
        }
        return LocalPath(best.isEmpty() ? text.trimmed() : best);
    }
    return {};
}

QString ResolvePicture(const QString& path) {
    if (path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) return FirstSlideshowPicture(path);
    return path;
}

std::optional<QByteArray> RunGSettings(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty()) return std::nullopt;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(GSettingsTimeoutMs)) return std::nullopt;
    if (!process.waitForFinished(GSettingsTimeoutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
    return process.readAllStandardOutput();
}

// A KDE wallpaper package holds one picture per size in contents/images (and
// contents/images_dark); the largest is the sharpest once scaled.
QString PackagePicture(const QString& folder, Scheme scheme) {
    QDir images(folder + QStringLiteral("/contents/images_dark"));
    if (scheme != Scheme::Dark || !images.exists())
        images.setPath(folder + QStringLiteral("/contents/images"));
    const QStringList files = images.entryList(QDir::Files, QDir::Name);
    if (files.isEmpty()) return {};
    static const QRegularExpression sizePattern(QStringLiteral("(\\d+)x(\\d+)"));
    QString best = files.constFirst();
    qint64 bestArea = -1;
    for (const QString& name : files) {
        const QRegularExpressionMatch match = sizePattern.match(name);
        if (!match.hasMatch()) continue;
        const qint64 area = match.captured(1).toLongLong() * match.captured(2).toLongLong();
        if (area > bestArea) {
            bestArea = area;
            best = name;
        }
    }
    return images.filePath(best);
}

QString KdePicture(const QString& value, Scheme scheme) {
    const QString path = LocalPath(value);
    if (path.isEmpty()) return {};
    return QFileInfo(path).isDir() ? PackagePicture(path, scheme) : path;
}

// Plasma's FillMode numbers (the picture's fill modes of Qt Quick).
Placement KdePlacement(const QString& value) {
    bool ok = false;
    const int mode = value.toInt(&ok);
    if (!ok) return Placement::Zoom;
    switch (mode) {
    case 0:
        return Placement::Stretched;
    case 1:
        return Placement::Scaled;
    case 3:
    case 4:
    case 5:
        return Placement::Tiled;
    case 6:
        return Placement::Centered;
    default:
        return Placement::Zoom;
    }
}

// "[Containments][12][Wallpaper][org.kde.image][General]" as its bracketed parts.
QStringList GroupPath(const QString& line) {
    QStringList parts;
    qsizetype at = 0;
    while (at < line.size() && line[at] == u'[') {
        const qsizetype end = line.indexOf(u']', at);
        if (end < 0) break;
        parts.append(line.mid(at + 1, end - at - 1));
        at = end + 1;
    }
    return parts;
}

struct Containment {
    int Id = 0;
    QString Plugin;
    QString WallpaperPlugin;
    int FormFactor = 0;
    int LastScreen = -1;
    QHash<QString, QHash<QString, QString>> General; // by wallpaper plugin
};

struct FileStamp {
    bool Exists = false;
    qint64 Size = 0;
    qint64 ModifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Everything Read() depends on, so that an unchanged key means an unchanged answer.
struct SettingKey {
    QString ConfigHome, Path, Desktop;
    Scheme ColorScheme = Scheme::Light;
    FileStamp Dconf, Appletsrc;
    bool operator==(const SettingKey&) const = default;
};

Scheme DesktopScheme() {
    return DesktopAppearance::Current().Scheme == DesktopAppearance::ColorScheme::PreferDark ? Scheme::Dark
                                                                                             : Scheme::Light;
}

DesktopWallpaper::Setting ReadFor(Scheme scheme) {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const bool kdeFirst = desktop.split(u':').contains(QStringLiteral("KDE"), Qt::CaseInsensitive);
    const auto gnome = [&] { return DesktopWallpaper::ReadGnome(scheme); };
    const auto kde = [&] { return DesktopWallpaper::ReadKde(DesktopWallpaper::KdeAppletsrcPath(), scheme); };
    if (auto first = kdeFirst ? kde() : gnome()) return *first;
    if (auto second = kdeFirst ? gnome() : kde()) return *second;
    return {};
}

} // namespace

std::optional<DesktopWallpaper::Setting> DesktopWallpaper::ParseGnomeListing(const QByteArray& listing,
                                                                             Scheme scheme) {
    QHash<QString, QString> values;
    for (const QByteArray& rawLine : listing.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype schemaEnd = line.indexOf(u' ');
        const qsizetype keyEnd = line.indexOf(u' ', schemaEnd + 1);
        if (schemaEnd <= 0 || keyEnd <= schemaEnd + 1 || line.first(schemaEnd) != GnomeSchema) continue;
        values.insert(line.mid(schemaEnd + 1, keyEnd - schemaEnd - 1),
                      GVariantString(QStringView(line).mid(keyEnd + 1)));
    }
    if (!values.contains(QStringLiteral("picture-uri"))) return std::nullopt;

    Setting setting;
    setting.Color = ParseColor(values.value(QStringLiteral("primary-color")));
    static const QHash<QString, Placement> placements = {
        {QStringLiteral("none"), Placement::None},           {QStringLiteral("wallpaper"), Placement::Tiled},
        {QStringLiteral("centered"), Placement::Centered},   {QStringLiteral("scaled"), Placement::Scaled},
        {QStringLiteral("stretched"), Placement::Stretched}, {QStringLiteral("zoom"), Placement::Zoom},
        {QStringLiteral("spanned"), Placement::Spanned},
    };
    setting.Fill = placements.value(values.value(QStringLiteral("picture-options")), Placement::Zoom);
    if (setting.Fill == Placement::None) return setting;

    // GNOME shows the light picture in the dark scheme when no dark one is set.
    QString uri = values.value(QStringLiteral("picture-uri"));
    if (const QString dark = values.value(QStringLiteral("picture-uri-dark"));
        scheme == Scheme::Dark && !dark.isEmpty())
        uri = dark;
    setting.Picture = ResolvePicture(LocalPath(uri));
    if (setting.Picture.isEmpty()) setting.Fill = Placement::None;
    return setting;
}

std::optional<DesktopWallpaper::Setting> DesktopWallpaper::ReadGnome(Scheme scheme) {
    const auto listing = RunGSettings({QStringLiteral("list-recursively"), GnomeSchema});
    if (!listing) return std::nullopt;
    return ParseGnomeListing(*listing, scheme);
}

QString DesktopWallpaper::KdeAppletsrcPath() {
    return XdgConfigHome() + QStringLiteral("/plasma-org.kde.plasma.desktop-appletsrc");
}

std::optional<DesktopWallpaper::Setting> DesktopWallpaper::ParseKdeAppletsrc(const QByteArray& content,
                                                                             Scheme scheme) {
    QMap<int, Containment> containments;
    QStringList group;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            group = GroupPath(line);
            continue;
        }
        if (group.size() < 2 || group[0] != QStringLiteral("Containments")) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) continue;
        // Keys may carry a locale or "[$e]" suffix; the value is the same either way.
        QString key = line.first(equals).trimmed();
        if (const qsizetype bracket = key.indexOf(u'['); bracket > 0) key.truncate(bracket);
        const QString value = line.mid(equals + 1).trimmed();

        bool ok = false;
        const int id = group[1].toInt(&ok);
        if (!ok) continue;
        Containment& containment = containments[id];
        containment.Id = id;
        if (group.size() == 2) {
            if (key == QStringLiteral("plugin")) containment.Plugin = value;
            if (key == QStringLiteral("wallpaperplugin")) containment.WallpaperPlugin = value;
            if (key == QStringLiteral("formfactor")) containment.FormFactor = value.toInt();
            if (key == QStringLiteral("lastScreen")) containment.LastScreen = value.toInt();
        }
        if (group.size() == 5 && group[2] == QStringLiteral("Wallpaper") &&
            group[4] == QStringLiteral("General"))
            containment.General[group[3]].insert(key, value);
    }

    // Panels name a wallpaper plugin too but stand on an edge (form factor 2 or 3).
    // Of the desktops the primary screen's (0) is wanted, else the lowest screen;
    // which activity is current is not recorded here, so the first one wins.
    std::optional<Containment> desktop;
    for (const Containment& containment : std::as_const(containments)) {
        if (containment.WallpaperPlugin.isEmpty() || containment.FormFactor != 0 ||
            containment.Plugin == QStringLiteral("org.kde.panel"))
            continue;
        const auto rank = [](const Containment& c) { return c.LastScreen < 0 ? INT_MAX : c.LastScreen; };
        if (!desktop || rank(containment) < rank(*desktop)) desktop = containment;
    }
    if (!desktop) return std::nullopt;

    const QHash<QString, QString> general = desktop->General.value(desktop->WallpaperPlugin);
    Setting setting;
    setting.Color = ParseColor(general.value(QStringLiteral("Color")));
    if (desktop->WallpaperPlugin == QStringLiteral("org.kde.color")) {
        setting.Fill = Placement::None;
        return setting;
    }
    setting.Fill = KdePlacement(general.value(QStringLiteral("FillMode"), QStringLiteral("2")));
    QString image = general.value(QStringLiteral("Image"));
    // Without an Image entry Plasma shows its stock wallpaper.
    if (image.isEmpty() && desktop->WallpaperPlugin == QStringLiteral("org.kde.image"))
        image = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("wallpapers/Next"),
                                       QStandardPaths::LocateDirectory);
    setting.Picture = KdePicture(image, scheme);
    if (setting.Picture.isEmpty()) setting.Fill = Placement::None;
    return setting;
}

std::optional<DesktopWallpaper::Setting> DesktopWallpaper::ReadKde(const QString& appletsrcPath,
                                                                   Scheme scheme) {
    QFile file(appletsrcPath);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return ParseKdeAppletsrc(file.readAll(), scheme);
}

DesktopWallpaper::Setting DesktopWallpaper::Read() {
    return ReadFor(DesktopScheme());
}

qint64 DesktopWallpaper::PictureFileSize() {
    static std::mutex lock;
    static std::optional<SettingKey> lastKey;
    static QString lastPicture;

    // dconf keeps GNOME's settings in one database file, which changes with every
    // setting written; Plasma writes its file when the wallpaper changes.
    const QString configHome = XdgConfigHome();
    SettingKey key{configHome,
                   qEnvironmentVariable("PATH"),
                   qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                   DesktopScheme(),
                   StampOf(configHome + QStringLiteral("/dconf/user")),
                   StampOf(KdeAppletsrcPath())};
    QString picture;
    {
        std::lock_guard guard(lock);
        if (!lastKey || *lastKey != key) {
            lastPicture = ReadFor(key.ColorScheme).Picture;
            lastKey = std::move(key);
        }
        picture = lastPicture;
    }
    if (picture.isEmpty()) return -1;
    const FileStamp stamp = StampOf(picture);
    return stamp.Exists ? stamp.Size : -1;
}
