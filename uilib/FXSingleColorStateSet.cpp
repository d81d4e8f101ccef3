#include "FXSingleColorStateSet.h"

#include "FXSingleColorStateSets.h"

FXSingleColorStateSet::FXSingleColorStateSet(QObject* AOwner) : FXPersistentColor(AOwner) {}

FXSingleColorStateSet::FXSingleColorStateSet(TColor ANone, TColor AHover, TColor APress) {
    LoadColors(ANone, AHover, APress);
}

FXSingleColorStateSet::FXSingleColorStateSet(const FXSingleColorStateSets& Colors, bool DarkTheme) {
    LoadColors(Colors, DarkTheme);
}

void FXSingleColorStateSet::setAccent(TColor value) {
    FAccent = value;
}
void FXSingleColorStateSet::setNone(TColor value) {
    FNone = value;
}
void FXSingleColorStateSet::setHover(TColor value) {
    FHover = value;
}
void FXSingleColorStateSet::setPress(TColor value) {
    FPress = value;
}

void FXSingleColorStateSet::LoadColors(TColor ANone, TColor AHover, TColor APress) {
    FNone = ANone;
    FHover = AHover;
    FPress = APress;
}

void FXSingleColorStateSet::LoadColors(const FXSingleColorStateSets& Colors, bool DarkTheme) {
    LoadColors(Colors.GetColor(DarkTheme, FXControlState::None),
               Colors.GetColor(DarkTheme, FXControlState::Hover),
               Colors.GetColor(DarkTheme, FXControlState::Press));
}

void FXSingleColorStateSet::CopyFrom(const FXSingleColorStateSet& FromSet) {
    FAccent = FromSet.FAccent;
    LoadColors(FromSet.FNone, FromSet.FHover, FromSet.FPress);
}

TColor FXSingleColorStateSet::GetColor(FXControlState AState) const {
    switch (AState) {
    case FXControlState::None:
        return FNone;
    case FXControlState::Hover:
        return FHover;
    case FXControlState::Press:
        return FPress;
    }
    return 0;
}

void FXSingleColorStateSet::UpdateSource() {}
