#pragma once
// Palette for plain surfaces: accent, and background and foreground for the
// light and the dark theme. Every colour setter notifies the owner.
#include "FXPersistentColor.h"

#include <array>

class FXColorSets : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor LightBackGround READ LightBackGround WRITE setLightBackGround)
    Q_PROPERTY(TColor LightForeGround READ LightForeGround WRITE setLightForeGround)
    Q_PROPERTY(TColor DarkBackGround READ DarkBackGround WRITE setDarkBackGround)
    Q_PROPERTY(TColor DarkForeGround READ DarkForeGround WRITE setDarkForeGround)

  public:
    enum Index {
        AccentIndex = 0,
        LightBackGroundIndex,
        LightForeGroundIndex,
        DarkBackGroundIndex,
        DarkForeGroundIndex
    };

    // FocusControl selects the brighter light and lighter dark background of
    // surfaces that hold focusable content.
    explicit FXColorSets(bool FocusControl = false);
    FXColorSets(QObject* AOwner, bool FocusControl);

    TColor Accent() const { return GetColor(AccentIndex); }
    TColor LightBackGround() const { return GetColor(LightBackGroundIndex); }
    TColor LightForeGround() const { return GetColor(LightForeGroundIndex); }
    TColor DarkBackGround() const { return GetColor(DarkBackGroundIndex); }
    TColor DarkForeGround() const { return GetColor(DarkForeGroundIndex); }
    void setAccent(TColor value);
    void setLightBackGround(TColor value);
    void setLightForeGround(TColor value);
    void setDarkBackGround(TColor value);
    void setDarkForeGround(TColor value);

    // Indexed access to the colours; the setter stores and notifies. An unknown
    // index reads 0 and is ignored when written.
    TColor GetColor(int Index) const;
    void SetColor(int Index, TColor Value);

  protected:
    // The storage of an indexed colour, or nullptr; derived palettes add indices.
    virtual TColor* ColorSlot(int Index);
    const TColor* ColorSlot(int Index) const { return const_cast<FXColorSets*>(this)->ColorSlot(Index); }

  private:
    std::array<TColor, 5> FColors{};
};
