#include "FXProgress.h"

#include "FXAccessibleStatus.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXThemeManager.h"

#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

// Both animations step every 10 ms, the pace of the original worker loops.
constexpr int FrameInterval = 10;
constexpr int GlideFrames = 25;

} // namespace

FXProgress::FXProgress(QWidget* parent) : FXWindowsControl(parent) {
    FDrawColors = new FXCompleteColorSet(this);
    FCustomColors = new FXCompleteColorSets(this);
    FOtherColors = new FXColorSet(this);
    FCustomOtherColors = new FXColorSets(this, false);
    FProgressThread = new QTimer(this);
    FProgressThread->setInterval(FrameInterval);
    connect(FProgressThread, &QTimer::timeout, this, &FXProgress::GlideStep);
    FAnimateThread = new QTimer(this);
    FAnimateThread->setInterval(FrameInterval);
    connect(FAnimateThread, &QTimer::timeout, this, &FXProgress::MarqueeStep);
    setAutoFocusLine(true);
    setFocusPolicy(Qt::NoFocus);
    resize(200, 20);
    Layout();
    UpdateColors();
}

FXProgress::~FXProgress() = default;

void FXProgress::setValue(float value) {
    if (FValue == value) return;
    if (FAnimations && !FXFormReading::Active()) AnimateTo(value);
    FValue = value;
    Layout();
    Invalidate();
    NotifyAccessibleValue(this, value);
}

void FXProgress::setProgressKind(FXProgressKind value) {
    if (FProgressKind == value) return;
    FProgressKind = value;
    SetAnimationThread(value == FXProgressKind::Intermediate);
    Layout();
    Invalidate();
}

void FXProgress::setProgressHeight(int value) {
    if (FProgressHeight == value) return;
    FProgressHeight = value;
    Layout();
    Invalidate();
}

void FXProgress::setProgressLineHeight(int value) {
    if (FProgressLineHeight == value) return;
    FProgressLineHeight = value;
    Layout();
    Invalidate();
}

bool FXProgress::Gliding() const {
    return FProgressThread->isActive();
}

bool FXProgress::MarqueeRunning() const {
    return FAnimateThread->isActive();
}

void FXProgress::UpdateTheme(bool) {
    UpdateColors();
    Layout();
    Invalidate();
}

TColor FXProgress::Background() {
    return FDrawColors->BackGround();
}

QAccessibleInterface* FXProgress::CreateAccessibleInterface() {
    FXAccessibleRange range;
    range.Current = [this] { return double(FValue); };
    range.Minimum = [] { return 0.0; };
    range.Maximum = [] { return 100.0; };
    return new FXAccessibleStatus(
        this, AccessibleRole(), [this] { return AccessibleText(); },
        [this](QAccessible::State& state) { state.busy = FProgressKind == FXProgressKind::Intermediate; },
        range);
}

void FXProgress::UpdateColors() {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    FDrawColors->Assign(ThemeManager->SystemColor());
    if (!isEnabled()) {
        FDrawColors->setForeGround(0x808080);
        return;
    }
    if (FCustomColors->Enabled()) {
        FDrawColors->LoadFrom(*FCustomColors, dark);
    } else {
        const FXCompleteColorSets& system = *ThemeManager->SystemColorSet();
        FDrawColors->LoadFrom(system, dark);
        // The track takes the other theme's interior so that it stands out from the surface.
        FDrawColors->setBackGroundInterior(dark ? system.LightBackGroundInterior()
                                                : system.DarkBackGroundInterior());
        FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));
    }
    if (FCustomOtherColors->Enabled()) {
        FOtherColors->LoadFrom(*FCustomOtherColors, dark);
    } else {
        FOtherColors->setBackGround(dark ? 0xA499FF : 0x1C2BC4);
        FOtherColors->setForeGround(dark ? 0x00E1FC : 0x005D9D);
    }
}

void FXProgress::Invalidate() {
    if (FLayoutSize != size()) Layout();
    FXWindowsControl::Invalidate();
}

