#pragma once
// The captures of the desktop that every blur material of the process copies
// from: the wallpaper as the desktop shows it, plain and blurred, and a blurred
// picture of the whole screen. Blurring happens here, once per capture; a
// material's paint only copies out its part. Used from the GUI thread only.
#include "DesktopWallpaper.h"
#include "FXClock.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <functional>

// What a blur material shows; stored as numbers.
enum class FXBlurVersion : std::uint8_t { WallpaperBlurred = 0, Wallpaper = 1, Screenshot = 2, None = 3 };

class DesktopCaptureCache {
  public:
    // Where the captures come from. An empty member means the desktop's own:
    // the monitors of QGuiApplication, DesktopWallpaper::Read and
    // DesktopWallpaper::PictureFileSize, and a grab of every screen where the
    // platform allows one (X11).
    struct Sources {
        std::function<QList<QRect>()> Monitors; // screen coordinates, logical pixels
        std::function<DesktopWallpaper::Setting()> Wallpaper;
        std::function<qint64()> WallpaperFileSize;
        // The screen inside the desktop rectangle; a null image when it cannot be captured.
        std::function<QImage(const QRect& desktop)> GrabScreen;
    };

    // An empty desktop window captures as black, so the material shows its tint
    // over black when the desktop names neither a picture nor a colour.
    static constexpr QRgb FallbackColor = 0xFF000000u;

    static DesktopCaptureCache& Instance();

    const QImage& Wallpaper() const { return FWallpaper; }
    const QImage& WallpaperBlurred() const { return FWallpaperBlurred; }
    const QImage& ScreenshotBlurred() const { return FScreenshotBlurred; }
    // The change marker at the last wallpaper capture; -1 for no picture file.
    qint64 WallpaperFileSize() const { return FWallpaperFileSize; }
    FXClock::TimePoint LastCapture() const { return FLastCapture; }
    bool Capturing() const { return FCapturing; }

    // The picture a material of this version shows, null for None and before the
    // first capture, and the desktop rectangle (screen coordinates) it spans.
    const QImage& Image(FXBlurVersion version) const;
    QRect ImageRect(FXBlurVersion version) const;

    // The part of the version's picture under a rectangle in screen coordinates,
    // at that rectangle's size; what lies beyond the desktop is black. Null when
    // the version has no picture.
    QImage Section(FXBlurVersion version, const QRect& screenRect) const;

    // The wallpaper as the desktop shows it, blurred with FastBlur(10, plain, 8).
    void CaptureWallpaper();
    // The whole desktop, blurred with FastBlur(8, plain, 3). Where the screen
    // cannot be captured the plain wallpaper stands in for it.
    void CaptureScreen();
    // The capture a version needs; nothing for None.
    void Rebuild(FXBlurVersion version);
    // Whether a material showing this version should rebuild: for the wallpaper
    // versions when the picture file's size changed since the last capture, for
    // Screenshot when there is none or it is more than a second old.
    bool IsOutdated(FXBlurVersion version) const;

    void SetSources(Sources sources);
    // Forgets every capture, as at start.
    void Clear();

    // What the desktop's background window shows: the colour (or FallbackColor),
    // with the picture placed on every monitor, or once over all of them when
    // spanned. Null when there are no monitors.
    static QImage RenderDesktop(const DesktopWallpaper::Setting& setting, const QList<QRect>& monitors);

  private:
    DesktopCaptureCache() = default;
    void TakeWallpaper();

    Sources FSources;
    QImage FWallpaper;
    QImage FWallpaperBlurred;
    QImage FScreenshotBlurred;
    QRect FWallpaperRect;
    QRect FScreenshotRect;
    qint64 FWallpaperFileSize = -1;
    FXClock::TimePoint FLastCapture{};
    bool FCapturing = false;
};
