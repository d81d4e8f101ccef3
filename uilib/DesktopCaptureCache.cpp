#include "DesktopCaptureCache.h"

#include "BlurFunctions.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <chrono>

namespace {

using Placement = DesktopWallpaper::Placement;

constexpr int WallpaperFactor = 10;
constexpr double WallpaperRadius = 8.0;
constexpr int ScreenFactor = 8;
constexpr double ScreenRadius = 3.0;
constexpr auto ScreenMaxAge = std::chrono::seconds(1);

// Captures are 32 bits a pixel: the format Qt copies and scales fastest, which
// every paint of a material benefits from.
constexpr QImage::Format CaptureFormat = QImage::Format_RGB32;

// Raised for the length of one capture and lowered on every way out, also when
// a source throws, so materials never wait for a capture that has ended.
class CaptureScope {
  public:
    explicit CaptureScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~CaptureScope() { FFlag = false; }
    CaptureScope(const CaptureScope&) = delete;
    CaptureScope& operator=(const CaptureScope&) = delete;

  private:
    bool& FFlag;
};

QRect Bounds(const QList<QRect>& monitors) {
    QRect bounds;
    for (const QRect& monitor : monitors)
        bounds |= monitor;
    return bounds;
}

QList<QRect> ApplicationMonitors() {
    QList<QRect> monitors;
    if (qGuiApp == nullptr) return monitors;
    for (const QScreen* screen : QGuiApplication::screens())
        monitors.append(screen->geometry());
    return monitors;
}

// Only X11 lets any client read the screen; Wayland compositors hand it out
// through an interactive portal dialog, and the offscreen platform has none.
// Under XWayland the root window holds no picture of the desktop, only black.
bool ScreenCanBeGrabbed() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QStringLiteral("xcb")) return false;
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariable("XDG_SESSION_TYPE") != QStringLiteral("wayland");
}

QImage GrabApplicationScreens(const QRect& desktop) {
    if (!ScreenCanBeGrabbed()) return {};
    QImage result(desktop.size(), CaptureFormat);
    result.fill(DesktopCaptureCache::FallbackColor);
    QPainter painter(&result);
    bool grabbed = false;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QPixmap shot = screen->grabWindow(0);
        if (shot.isNull()) continue;
        painter.drawPixmap(QRect(screen->geometry().topLeft() - desktop.topLeft(), screen->geometry().size()),
                           shot);
        grabbed = true;
    }
    return grabbed ? result : QImage();
}

