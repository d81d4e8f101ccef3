#include "FXCompleteColorSet.h"

#include "FXCompleteColorSets.h"

FXCompleteColorSet::FXCompleteColorSet(QObject* AOwner) : FXColorSet(AOwner) {}

FXCompleteColorSet::FXCompleteColorSet(const FXCompleteColorSets& Colors, bool DarkColor)
    : FXCompleteColorSet(nullptr, Colors, DarkColor) {}

FXCompleteColorSet::FXCompleteColorSet(QObject* AOwner, const FXCompleteColorSets& Colors, bool DarkColor)
    : FXColorSet(AOwner) {
    LoadFrom(Colors, DarkColor);
}

void FXCompleteColorSet::setBackGroundInterior(TColor value) {
    FBackGroundInterior = value;
}

void FXCompleteColorSet::LoadFrom(const FXCompleteColorSets& Colors, bool DarkColor) {
    FXColorSet::LoadFrom(Colors, DarkColor);
    FBackGroundInterior = DarkColor ? Colors.DarkBackGroundInterior() : Colors.LightBackGroundInterior();
}
