#pragma once
// Resolved surface colours with the interior background.
#include "FXColorSet.h"

class FXCompleteColorSets;

class FXCompleteColorSet : public FXColorSet {
    Q_OBJECT
    Q_PROPERTY(TColor BackGroundInterior READ BackGroundInterior WRITE setBackGroundInterior)

  public:
    explicit FXCompleteColorSet(QObject* AOwner = nullptr);
    FXCompleteColorSet(const FXCompleteColorSets& Colors, bool DarkColor);
    FXCompleteColorSet(QObject* AOwner, const FXCompleteColorSets& Colors, bool DarkColor);

    TColor BackGroundInterior() const { return FBackGroundInterior; }
    void setBackGroundInterior(TColor value);

    using FXColorSet::LoadFrom;
    void LoadFrom(const FXCompleteColorSets& Colors, bool DarkColor);

  private:
    TColor FBackGroundInterior = 0;
};
