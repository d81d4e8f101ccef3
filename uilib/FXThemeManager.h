#pragma once
// The process-wide source of the library's colours and fonts. It follows the
// desktop's light/dark switch (polled every 100 ms) and accent colour, and on
// every change tells each open themed form, which tells its own controls.
// Controls never read the system themselves; they copy values out of the
// manager whenever they are told to update.
#include "FXClock.h"
#include "FXTypes.h"

#include <QObject>
#include <QString>

#include <memory>

class QTimer;
class FXColorSet;
class FXColorSets;
class FXCompleteColorSet;
class FXCompleteColorSets;
class FXSingleColorStateSet;
class FXSingleColorStateSets;

class FXThemeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool DarkTheme READ DarkTheme WRITE setDarkTheme)
    Q_PROPERTY(FXDarkSetting DarkThemeMode READ DarkThemeMode WRITE setDarkThemeMode)
    Q_PROPERTY(QString FormFont READ FormFont WRITE setFormFont)
    Q_PROPERTY(int FormFontHeight READ FormFontHeight WRITE setFormFontHeight)
    Q_PROPERTY(int LargeFontHeight READ LargeFontHeight WRITE setLargeFontHeight)
    Q_PROPERTY(QString IconFont READ IconFont WRITE setIconFont)
    Q_PROPERTY(TColor AccentColor READ AccentColor WRITE setAccentColor)
    Q_PROPERTY(bool AutoAccentColor READ AutoAccentColor WRITE setAutoAccentColor)
    Q_PROPERTY(bool Designing READ Designing)

  public:
    // Reads the system's state and starts the poll; create it after the
    // application object and before any window (see InitializeUILibrary).
    FXThemeManager();
    ~FXThemeManager() override;

    bool DarkTheme() const { return FDarkTheme; }
    void setDarkTheme(bool value);
    FXDarkSetting DarkThemeMode() const { return FDarkThemeMode; }
    // A forced mode takes effect at once; the poll ignores the system under it.
    void setDarkThemeMode(FXDarkSetting value);
    const QString& FormFont() const { return FFormFont; }
    void setFormFont(const QString& value) { FFormFont = value; }
    // Negative: character height in pixels.
    int FormFontHeight() const { return FFormFontHeight; }
    void setFormFontHeight(int value) { FFormFontHeight = value; }
    int LargeFontHeight() const { return FLargeFontHeight; }
    void setLargeFontHeight(int value) { FLargeFontHeight = value; }
    // The symbol font's family; see SymbolFont.h for its code points.
    const QString& IconFont() const { return FIconFont; }
    void setIconFont(const QString& value) { FIconFont = value; }
    TColor AccentColor() const { return FAccentColor; }
    // Fixes the accent: AutoAccentColor goes off.
    void setAccentColor(TColor value);
    bool AutoAccentColor() const { return FAutoAccentColor; }
    // Turning it on re-reads the system accent at once.
    void setAutoAccentColor(bool value);
    bool Designing() const { return FDesigning; }
    bool LegacyFontColor() const { return FLegacyFontColor; }
    FXClock::TimePoint LastUpdate() const { return FLastUpdate; }

    // The system palette (light and dark), and resolved for the current theme.
    FXCompleteColorSets* SystemColorSet() const { return FSystemColorSet.get(); }
    FXCompleteColorSet* SystemColor() const { return FSystemColor.get(); }
    FXSingleColorStateSets* SystemGrayControl() const { return FSystemGrayControl.get(); }
    // The accent per interaction state: None, Hover (+25), Press (-25).
    FXSingleColorStateSet* SystemAccentInteractStates() const { return FSystemAccentInteractStates.get(); }
    FXCompleteColorSets* SystemToolTip() const { return FSystemToolTip.get(); }

    // Copies the system palette into a caller's object: a resolved set gets
    // SystemColor, a palette gets SystemColorSet.
    void LoadColorSet(FXColorSet& Target) const;
    void LoadColorSet(FXCompleteColorSet& Target) const;
    void LoadColorSet(FXColorSets& Target) const;
    void LoadColorSet(FXCompleteColorSets& Target) const;

    // Black in the dark theme, white in the light one.
    TColor GetThemePrimaryColor() const;

    void LoadFontSettings();
    void UpdateColors();
    // Recomputes fonts and colours and tells every themed form.
    void UpdateSettings();
    // UpdateSettings, unless it ran less than one whole second ago: the forms
    // all receive the desktop's colourisation notice and call this each.
    void MeasuredUpdateSettings();
    // UpdateTheme(true) on every top-level window that implements FXControl.
    void NotifyUpdate();
    // Follows the system's switch when it differs from the theme in force.
    void UpdateThemeInformation();
    // Sends the colourisation notice (FXColorizationEvent) to every top-level
    // window, as the desktop does when its colour scheme or accent changes.
    void BroadcastColorization();

    // The poll: in Auto mode, follow the system's switch. A forced mode ignores it.
    void RegistryMonitorTick();
    // Absent inside a design environment.
    const QTimer* RegistryMonitor() const { return FRegistryMonitor.get(); }

  private:
    std::unique_ptr<QTimer> FRegistryMonitor;
    bool FDarkTheme = false;
    FXDarkSetting FDarkThemeMode = FXDarkSetting::Auto;
    QString FFormFont;
    QString FIconFont;
    int FFormFontHeight = -16;
    int FLargeFontHeight = -20;
    TColor FAccentColor = 0xD77800;
    bool FAutoAccentColor = true;
    bool FLegacyFontColor = false;
    FXClock::TimePoint FLastUpdate;
    bool FDesigning = false;
    std::unique_ptr<FXCompleteColorSets> FSystemColorSet;
    std::unique_ptr<FXCompleteColorSet> FSystemColor;
    std::unique_ptr<FXSingleColorStateSets> FSystemGrayControl;
    std::unique_ptr<FXSingleColorStateSet> FSystemAccentInteractStates;
    std::unique_ptr<FXCompleteColorSets> FSystemToolTip;
};

// The one manager, between InitializeUILibrary and FinalizeUILibrary.
extern FXThemeManager* ThemeManager;

// Creates ThemeManager (once) after the application object exists; it is freed
// by FinalizeUILibrary or, at the latest, with the application object.
void InitializeUILibrary();
void FinalizeUILibrary();
