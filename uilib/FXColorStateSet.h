#pragma once
// Resolved button colours: accent and background and foreground per state.
#include "FXPersistentColor.h"

class FXColorStateSets;

class FXColorStateSet : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor BackgroundNone READ BackgroundNone WRITE setBackgroundNone)
    Q_PROPERTY(TColor BackgroundHover READ BackgroundHover WRITE setBackgroundHover)
    Q_PROPERTY(TColor BackgroundPress READ BackgroundPress WRITE setBackgroundPress)
    Q_PROPERTY(TColor ForeGroundNone READ ForeGroundNone WRITE setForeGroundNone)
    Q_PROPERTY(TColor ForeGroundHover READ ForeGroundHover WRITE setForeGroundHover)
    Q_PROPERTY(TColor ForeGroundPress READ ForeGroundPress WRITE setForeGroundPress)

  public:
    explicit FXColorStateSet(QObject* AOwner = nullptr);
    FXColorStateSet(const FXColorStateSets& AFrom, bool DarkColor);

    TColor Accent() const { return FAccent; }
    TColor BackgroundNone() const { return FBackgroundNone; }
    TColor BackgroundHover() const { return FBackgroundHover; }
    TColor BackgroundPress() const { return FBackgroundPress; }
    TColor ForeGroundNone() const { return FForeGroundNone; }
    TColor ForeGroundHover() const { return FForeGroundHover; }
    TColor ForeGroundPress() const { return FForeGroundPress; }
    void setAccent(TColor value);
    void setBackgroundNone(TColor value);
    void setBackgroundHover(TColor value);
    void setBackgroundPress(TColor value);
    void setForeGroundNone(TColor value);
    void setForeGroundHover(TColor value);
    void setForeGroundPress(TColor value);

    // The palette's accent and the six state colours of the chosen theme.
    void LoadFrom(const FXColorStateSets& AFrom, bool DarkColor);
    // The background or foreground colour of State; 0 for an unknown state.
    TColor GetColor(bool Foreground, FXControlState State) const;

    void UpdateSource() override;

  private:
    TColor FAccent = 0;
    TColor FBackgroundNone = 0;
    TColor FBackgroundHover = 0;
    TColor FBackgroundPress = 0;
    TColor FForeGroundNone = 0;
    TColor FForeGroundHover = 0;
    TColor FForeGroundPress = 0;
};