QImage LoadPicture(const QString& path) {
    if (path.isEmpty()) return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QRect Centred(QSize size, const QRect& area) {
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

QSize ScaledBy(QSize size, double scale) {
    return QSize(std::max(1, qRound(size.width() * scale)), std::max(1, qRound(size.height() * scale)));
}

void PlacePicture(QPainter& painter, const QRect& area, const QImage& picture, Placement fill) {
    const double scaleX = area.width() / double(picture.width());
    const double scaleY = area.height() / double(picture.height());
    QRect target;
    switch (fill) {
    case Placement::None:
        return;
    case Placement::Stretched:
        target = area;
        break;
    case Placement::Zoom:
    case Placement::Spanned:
        target = Centred(ScaledBy(picture.size(), std::max(scaleX, scaleY)), area);
        break;
    case Placement::Scaled:
        target = Centred(ScaledBy(picture.size(), std::min(scaleX, scaleY)), area);
        break;
    case Placement::Centered:
        target = Centred(picture.size(), area);
        break;
    case Placement::Tiled:
        for (int y = area.top(); y <= area.bottom(); y += picture.height())
            for (int x = area.left(); x <= area.right(); x += picture.width())
                painter.drawImage(QPoint(x, y), picture);
        return;
    }
    DrawBitmap(painter, QRectF(target), picture, FXBitmapEdges::Mirrored, FXBitmapQuality::High, 255);
}

} // namespace

DesktopCaptureCache& DesktopCaptureCache::Instance() {
    static DesktopCaptureCache cache;
    return cache;
}

const QImage& DesktopCaptureCache::Image(FXBlurVersion version) const {
    static const QImage none;
    switch (version) {
    case FXBlurVersion::WallpaperBlurred:
        return FWallpaperBlurred;
    case FXBlurVersion::Wallpaper:
        return FWallpaper;
    case FXBlurVersion::Screenshot:
        return FScreenshotBlurred;
    case FXBlurVersion::None:
        break;
    }
    return none;
}

QRect DesktopCaptureCache::ImageRect(FXBlurVersion version) const {
    switch (version) {
    case FXBlurVersion::WallpaperBlurred:
    case FXBlurVersion::Wallpaper:
        return FWallpaperRect;
    case FXBlurVersion::Screenshot:
        return FScreenshotRect;
    case FXBlurVersion::None:
        break;
    }
    return {};
}

QImage DesktopCaptureCache::Section(FXBlurVersion version, const QRect& screenRect) const {
    const QImage& image = Image(version);
    if (image.isNull() || screenRect.isEmpty()) return {};
    return image.copy(screenRect.translated(-ImageRect(version).topLeft()));
}

QImage DesktopCaptureCache::RenderDesktop(const DesktopWallpaper::Setting& setting,
                                          const QList<QRect>& monitors) {
    const QRect desktop = Bounds(monitors);
    if (desktop.isEmpty()) return {};
    QImage image(desktop.size(), CaptureFormat);
    image.fill(setting.Color ? qRgb(setting.Color->Red, setting.Color->Green, setting.Color->Blue)
                             : FallbackColor);
    const QImage picture = setting.Fill == Placement::None ? QImage() : LoadPicture(setting.Picture);
    if (picture.isNull()) return image;

    QPainter painter(&image);
    painter.translate(-desktop.topLeft());
    if (setting.Fill == Placement::Spanned) {
        PlacePicture(painter, desktop, picture, Placement::Spanned);
        return image;
    }
    for (const QRect& monitor : monitors) {
        painter.save();
        painter.setClipRect(monitor);
        PlacePicture(painter, monitor, picture, setting.Fill);
        painter.restore();
    }
    return image;
}

void DesktopCaptureCache::TakeWallpaper() {
    // Read before the picture: a change during the capture then shows up as a
    // difference at the next check instead of being taken for captured.
    const qint64 fileSize =
        FSources.WallpaperFileSize ? FSources.WallpaperFileSize() : DesktopWallpaper::PictureFileSize();
    const QList<QRect> monitors = FSources.Monitors ? FSources.Monitors() : ApplicationMonitors();
    const QImage plain =
        RenderDesktop(FSources.Wallpaper ? FSources.Wallpaper() : DesktopWallpaper::Read(), monitors);
    QImage blurred = plain.copy();
    FastBlur(blurred, WallpaperFactor, FXBlurReduction::Plain, WallpaperRadius);

    FWallpaper = plain;
    FWallpaperBlurred = blurred;
    FWallpaperRect = Bounds(monitors);
    FWallpaperFileSize = fileSize;
    FLastCapture = FXClock::Now();
}

void DesktopCaptureCache::CaptureWallpaper() {
    CaptureScope capturing(FCapturing);
    TakeWallpaper();
}

void DesktopCaptureCache::CaptureScreen() {
    CaptureScope capturing(FCapturing);
    QRect desktop = Bounds(FSources.Monitors ? FSources.Monitors() : ApplicationMonitors());
    QImage shot = desktop.isEmpty()     ? QImage()
                  : FSources.GrabScreen ? FSources.GrabScreen(desktop)
                                        : GrabApplicationScreens(desktop);
    if (shot.isNull()) {
        // What lies behind the windows, less the other windows.
        if (FWallpaper.isNull() || IsOutdated(FXBlurVersion::Wallpaper)) TakeWallpaper();
        shot = FWallpaper.copy();
        desktop = FWallpaperRect;
    } else if (shot.size() != desktop.size()) {
        shot = shot.scaled(desktop.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    FastBlur(shot, ScreenFactor, FXBlurReduction::Plain, ScreenRadius);

    FScreenshotBlurred = shot;
    FScreenshotRect = desktop;
    FLastCapture = FXClock::Now();
}

void DesktopCaptureCache::Rebuild(FXBlurVersion version) {
    switch (version) {
    case FXBlurVersion::WallpaperBlurred:
    case FXBlurVersion::Wallpaper:
        CaptureWallpaper();
        break;
    case FXBlurVersion::Screenshot:
        CaptureScreen();
        break;
    case FXBlurVersion::None:
        break;
    }
}

bool DesktopCaptureCache::IsOutdated(FXBlurVersion version) const {
    switch (version) {
    case FXBlurVersion::WallpaperBlurred:
    case FXBlurVersion::Wallpaper: {
        const qint64 size =
            FSources.WallpaperFileSize ? FSources.WallpaperFileSize() : DesktopWallpaper::PictureFileSize();
        return size != FWallpaperFileSize;
    }
    case FXBlurVersion::Screenshot:
        return FScreenshotBlurred.isNull() || FXClock::Now() - FLastCapture > ScreenMaxAge;
    case FXBlurVersion::None:
        break;
    }
    return false;
}

void DesktopCaptureCache::SetSources(Sources sources) {
    FSources = std::move(sources);
}

void DesktopCaptureCache::Clear() {
    FWallpaper = {};
    FWallpaperBlurred = {};
    FScreenshotBlurred = {};
    FWallpaperRect = {};
    FScreenshotRect = {};
    FWallpaperFileSize = -1;
    FLastCapture = {};
    FCapturing = false;
}
