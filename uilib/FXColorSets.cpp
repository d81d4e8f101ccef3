#include "FXColorSets.h"

FXColorSets::FXColorSets(bool FocusControl) : FXColorSets(nullptr, FocusControl) {}

FXColorSets::FXColorSets(QObject* AOwner, bool FocusControl)
    : FXPersistentColor(AOwner), FColors{0xD47800, FocusControl ? 0xFBFBFBu : 0xF3F3F3u, 0x1B1B1A,
                                         FocusControl ? 0x2B2B2Bu : 0x202020u, 0xFFFFFF} {}

void FXColorSets::setAccent(TColor value) {
    SetColor(AccentIndex, value);
}
void FXColorSets::setLightBackGround(TColor value) {
    SetColor(LightBackGroundIndex, value);
}
void FXColorSets::setLightForeGround(TColor value) {
    SetColor(LightForeGroundIndex, value);
}
void FXColorSets::setDarkBackGround(TColor value) {
    SetColor(DarkBackGroundIndex, value);
}
void FXColorSets::setDarkForeGround(TColor value) {
    SetColor(DarkForeGroundIndex, value);
}

TColor FXColorSets::GetColor(int Index) const {
    const TColor* slot = ColorSlot(Index);
    return slot != nullptr ? *slot : 0;
}

void FXColorSets::SetColor(int Index, TColor Value) {
    TColor* slot = ColorSlot(Index);
    if (slot == nullptr) return;
    *slot = Value;
    UpdateSource();
}

TColor* FXColorSets::ColorSlot(int Index) {
    return Index >= 0 && Index < int(FColors.size()) ? &FColors[Index] : nullptr;
}
