#pragma once
// Palette with one colour per interaction state for each theme (neutral
// controls). The colour setters notify the owner, even for an unchanged value.
#include "FXPersistentColor.h"

#include <array>

class FXSingleColorStateSets : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor LightNone READ LightNone WRITE setLightNone)
    Q_PROPERTY(TColor LightHover READ LightHover WRITE setLightHover)
    Q_PROPERTY(TColor LightPress READ LightPress WRITE setLightPress)
    Q_PROPERTY(TColor DarkNone READ DarkNone WRITE setDarkNone)
    Q_PROPERTY(TColor DarkHover READ DarkHover WRITE setDarkHover)
    Q_PROPERTY(TColor DarkPress READ DarkPress WRITE setDarkPress)

  public:
    explicit FXSingleColorStateSets(QObject* AOwner = nullptr);

    // A plain value: storing it notifies nobody.
    TColor Accent() const { return FAccent; }
    void setAccent(TColor value);

    TColor LightNone() const { return FColors[0]; }
    TColor LightHover() const { return FColors[1]; }
    TColor LightPress() const { return FColors[2]; }
    TColor DarkNone() const { return FColors[3]; }
    TColor DarkHover() const { return FColors[4]; }
    TColor DarkPress() const { return FColors[5]; }
    void setLightNone(TColor value);
    void setLightHover(TColor value);
    void setLightPress(TColor value);
    void setDarkNone(TColor value);
    void setDarkHover(TColor value);
    void setDarkPress(TColor value);

    // Index 0..2 light None/Hover/Press, 3..5 dark; an unknown index reads 0.
    TColor GetColor(int Index) const;
    void SetColor(int Index, TColor Value);

    void SetLightColor(TColor None, TColor Hover, TColor Press);
    void SetDarkColor(TColor None, TColor Hover, TColor Press);
    // The colour of State in the light or dark triple; 0 for an unknown state.
    TColor GetColor(bool DarkTheme, FXControlState State) const;

  private:
    TColor FAccent = 0xD47800;
    std::array<TColor, 6> FColors{0x8B8B8B, 0x9F9F9F, 0x757575, 0xA29F9D, 0xB7B5B3, 0x8D8987};
};
