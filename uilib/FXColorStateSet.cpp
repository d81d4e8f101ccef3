#include "FXColorStateSet.h"

#include "FXColorStateSets.h"

FXColorStateSet::FXColorStateSet(QObject* AOwner) : FXPersistentColor(AOwner) {}

FXColorStateSet::FXColorStateSet(const FXColorStateSets& AFrom, bool DarkColor) {
    LoadFrom(AFrom, DarkColor);
}

void FXColorStateSet::setAccent(TColor value) {
    FAccent = value;
}
void FXColorStateSet::setBackgroundNone(TColor value) {
    FBackgroundNone = value;
}
void FXColorStateSet::setBackgroundHover(TColor value) {
    FBackgroundHover = value;
}
void FXColorStateSet::setBackgroundPress(TColor value) {
    FBackgroundPress = value;
}
void FXColorStateSet::setForeGroundNone(TColor value) {
    FForeGroundNone = value;
}
void FXColorStateSet::setForeGroundHover(TColor value) {
    FForeGroundHover = value;
}
void FXColorStateSet::setForeGroundPress(TColor value) {
    FForeGroundPress = value;
}

void FXColorStateSet::LoadFrom(const FXColorStateSets& AFrom, bool DarkColor) {
    using S = FXControlState;
    FAccent = AFrom.Accent();
    FBackgroundNone = AFrom.GetColor(DarkColor, false, S::None);
    FBackgroundHover = AFrom.GetColor(DarkColor, false, S::Hover);
    FBackgroundPress = AFrom.GetColor(DarkColor, false, S::Press);
    FForeGroundNone = AFrom.GetColor(DarkColor, true, S::None);
    FForeGroundHover = AFrom.GetColor(DarkColor, true, S::Hover);
    FForeGroundPress = AFrom.GetColor(DarkColor, true, S::Press);
}

TColor FXColorStateSet::GetColor(bool Foreground, FXControlState State) const {
    switch (State) {
    case FXControlState::None:
        return Foreground ? FForeGroundNone : FBackgroundNone;
    case FXControlState::Hover:
        return Foreground ? FForeGroundHover : FBackgroundHover;
    case FXControlState::Press:
        return Foreground ? FForeGroundPress : FBackgroundPress;
    }
    return 0;
}

void FXColorStateSet::UpdateSource() {}
