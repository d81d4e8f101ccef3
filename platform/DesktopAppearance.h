#pragma once
// The desktop's light/dark preference and accent colour as the XDG desktop portal
// (org.freedesktop.portal.Settings, namespace org.freedesktop.appearance) reports
// them. The portal is asked once and then followed through its SettingChanged
// signal; without a session bus or portal both values are absent.
#include <QDBusVariant>
#include <QObject>

#include <optional>

class DesktopAppearance : public QObject {
    Q_OBJECT
  public:
    // The portal's numbers for "color-scheme".
    enum class ColorScheme : quint32 { NoPreference = 0, PreferDark = 1, PreferLight = 2 };

    struct Rgb {
        quint8 Red = 0, Green = 0, Blue = 0;
        bool operator==(const Rgb&) const = default;
    };

    struct State {
        std::optional<ColorScheme> Scheme;
        std::optional<Rgb> Accent;
    };

    // The object that carries AppearanceChanged; it lives in the application's thread.
    static DesktopAppearance* Instance();

    // Safe from any thread.
    static State Current();

    // Replaces the portal with fixed values (tests, or a session without a portal);
    // std::nullopt goes back to the portal.
    static void SetOverride(const std::optional<State>& state);

  signals:
    // The colour scheme or the accent changed (the desktop's colourisation notice).
    void AppearanceChanged();

  private slots:
    void PortalSettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

  private:
    DesktopAppearance() = default;
    void EnsureSubscribed();
};
