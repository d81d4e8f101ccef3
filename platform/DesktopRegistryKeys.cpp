#include "DesktopRegistryKeys.h"

#include "DesktopAppearance.h"
#include "XdgFolders.h"

#include <QtEndian>

namespace {

enum class KeyKind { Personalize, Dwm, UserFolders, MachineFolders };

struct DesktopKey {
    HKEY Hive;
    QStringList Path;
    KeyKind Kind;
};

const QList<DesktopKey>& DesktopKeys() {
    static const QStringList explorer = {QStringLiteral("Software"), QStringLiteral("Microsoft"),
                                         QStringLiteral("Windows"), QStringLiteral("CurrentVersion"),
                                         QStringLiteral("Explorer")};
    static const QList<DesktopKey> keys = {
        {HKEY_CURRENT_USER,
         {QStringLiteral("Software"), QStringLiteral("Microsoft"), QStringLiteral("Windows"),
          QStringLiteral("CurrentVersion"), QStringLiteral("Themes"), QStringLiteral("Personalize")},
         KeyKind::Personalize},
        {HKEY_CURRENT_USER,
         {QStringLiteral("Software"), QStringLiteral("Microsoft"), QStringLiteral("Windows"),
          QStringLiteral("DWM")},
         KeyKind::Dwm},
        {HKEY_CURRENT_USER, explorer + QStringList{QStringLiteral("User Shell Folders")},
         KeyKind::UserFolders},
        {HKEY_CURRENT_USER, explorer + QStringList{QStringLiteral("Shell Folders")}, KeyKind::UserFolders},
        {HKEY_LOCAL_MACHINE, explorer + QStringList{QStringLiteral("Shell Folders")},
         KeyKind::MachineFolders},
    };
    return keys;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Whether `prefix` equals the first elements of `path`.
bool StartsWith(const QStringList& path, const QStringList& prefix) {
    if (prefix.size() > path.size()) return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (!SameName(path[i], prefix[i])) return false;
    return true;
}

QList<NamedRegistryValue> UserFolderValues() {
    using DesktopRegistryKeys::TextValue;
    const QString data = XdgDataHome();
    const QString config = XdgConfigHome();
    // Start Menu and Programs are the same folder here: the launcher entries of
    // ~/.local/share/applications, where shortcuts (.desktop files) belong.
    return {
        {QStringLiteral("AppData"), TextValue(config)},
        {QStringLiteral("Local AppData"), TextValue(data)},
        {QStringLiteral("Personal"), TextValue(XdgUserFolder(QStringLiteral("DOCUMENTS")))},
        {QStringLiteral("My Pictures"), TextValue(XdgUserFolder(QStringLiteral("PICTURES")))},
        {QStringLiteral("Desktop"), TextValue(XdgUserFolder(QStringLiteral("DESKTOP")))},
        {QStringLiteral("My Music"), TextValue(XdgUserFolder(QStringLiteral("MUSIC")))},
        {QStringLiteral("My Video"), TextValue(XdgUserFolder(QStringLiteral("VIDEOS")))},
        {QStringLiteral("Start Menu"), TextValue(data + QStringLiteral("/applications"))},
        {QStringLiteral("Programs"), TextValue(data + QStringLiteral("/applications"))},
        {QStringLiteral("Startup"), TextValue(config + QStringLiteral("/autostart"))},
        {QStringLiteral("{374DE290-123F-4565-9164-39C4925E467B}"),
         TextValue(XdgUserFolder(QStringLiteral("DOWNLOAD")))},
        {QStringLiteral("Templates"), TextValue(XdgUserFolder(QStringLiteral("TEMPLATES")))},
        {QStringLiteral("Fonts"), TextValue(data + QStringLiteral("/fonts"))},
        {QStringLiteral("Cache"), TextValue(XdgCacheHome())},
    };
}

QList<NamedRegistryValue> MachineFolderValues() {
    using DesktopRegistryKeys::TextValue;
    return {
        {QStringLiteral("Common Start Menu"), TextValue(QStringLiteral("/usr/share/applications"))},
        {QStringLiteral("Common Programs"), TextValue(QStringLiteral("/usr/share/applications"))},
        {QStringLiteral("Common Startup"), TextValue(QStringLiteral("/etc/xdg/autostart"))},
    };
}

QList<NamedRegistryValue> PersonalizeValues() {
    const DesktopAppearance::State state = DesktopAppearance::Current();
    if (!state.Scheme) return {};
    const std::uint32_t light = *state.Scheme == DesktopAppearance::ColorScheme::PreferDark ? 0 : 1;
    return {{QStringLiteral("AppsUseLightTheme"), DesktopRegistryKeys::DwordValue(light)},
            {QStringLiteral("SystemUsesLightTheme"), DesktopRegistryKeys::DwordValue(light)}};
}

QList<NamedRegistryValue> DwmValues() {
    const DesktopAppearance::State state = DesktopAppearance::Current();
    if (!state.Accent) return {};
    const std::uint32_t red = state.Accent->Red, green = state.Accent->Green, blue = state.Accent->Blue;
    // AccentColor is 0xAABBGGRR, ColorizationColor 0xAARRGGBB, as Windows keeps them.
    return {{QStringLiteral("AccentColor"),
             DesktopRegistryKeys::DwordValue(0xFF000000u | blue << 16 | green << 8 | red)},
            {QStringLiteral("ColorizationColor"),
             DesktopRegistryKeys::DwordValue(0xC4000000u | red << 16 | green << 8 | blue)}};
}

} // namespace

namespace DesktopRegistryKeys {

bool IsKey(HKEY hive, const QStringList& key) {
    for (const DesktopKey& desktopKey : DesktopKeys())
        if (desktopKey.Hive == hive && StartsWith(desktopKey.Path, key)) return true;
    return false;
}

QStringList ChildNames(HKEY hive, const QStringList& key) {
    QStringList names;
    for (const DesktopKey& desktopKey : DesktopKeys()) {
        if (desktopKey.Hive != hive || desktopKey.Path.size() <= key.size() ||
            !StartsWith(desktopKey.Path, key))
            continue;
        const QString& child = desktopKey.Path[key.size()];
        if (!names.contains(child, Qt::CaseInsensitive)) names.append(child);
    }
    return names;
}

QList<NamedRegistryValue> Values(HKEY hive, const QStringList& key) {
    for (const DesktopKey& desktopKey : DesktopKeys()) {
        if (desktopKey.Hive != hive || desktopKey.Path.size() != key.size() ||
            !StartsWith(desktopKey.Path, key))
            continue;
        switch (desktopKey.Kind) {
        case KeyKind::Personalize:
            return PersonalizeValues();
        case KeyKind::Dwm:
            return DwmValues();
        case KeyKind::UserFolders:
            return UserFolderValues();
        case KeyKind::MachineFolders:
            return MachineFolderValues();
        }
    }
    return {};
}

RegistryValue TextValue(const QString& text, std::uint32_t type) {
    return {type, text.toUtf8()};
}

RegistryValue DwordValue(std::uint32_t value) {
    QByteArray data(4, Qt::Uninitialized);
    qToLittleEndian(value, data.data());
    return {REG_DWORD, data};
}

} // namespace DesktopRegistryKeys
