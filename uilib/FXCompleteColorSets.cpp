#include "FXCompleteColorSets.h"

// The base defaults of a non-focus surface are exactly the system palette's.
FXCompleteColorSets::FXCompleteColorSets(QObject* AOwner) : FXColorSets(AOwner, false) {}

void FXCompleteColorSets::setLightBackGroundInterior(TColor value) {
    SetColor(LightBackGroundInteriorIndex, value);
}
void FXCompleteColorSets::setDarkBackGroundInterior(TColor value) {
    SetColor(DarkBackGroundInteriorIndex, value);
}

TColor* FXCompleteColorSets::ColorSlot(int Index) {
    switch (Index) {
    case LightBackGroundInteriorIndex:
        return &FLightBackGroundInterior;
    case DarkBackGroundInteriorIndex:
        return &FDarkBackGroundInterior;
    default:
        return FXColorSets::ColorSlot(Index);
    }
}