void FXProgress::Layout() {
    FLayoutSize = size();
    FDrawRect = GetClientRect();
    const int width = std::max(FDrawRect.width() - 1, 0);
    FFilledRect = QRect(FDrawRect.left(), FDrawRect.top() + (FDrawRect.height() - FProgressHeight) / 2, width,
                        FProgressHeight);
    const double shown = std::clamp(double(FValue) + double(FValueAdd), 0.0, 100.0);
    FFilledRect.setWidth(int(std::nearbyint(width * shown / 100)));
    FLineRect = QRect(FDrawRect.left(), FDrawRect.top() + (FDrawRect.height() - FProgressLineHeight) / 2,
                      width, FProgressLineHeight);
    if (FProgressKind == FXProgressKind::Intermediate) {
        FFilledRect.moveLeft(FDrawRect.left() + FOffset);
        FFilledRect.setWidth(FInterSize);
    }
}

void FXProgress::AnimateTo(float value) {
    // A new target glides on from what is shown now.
    if (FProgressThread->isActive()) {
        FValue += FValueAdd;
        FProgressThread->stop();
    }
    FValueAdd = FValueAddMax = FValue - value;
    FProgressPos = 0;
    // A hidden bar has nothing to show on the way: it jumps.
    if (!isVisible()) {
        FValueAdd = 0;
        return;
    }
    FProgressThread->start();
}

void FXProgress::GlideStep() {
    if (FProgressPos >= GlideFrames) {
        FinishGlide();
        return;
    }
    FValueAdd = float(GlideFrames - FProgressPos) / GlideFrames * FValueAddMax;
    Layout();
    Invalidate();
    ++FProgressPos;
}

void FXProgress::FinishGlide() {
    FProgressThread->stop();
    FValueAdd = 0;
    Layout();
    Invalidate();
}

void FXProgress::SetAnimationThread(bool active) {
    if (FThreadActive == active) return;
    FThreadActive = active;
    if (!active) {
        FAnimateThread->stop();
        return;
    }
    FOffset = 0;
    if (ThemeManager != nullptr && ThemeManager->Designing()) {
        FInterSize = FDrawRect.width();
        return;
    }
    FValueAdd = 0;
    if (isVisible()) FAnimateThread->start();
}

void FXProgress::MarqueeStep() {
    const int w = FDrawRect.width();
    FOffset += FLengthState == 0 ? w / 30 : FLengthState == 1 ? w / 20 : w / 25;
    const bool wrapped = FOffset >= w;
    if (wrapped) FLengthState = FLengthState >= 1 ? 0 : FLengthState + 1;
    FInterSize = FLengthState == 0   ? int(std::ceil(w / 3.0))
                 : FLengthState == 1 ? int(std::ceil(w / 2.2))
                                     : w;
    if (wrapped) FOffset = -FInterSize;
    Layout();
    Invalidate();
}

void FXProgress::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);
    if (FProgressKind != FXProgressKind::Intermediate)
        DrawRoundRect(painter, QRectF(FLineRect), FLineRect.height(),
                      ToQColor(FDrawColors->BackGroundInterior()));
    const TColor bar = FProgressKind == FXProgressKind::Paused  ? FOtherColors->ForeGround()
                       : FProgressKind == FXProgressKind::Error ? FOtherColors->BackGround()
                                                                : FDrawColors->Accent();
    DrawRoundRect(painter, QRectF(FFilledRect), FFilledRect.height(), ToQColor(bar));
    FXWindowsControl::PaintBuffer(painter);
}

void FXProgress::resizeEvent(QResizeEvent* event) {
    Layout();
    FXWindowsControl::resizeEvent(event);
}

void FXProgress::showEvent(QShowEvent* event) {
    FXWindowsControl::showEvent(event);
    if (FThreadActive && !(ThemeManager != nullptr && ThemeManager->Designing())) FAnimateThread->start();
}

void FXProgress::hideEvent(QHideEvent* event) {
    // Nobody sees a hidden bar move: the marquee pauses and a glide ends at its target.
    FAnimateThread->stop();
    if (FProgressThread->isActive()) FinishGlide();
    FXWindowsControl::hideEvent(event);
}
