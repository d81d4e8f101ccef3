#include "FXColorSet.h"

#include "FXColorSets.h"

FXColorSet::FXColorSet(QObject* AOwner) : FXPersistentColor(AOwner) {}

FXColorSet::FXColorSet(const FXColorSets& Colors, bool DarkColor) : FXColorSet(nullptr, Colors, DarkColor) {}

FXColorSet::FXColorSet(QObject* AOwner, const FXColorSets& Colors, bool DarkColor)
    : FXPersistentColor(AOwner) {
    LoadFrom(Colors, DarkColor);
}

void FXColorSet::setAccent(TColor value) {
    FAccent = value;
}
void FXColorSet::setBackGround(TColor value) {
    FBackGround = value;
}
void FXColorSet::setForeGround(TColor value) {
    FForeGround = value;
}

void FXColorSet::LoadFrom(const FXColorSets& Colors, bool DarkColor) {
    FAccent = Colors.Accent();
    FBackGround = DarkColor ? Colors.DarkBackGround() : Colors.LightBackGround();
    FForeGround = DarkColor ? Colors.DarkForeGround() : Colors.LightForeGround();
}

void FXColorSet::UpdateSource() {}
