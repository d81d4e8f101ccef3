#pragma once
// Palette with a background and a foreground colour per interaction state,
// for each theme (buttons). The twelve colour setters notify the owner.
#include "FXPersistentColor.h"

#include <array>

class FXColorStateSets : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor LightBackgroundNone READ LightBackgroundNone WRITE setLightBackgroundNone)
    Q_PROPERTY(TColor LightBackgroundHover READ LightBackgroundHover WRITE setLightBackgroundHover)
    Q_PROPERTY(TColor LightBackgroundPress READ LightBackgroundPress WRITE setLightBackgroundPress)
    Q_PROPERTY(TColor LightForeGroundNone READ LightForeGroundNone WRITE setLightForeGroundNone)
    Q_PROPERTY(TColor LightForeGroundHover READ LightForeGroundHover WRITE setLightForeGroundHover)
    Q_PROPERTY(TColor LightForeGroundPress READ LightForeGroundPress WRITE setLightForeGroundPress)
    Q_PROPERTY(TColor DarkBackGroundNone READ DarkBackGroundNone WRITE setDarkBackGroundNone)
    Q_PROPERTY(TColor DarkBackGroundHover READ DarkBackGroundHover WRITE setDarkBackGroundHover)
    Q_PROPERTY(TColor DarkBackGroundPress READ DarkBackGroundPress WRITE setDarkBackGroundPress)
    Q_PROPERTY(TColor DarkForeGroundNone READ DarkForeGroundNone WRITE setDarkForeGroundNone)
    Q_PROPERTY(TColor DarkForeGroundHover READ DarkForeGroundHover WRITE setDarkForeGroundHover)
    Q_PROPERTY(TColor DarkForeGroundPress READ DarkForeGroundPress WRITE setDarkForeGroundPress)

  public:
    explicit FXColorStateSets(QObject* AOwner = nullptr);

    // A plain value: storing it notifies nobody.
    TColor Accent() const { return FAccent; }
    void setAccent(TColor value);

    TColor LightBackgroundNone() const { return FColors[0]; }
    TColor LightBackgroundHover() const { return FColors[1]; }
    TColor LightBackgroundPress() const { return FColors[2]; }
    TColor LightForeGroundNone() const { return FColors[3]; }
    TColor LightForeGroundHover() const { return FColors[4]; }
    TColor LightForeGroundPress() const { return FColors[5]; }
    TColor DarkBackGroundNone() const { return FColors[6]; }
    TColor DarkBackGroundHover() const { return FColors[7]; }
    TColor DarkBackGroundPress() const { return FColors[8]; }
    TColor DarkForeGroundNone() const { return FColors[9]; }
    TColor DarkForeGroundHover() const { return FColors[10]; }
    TColor DarkForeGroundPress() const { return FColors[11]; }
    void setLightBackgroundNone(TColor value);
    void setLightBackgroundHover(TColor value);
    void setLightBackgroundPress(TColor value);
    void setLightForeGroundNone(TColor value);
    void setLightForeGroundHover(TColor value);
    void setLightForeGroundPress(TColor value);
    void setDarkBackGroundNone(TColor value);
    void setDarkBackGroundHover(TColor value);
    void setDarkBackGroundPress(TColor value);
    void setDarkForeGroundNone(TColor value);
    void setDarkForeGroundHover(TColor value);
    void setDarkForeGroundPress(TColor value);

    // Index 0..2 light backgrounds None/Hover/Press, 3..5 light foregrounds,
    // 6..8 dark backgrounds, 9..11 dark foregrounds; an unknown index reads 0.
    TColor GetColor(int Index) const;
    void SetColor(int Index, TColor Value);
    // The colour at index State + 3 for Foreground + 6 for DarkTheme; 0 for an unknown state.
    TColor GetColor(bool DarkTheme, bool Foreground, FXControlState State) const;

  private:
    TColor FAccent = 0xD47800;
    std::array<TColor, 12> FColors{0x8B8B8B, 0x9F9F9F, 0x757575, 0x1B1B1B, 0x1B1B1B, 0x878787,
                                   0xA29F9D, 0xB7B5B3, 0x8D8987, 0xFFFFFF, 0xFFFFFF, 0xCECECE};
};
