#include "FXColorStateSets.h"

FXColorStateSets::FXColorStateSets(QObject* AOwner) : FXPersistentColor(AOwner) {}

void FXColorStateSets::setAccent(TColor value) {
    FAccent = value;
}

void FXColorStateSets::setLightBackgroundNone(TColor value) {
    SetColor(0, value);
}
void FXColorStateSets::setLightBackgroundHover(TColor value) {
    SetColor(1, value);
}
void FXColorStateSets::setLightBackgroundPress(TColor value) {
    SetColor(2, value);
}
void FXColorStateSets::setLightForeGroundNone(TColor value) {
    SetColor(3, value);
}
void FXColorStateSets::setLightForeGroundHover(TColor value) {
    SetColor(4, value);
}
void FXColorStateSets::setLightForeGroundPress(TColor value) {
    SetColor(5, value);
}
void FXColorStateSets::setDarkBackGroundNone(TColor value) {
    SetColor(6, value);
}
void FXColorStateSets::setDarkBackGroundHover(TColor value) {
    SetColor(7, value);
}
void FXColorStateSets::setDarkBackGroundPress(TColor value) {
    SetColor(8, value);
}
void FXColorStateSets::setDarkForeGroundNone(TColor value) {
    SetColor(9, value);
}
void FXColorStateSets::setDarkForeGroundHover(TColor value) {
    SetColor(10, value);
}
void FXColorStateSets::setDarkForeGroundPress(TColor value) {
    SetColor(11, value);
}

TColor FXColorStateSets::GetColor(int Index) const {
    return Index >= 0 && Index < int(FColors.size()) ? FColors[Index] : 0;
}

void FXColorStateSets::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= int(FColors.size())) return;
    FColors[Index] = Value;
    UpdateSource();
}

TColor FXColorStateSets::GetColor(bool DarkTheme, bool Foreground, FXControlState State) const {
    const int state = int(State);
    if (state < 0 || state > 2) return 0;
    return FColors[state + (Foreground ? 3 : 0) + (DarkTheme ? 6 : 0)];
}
