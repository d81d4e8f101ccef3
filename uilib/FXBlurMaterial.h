#pragma once
// A frosted-glass surface: the part of the desktop's wallpaper or of a screen
// capture that lies behind the control on the screen, blurred, under a
// translucent white (light theme) or black (dark theme) tint. It asks the
// window system for no transparency; it copies from the process-wide desktop
// captures (DesktopCaptureCache), which are blurred once per capture.
#include "DesktopCaptureCache.h"
#include "FXBufferGraphicControl.h"
#include "FXControl.h"

#include <QTimer>

#include <cstdint>

class FXColorSet;
class FXColorSets;

// When the material re-reads its capture: after every move of its form, only
// when asked, or on every tick of its 1 ms timer. Stored as numbers.
enum class FXGlassRefreshMode : std::uint8_t { Automatic = 0, Manual = 1, Timer = 2 };

class FXBlurMaterial : public FXBufferGraphicControl, public FXControl {
    Q_OBJECT
    Q_PROPERTY(FXGlassRefreshMode RefreshMode READ RefreshMode WRITE setRefreshMode)
    Q_PROPERTY(bool InvalidateAbove READ InvalidateAbove WRITE setInvalidateAbove)
    Q_PROPERTY(FXBlurVersion Version READ Version WRITE setVersion)
    Q_PROPERTY(int DarkTintOpacity READ DarkTintOpacity WRITE setDarkTintOpacity)
    Q_PROPERTY(int WhiteTintOpacity READ WhiteTintOpacity WRITE setWhiteTintOpacity)
    Q_PROPERTY(bool EnableTinting READ EnableTinting WRITE setEnableTinting)

  public:
    explicit FXBlurMaterial(QWidget* parent = nullptr);
    ~FXBlurMaterial() override;

    FXGlassRefreshMode RefreshMode() const { return FRefreshMode; }
    // Outside a design environment the timer runs exactly in Timer mode.
    void setRefreshMode(FXGlassRefreshMode value);
    bool InvalidateAbove() const { return FInvalidateAbove; }
    void setInvalidateAbove(bool value) { FInvalidateAbove = value; }
    FXBlurVersion Version() const { return FVersion; }
    void setVersion(FXBlurVersion value);
    // Alpha of the tint (low byte used) in the dark and in the light theme.
    int DarkTintOpacity() const { return FDarkTintOpacity; }
    void setDarkTintOpacity(int value);
    int WhiteTintOpacity() const { return FWhiteTintOpacity; }
    void setWhiteTintOpacity(int value);
    bool EnableTinting() const { return FEnableTinting; }
    void setEnableTinting(bool value);
    // Black (dark) and white (light) tints unless changed and enabled.
    FXColorSets* CustomColors() const { return FCustomColors; }
    // Copies the palette's colours, then recolours.
    void setCustomColors(const FXColorSets& value);
    const FXColorSet& DrawColors() const { return *FDrawColors; }
    const QTimer& Tick() const { return FTick; }

    // Takes the capture the version shows (nothing for None).
    void RebuildImage();
    void ReDraw() { Invalidate(); }
    // Repaints, re-capturing first when the capture is out of date.
    void SyncroniseImage();
    void FormMoveSync() { SyncroniseImage(); }
    // Reloads the tint colours without taking a new capture.
    void UpdateColors();

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;

  protected:
    void PaintBuffer(QPainter& painter) override;
    bool event(QEvent* event) override;

  private:
    FXGlassRefreshMode FRefreshMode = FXGlassRefreshMode::Automatic;
    QTimer FTick;
    bool FInvalidateAbove = false;
    FXBlurVersion FVersion = FXBlurVersion::WallpaperBlurred;
    int FDarkTintOpacity = 75;
    int FWhiteTintOpacity = 200;
    FXColorSets* FCustomColors = nullptr;
    FXColorSet* FDrawColors = nullptr;
    bool FEnableTinting = true;
};
