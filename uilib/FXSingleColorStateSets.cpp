#include "FXSingleColorStateSets.h"

FXSingleColorStateSets::FXSingleColorStateSets(QObject* AOwner) : FXPersistentColor(AOwner) {}

void FXSingleColorStateSets::setAccent(TColor value) {
    FAccent = value;
}

void FXSingleColorStateSets::setLightNone(TColor value) {
    SetColor(0, value);
}
void FXSingleColorStateSets::setLightHover(TColor value) {
    SetColor(1, value);
}
void FXSingleColorStateSets::setLightPress(TColor value) {
    SetColor(2, value);
}
void FXSingleColorStateSets::setDarkNone(TColor value) {
    SetColor(3, value);
}
void FXSingleColorStateSets::setDarkHover(TColor value) {
    SetColor(4, value);
}
void FXSingleColorStateSets::setDarkPress(TColor value) {
    SetColor(5, value);
}

TColor FXSingleColorStateSets::GetColor(int Index) const {
    return Index >= 0 && Index < int(FColors.size()) ? FColors[Index] : 0;
}

void FXSingleColorStateSets::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= int(FColors.size())) return;
    FColors[Index] = Value;
    UpdateSource();
}

void FXSingleColorStateSets::SetLightColor(TColor None, TColor Hover, TColor Press) {
    FColors[0] = None;
    FColors[1] = Hover;
    FColors[2] = Press;
    UpdateSource();
}

void FXSingleColorStateSets::SetDarkColor(TColor None, TColor Hover, TColor Press) {
    FColors[3] = None;
    FColors[4] = Hover;
    FColors[5] = Press;
    UpdateSource();
}

TColor FXSingleColorStateSets::GetColor(bool DarkTheme, FXControlState State) const {
    const int state = int(State);
    if (state < 0 || state > 2) return 0;
    return FColors[state + (DarkTheme ? 3 : 0)];
}
