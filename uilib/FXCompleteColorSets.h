#pragma once
// The surface palette with interior backgrounds: the system palette of the
// theme manager and the default of every control's CustomColors.
#include "FXColorSets.h"

class FXCompleteColorSets : public FXColorSets {
    Q_OBJECT
    Q_PROPERTY(TColor LightBackGroundInterior READ LightBackGroundInterior WRITE setLightBackGroundInterior)
    Q_PROPERTY(TColor DarkBackGroundInterior READ DarkBackGroundInterior WRITE setDarkBackGroundInterior)

  public:
    enum InteriorIndex { LightBackGroundInteriorIndex = 5, DarkBackGroundInteriorIndex = 6 };

    explicit FXCompleteColorSets(QObject* AOwner = nullptr);

    TColor LightBackGroundInterior() const { return GetColor(LightBackGroundInteriorIndex); }
    TColor DarkBackGroundInterior() const { return GetColor(DarkBackGroundInteriorIndex); }
    void setLightBackGroundInterior(TColor value);
    void setDarkBackGroundInterior(TColor value);

  protected:
    TColor* ColorSlot(int Index) override;

  private:
    TColor FLightBackGroundInterior = 0xFBFBFB;
    TColor FDarkBackGroundInterior = 0x2B2B2B;
};
