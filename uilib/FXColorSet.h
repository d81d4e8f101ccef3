#pragma once
// Resolved surface colours: the accent and one background/foreground pair,
// filled from a palette for the light or the dark theme. Never notifies.
#include "FXPersistentColor.h"

class FXColorSets;

class FXColorSet : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor BackGround READ BackGround WRITE setBackGround)
    Q_PROPERTY(TColor ForeGround READ ForeGround WRITE setForeGround)

  public:
    explicit FXColorSet(QObject* AOwner = nullptr);
    FXColorSet(const FXColorSets& Colors, bool DarkColor);
    FXColorSet(QObject* AOwner, const FXColorSets& Colors, bool DarkColor);

    TColor Accent() const { return FAccent; }
    TColor BackGround() const { return FBackGround; }
    TColor ForeGround() const { return FForeGround; }
    void setAccent(TColor value);
    void setBackGround(TColor value);
    void setForeGround(TColor value);

    // The palette's accent and its dark or light background and foreground.
    void LoadFrom(const FXColorSets& Colors, bool DarkColor);

    void UpdateSource() override;

  private:
    TColor FAccent = 0xD47800;
    TColor FBackGround = 0;
    TColor FForeGround = 0;
};
