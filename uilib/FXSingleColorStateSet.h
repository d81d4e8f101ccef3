#pragma once
// Resolved state colours: accent and one colour per interaction state.
#include "FXPersistentColor.h"

class FXSingleColorStateSets;

class FXSingleColorStateSet : public FXPersistentColor {
    Q_OBJECT
    Q_PROPERTY(TColor Accent READ Accent WRITE setAccent)
    Q_PROPERTY(TColor None READ None WRITE setNone)
    Q_PROPERTY(TColor Hover READ Hover WRITE setHover)
    Q_PROPERTY(TColor Press READ Press WRITE setPress)

  public:
    explicit FXSingleColorStateSet(QObject* AOwner = nullptr);
    FXSingleColorStateSet(TColor ANone, TColor AHover, TColor APress);
    FXSingleColorStateSet(const FXSingleColorStateSets& Colors, bool DarkTheme);

    TColor Accent() const { return FAccent; }
    TColor None() const { return FNone; }
    TColor Hover() const { return FHover; }
    TColor Press() const { return FPress; }
    void setAccent(TColor value);
    void setNone(TColor value);
    void setHover(TColor value);
    void setPress(TColor value);

    void LoadColors(TColor ANone, TColor AHover, TColor APress);
    // The palette's light or dark triple; the accent stays as it is.
    void LoadColors(const FXSingleColorStateSets& Colors, bool DarkTheme);
    // Copies Accent, None, Hover and Press.
    void CopyFrom(const FXSingleColorStateSet& FromSet);
    // The colour of AState; 0 for an unknown state.
    TColor GetColor(FXControlState AState) const;

    void UpdateSource() override;

  private:
    TColor FAccent = 0;
    TColor FNone = 0;
    TColor FHover = 0;
    TColor FPress = 0;
};
