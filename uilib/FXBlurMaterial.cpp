#include "FXBlurMaterial.h"

#include "BlurFunctions.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXDrawing.h"
#include "FXFormEvents.h"
#include "FXFormReading.h"
#include "FXThemeManager.h"

#include <QPainter>

namespace {

constexpr TColor DesignOutline = 0xFFFF00; // cyan

bool Designing() {
    return ThemeManager != nullptr && ThemeManager->Designing();
}

bool Dark() {
    return ThemeManager != nullptr && ThemeManager->DarkTheme();
}

} // namespace

FXBlurMaterial::FXBlurMaterial(QWidget* parent) : FXBufferGraphicControl(parent) {
    FCustomColors = new FXColorSets(this, false);
    FDrawColors = new FXColorSet(this);
    {
        // The palette's own defaults, set without recolouring the material for each.
        FXFormReading defaults;
        FCustomColors->setDarkBackGround(0x000000);
        FCustomColors->setLightBackGround(0xFFFFFF);
        FCustomColors->setAccent(ThemeManager ? ThemeManager->AccentColor() : 0xD77800);
    }
    FTick.setInterval(1);
    connect(&FTick, &QTimer::timeout, this, [this] {
        if (!Designing()) SyncroniseImage();
    });
    resize(150, 200);
    UpdateColors();
}

FXBlurMaterial::~FXBlurMaterial() {
    FTick.stop();
}

void FXBlurMaterial::setRefreshMode(FXGlassRefreshMode value) {
    FRefreshMode = value;
    if (Designing()) return;
    if (value == FXGlassRefreshMode::Timer)
        FTick.start();
    else
        FTick.stop();
}

void FXBlurMaterial::setVersion(FXBlurVersion value) {
    if (FVersion == value) return;
    FVersion = value;
    Invalidate();
}

void FXBlurMaterial::setDarkTintOpacity(int value) {
    if (FDarkTintOpacity == value) return;
    FDarkTintOpacity = value;
    Invalidate();
}

void FXBlurMaterial::setWhiteTintOpacity(int value) {
    if (FWhiteTintOpacity == value) return;
    FWhiteTintOpacity = value;
    Invalidate();
}

void FXBlurMaterial::setEnableTinting(bool value) {
    if (FEnableTinting == value) return;
    FEnableTinting = value;
    Invalidate();
}

void FXBlurMaterial::setCustomColors(const FXColorSets& value) {
    {
        FXFormReading copying;
        FCustomColors->Assign(&value);
    }
    UpdateTheme(false);
}

void FXBlurMaterial::RebuildImage() {
    DesktopCaptureCache::Instance().Rebuild(FVersion);
}

void FXBlurMaterial::SyncroniseImage() {
    // The buffer is painted at once here, so the capture is renewed before it, not after.
    if (DesktopCaptureCache::Instance().IsOutdated(FVersion)) RebuildImage();
    ReDraw();
    if (FInvalidateAbove) InvalidateControlsAbove();
}

void FXBlurMaterial::UpdateColors() {
    if (FCustomColors->Enabled()) {
        FDrawColors->LoadFrom(*FCustomColors, Dark());
        return;
    }
    FDrawColors->setAccent(ThemeManager ? ThemeManager->AccentColor() : 0xD77800);
    FDrawColors->setBackGround(Dark() ? 0x000000 : 0xFFFFFF);
}

void FXBlurMaterial::UpdateTheme(bool) {
    UpdateColors();
    // The desktop may show another picture in the other theme.
    if (!FXFormReading::Active()) RebuildImage();
    Invalidate();
}

TColor FXBlurMaterial::Background() {
    return FDrawColors->BackGround();
}

void FXBlurMaterial::PaintBuffer(QPainter& painter) {
    const QRect area = rect();
    if (Designing()) {
        painter.save();
        painter.setPen(QPen(ToQColor(DesignOutline), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.restore();
        return;
    }
    const DesktopCaptureCache& cache = DesktopCaptureCache::Instance();
    const QImage section =
        cache.Capturing() ? QImage() : cache.Section(FVersion, QRect(mapToGlobal(QPoint(0, 0)), size()));
    if (section.isNull()) {
        painter.fillRect(area, ToQColor(FDrawColors->BackGround()));
    } else {
        DrawBitmap(painter, QRectF(area), section, FXBitmapEdges::Plain, FXBitmapQuality::Bilinear, 255);
        if (FEnableTinting) {
            const int alpha = (Dark() ? FDarkTintOpacity : FWhiteTintOpacity) & 0xFF;
            painter.fillRect(area.adjusted(-1, -1, 1, 1), ToQColor(FDrawColors->BackGround(), alpha));
        }
    }
    // Content drawn on the material (a menu's rows) shows over the plain colour too.
    FXBufferGraphicControl::PaintBuffer(painter);
}

bool FXBlurMaterial::event(QEvent* event) {
    if (event->type() == FXFormMovedEvent::Type()) {
        if (FRefreshMode == FXGlassRefreshMode::Automatic) SyncroniseImage();
        return true;
    }
    if (event->type() == QEvent::Show) {
        const bool handled = FXBufferGraphicControl::event(event);
        SyncroniseImage();
        return handled;
    }
    return FXBufferGraphicControl::event(event);
}
