#pragma once
// What the desktop shows behind all windows, as the desktop's own settings name
// it: GNOME's org.gnome.desktop.background (read through the gsettings tool) or
// the image wallpaper of KDE Plasma's desktop containment
// ($XDG_CONFIG_HOME/plasma-org.kde.plasma.desktop-appletsrc). Only the names are
// read here; loading and drawing the picture is the caller's business.
//
// The XDG desktop portal can set a wallpaper but offers no way to read it, so it
// is not a source.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

class DesktopWallpaper {
  public:
    // How the picture covers each monitor; stored as numbers, new values at the end.
    enum class Placement : quint8 {
        None = 0,      // no picture, the colour only
        Zoom = 1,      // scaled to cover the monitor, centred, cropped
        Scaled = 2,    // scaled to fit inside the monitor, centred, colour around it
        Stretched = 3, // scaled to the monitor's size, ignoring its proportions
        Centered = 4,  // at its own size, centred
        Tiled = 5,     // repeated from the monitor's top-left corner
        Spanned = 6,   // zoomed over all monitors together
    };

    struct Rgb {
        quint8 Red = 0, Green = 0, Blue = 0;
        bool operator==(const Rgb&) const = default;
    };

    struct Setting {
        QString Picture; // absolute path of a picture file; empty for none
        Placement Fill = Placement::Zoom;
        std::optional<Rgb> Color; // shown around or instead of the picture
        bool operator==(const Setting&) const = default;
    };

    enum class Scheme : quint8 { Light, Dark };

    // Asks the desktop now: the desktop named by XDG_CURRENT_DESKTOP first, the
    // other one next. Without either an empty setting (no picture, no colour).
    // The light or dark picture follows the desktop's colour scheme.
    static Setting Read();

    // The single sources. ReadGnome runs `gsettings` (found on PATH) and gives up
    // after two seconds; nothing when the tool or the schema is missing.
    static std::optional<Setting> ReadGnome(Scheme scheme);
    // Nothing when the file is missing or names no desktop containment.
    static std::optional<Setting> ReadKde(const QString& appletsrcPath, Scheme scheme);
    static QString KdeAppletsrcPath();

    // The output of `gsettings list-recursively org.gnome.desktop.background`.
    static std::optional<Setting> ParseGnomeListing(const QByteArray& listing, Scheme scheme);
    static std::optional<Setting> ParseKdeAppletsrc(const QByteArray& content, Scheme scheme);

    // The size in bytes of the picture file Read() names, -1 when there is none:
    // the change marker of the desktop captures. Cheap enough for every window
    // move: the settings are asked again only when one of their files changed.
    static qint64 PictureFileSize();
};
