#include "FXScrollbar.h"

#include "ColorFunctions.h"
#include "FXAccessibleStatus.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXThemeManager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

bool Designing() {
    return ThemeManager != nullptr && ThemeManager->Designing();
}

} // namespace

FXScrollbar::FXScrollbar(QWidget* parent) : FXWindowsControl(parent) {
    FRepeater = new QTimer(this);
    FRepeater->setInterval(500);
    connect(FRepeater, &QTimer::timeout, this, &FXScrollbar::RepeatTick);
    FAnim = new QTimer(this);
    FAnim->setInterval(10);
    connect(FAnim, &QTimer::timeout, this, &FXScrollbar::FadeTick);
    FCustomColors = new FXCompleteColorSets(this);
    FDrawColors = new FXCompleteColorSet(this);
    setAutoFocusLine(true);
    // The pointer over the arrow buttons is followed without a button held.
    setMouseTracking(true);
    resize(12, 225);
    UpdateColors();
    Layout();
}

FXScrollbar::~FXScrollbar() = default;

void FXScrollbar::setOrientation(FXOrientation value) {
    if (FOrientation == value) return;
    FOrientation = value;
    if (!FXFormReading::Active()) resize(height(), width());
    Layout();
    Invalidate();
}

void FXScrollbar::setPosition(qint64 value) {
    // Clamped before the comparison: a step past the end is no change and reports none.
    const bool reading = FXFormReading::Active();
    if (!reading) value = std::clamp(value, FMin, std::max(FMin, FMax));
    if (FPosition == value) return;
    FPosition = value;
    if (!reading) {
        emit OnChange();
        NotifyAccessibleValue(this, double(value));
    }
    Layout();
    Invalidate();
}

void FXScrollbar::setMin(qint64 value) {
    if (FMin == value) return;
    FMin = value;
    if (!FXFormReading::Active()) {
        if (FMax < value) FMax = value;
        if (FPosition < value) setPosition(value);
    }
    Layout();
    Invalidate();
}

void FXScrollbar::setMax(qint64 value) {
    if (FMax == value) return;
    FMax = value;
    if (!FXFormReading::Active()) {
        if (FMin > value) FMin = value;
        if (FPosition > value) setPosition(value);
    }
    Layout();
    Invalidate();
}

void FXScrollbar::setSmallChange(int value) {
    if (value > 0) FSmallChange = value;
}

void FXScrollbar::setCustomScrollbarSize(int value) {
    const int length = FOrientation == FXOrientation::Vertical ? height() : width();
    if (FCustomScrollBarHeight == value || value >= length) return;
    FCustomScrollBarHeight = value;
    Layout();
    Invalidate();
}

void FXScrollbar::setPageSize(int value) {
    if (FPageSize == value || value <= 0) return;
    FPageSize = value;
    Layout();
    Invalidate();
}

void FXScrollbar::setEnableButtons(bool value) {
    if (FEnableButtons == value) return;
    FEnableButtons = value;
    Layout();
    Invalidate();
}

void FXScrollbar::setMinimised(bool value) {
    if (FMinimised == value) return;
    ApplyMinimised(value);
    Invalidate();
}

void FXScrollbar::ApplyMinimised(bool value) {
    if (FMinimised == value) return;
    FMinimised = value;
    if (FAnimation && !Designing() && isVisible()) {
        FFadeFrom = StateTrackColor(!value);
        FAnimPos = 0;
        FAnim->start();
    } else {
        FAnim->stop();
        FAnimPos = 255;
        FBackgroundColor = StateTrackColor(value);
    }
}

void FXScrollbar::setPreferLeftSide(bool value) {
    if (FPreferLeftSide == value) return;
    FPreferLeftSide = value;
    Invalidate();
}

TColor FXScrollbar::StateTrackColor(bool minimised) const {
    return minimised ? FDrawColors->BackGround() : FDrawColors->BackGroundInterior();
}

void FXScrollbar::FadeTick() {
    FAnimPos = std::min(FAnimPos + 15, 255);
    FBackgroundColor = BlendColors(FFadeFrom, StateTrackColor(FMinimised), FAnimPos);
    Invalidate();
    if (FAnimPos >= 255) FAnim->stop();
}

QRectF FXScrollbar::ThumbShape() const {
    QRectF shape(FSliderRect);
    if (!FMinimised) return shape;
    if (FOrientation == FXOrientation::Vertical) {
        if (!FPreferLeftSide) shape.setLeft(shape.right() + 1 - FSliderSize);
        shape.setWidth(FSliderSize);
    } else {
        if (!FPreferLeftSide) shape.setTop(shape.bottom() + 1 - FSliderSize);
        shape.setHeight(FSliderSize);
    }
    return shape;
}

void FXScrollbar::Invalidate() {
    if (FLayoutSize != size()) Layout();
    FXWindowsControl::Invalidate();
}

void FXScrollbar::UpdateTheme(bool) {
    UpdateColors();
    Layout();
    Invalidate();
}

TColor FXScrollbar::Background() {
    return FDrawColors->BackGround();
}

QAccessibleInterface* FXScrollbar::CreateAccessibleInterface() {
    FXAccessibleRange range;
    range.Current = [this] { return double(FPosition); };
    range.Minimum = [this] { return double(FMin); };
    range.Maximum = [this] { return double(FMax); };
    range.Set = [this](double value) { setPosition(qint64(std::llround(value))); };
    range.Step = FSmallChange;
    return new FXAccessibleStatus(
        this, AccessibleRole(), [this] { return AccessibleText(); }, nullptr, range);
}

void FXScrollbar::UpdateColors() {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    FDrawColors->Assign(ThemeManager->SystemColor());
    if (FCustomColors->Enabled()) {
        FDrawColors->setBackGround(dark ? FCustomColors->DarkBackGround() : FCustomColors->LightBackGround());
        FDrawColors->setBackGroundInterior(dark ? FCustomColors->DarkBackGroundInterior()
                                                : FCustomColors->LightBackGroundInterior());
        FDrawColors->setAccent(FCustomColors->Accent());
    } else {
        FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));
    }
    // The thumb always contrasts with the expanded track, with or without a palette.
    FDrawColors->setForeGround(ChangeLightness(FDrawColors->BackGroundInterior(), dark ? 75 : -75));
    if (!isEnabled()) {
        FDrawColors->setAccent(ChangeLightness(FDrawColors->BackGround(), 20));
        FDrawColors->setBackGround(ChangeLightness(FDrawColors->BackGround(), 20));
    }
    // A fade under way carries on between the new theme's colours.
    if (FAnim->isActive()) {
        FFadeFrom = StateTrackColor(!FMinimised);
        FBackgroundColor = BlendColors(FFadeFrom, StateTrackColor(FMinimised), FAnimPos);
    } else {
        FBackgroundColor = StateTrackColor(FMinimised);
    }
}

void FXScrollbar::Layout() {
    FLayoutSize = size();
    FDrawRect = GetClientRect();
    const bool vertical = FOrientation == FXOrientation::Vertical;
    const int thickness = vertical ? FDrawRect.width() : FDrawRect.height();
    FButton1 = QRect(FDrawRect.topLeft(), QSize(thickness, thickness));
    FButton2 =
        vertical
            ? QRect(FDrawRect.left(), FDrawRect.top() + FDrawRect.height() - thickness, thickness, thickness)
            : QRect(FDrawRect.left() + FDrawRect.width() - thickness, FDrawRect.top(), thickness, thickness);
    const int b = FEnableButtons ? 2 * thickness : 0;
    const QRect inner = FDrawRect.adjusted(FSliderSpacing, FSliderSpacing, -FSliderSpacing, -FSliderSpacing);
    const int available = (vertical ? inner.height() : inner.width()) - 2 * FSliderSpacing - b;
    const qint64 range = FMax - FMin;
    int thumb = 40;
    if (FCustomScrollBarHeight > 0) {
        thumb = FCustomScrollBarHeight;
    } else if (FPageSize >= 2) {
        // An empty range has nothing to scroll: the thumb takes the whole track.
        const double share = range != 0 ? double(FPageSize - FMin) / double(range) : 1.0;
        thumb = std::max(20, int(share * available));
    }
    const double percentage = range != 0 ? double(FPosition - FMin) / double(range) : 0.0;
    const int start = (vertical ? inner.top() : inner.left()) + int(percentage * (available - thumb)) + b / 2;
    FSliderRect = vertical ? QRect(inner.left(), start, inner.width(), thumb)
                           : QRect(start, inner.top(), thumb, inner.height());
    FScrollBarHeight = thumb;
    FRoundness = thickness / 2;
    FSliderSize = (vertical ? inner.width() : inner.height()) / 2;
    if (!Designing() && FAutoMinimise && Interaction() == FXControlState::None && !FMinimised)
        setMinimised(true);
}

void FXScrollbar::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);
    DrawRoundRect(painter, QRectF(FDrawRect), 2 * FRoundness, ToQColor(FBackgroundColor));
    const QColor thumb = ToQColor(FDrawColors->ForeGround());
    DrawRoundRect(painter, ThumbShape(), FRoundness, thumb);
    if (FEnableButtons && !FMinimised) {
        const bool vertical = FOrientation == FXOrientation::Vertical;
        const bool pressed = Interaction() == FXControlState::Press;
        const auto arrowRect = [&](const QRect& button, bool first, bool down) {
            const int inset = down ? 3 : int(std::nearbyint(FSliderSpacing / 2.0));
            QRect area = button.adjusted(inset, inset, -inset, -inset);
            if (vertical)
                first ? area.setTop(area.top() + FSliderSpacing)
                      : area.setBottom(area.bottom() - FSliderSpacing);
            else
                first ? area.setLeft(area.left() + FSliderSpacing)
                      : area.setRight(area.right() - FSliderSpacing);
            return QRectF(area);
        };
        DrawArrowTriangle(painter, arrowRect(FButton1, true, pressed && Contains1),
                          vertical ? Qt::UpArrow : Qt::LeftArrow, thumb);
        DrawArrowTriangle(painter, arrowRect(FButton2, false, pressed && Contains2),
                          vertical ? Qt::DownArrow : Qt::RightArrow, thumb);
    }
    FXWindowsControl::PaintBuffer(painter);
}

void FXScrollbar::InteractionStateChanged(FXControlState AState) {
    if (!Designing() && FAutoMinimise) {
        if (AState != FXControlState::None && FMinimised) ApplyMinimised(false);
        if (AState == FXControlState::None && !FMinimised) ApplyMinimised(true);
    }
    Layout();
    FXWindowsControl::InteractionStateChanged(AState);
}

void FXScrollbar::ScaleChanged(double Scaling) {
    FCustomScrollBarHeight = int(std::lround(FCustomScrollBarHeight * Scaling));
    FXWindowsControl::ScaleChanged(Scaling);
    Layout();
}

bool FXScrollbar::HandleKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    // The arrows along the bar scroll instead of moving the focus.
    const bool vertical = FOrientation == FXOrientation::Vertical;
    if (vertical && (Key == Qt::Key_Up || Key == Qt::Key_Down)) return true;
    if (!vertical && (Key == Qt::Key_Left || Key == Qt::Key_Right)) return true;
    return FXWindowsControl::HandleKeyDown(Key, Shift);
}

void FXScrollbar::resizeEvent(QResizeEvent* event) {
    Layout();
    FXWindowsControl::resizeEvent(event);
}

void FXScrollbar::StepButton() {
    if (Contains1)
        setPosition(FPosition - FSmallChange);
    else if (Contains2)
        setPosition(FPosition + FSmallChange);
}

void FXScrollbar::RepeatTick() {
    FRepeater->setInterval(50);
    StepButton();
}

void FXScrollbar::TrackPointer(const QPoint& point) {
    const bool vertical = FOrientation == FXOrientation::Vertical;
    const int along = vertical ? point.y() - FDrawRect.top() : point.x() - FDrawRect.left();
    const int length = vertical ? FDrawRect.height() : FDrawRect.width();
    const int travel = length - FScrollBarHeight;
    const double share = travel != 0 ? double(along - FScrollBarHeight / 2.0) / travel : 0.0;
    setPosition(FMin + std::llround(share * double(FMax - FMin)));
}

void FXScrollbar::mousePressEvent(QMouseEvent* event) {
    FXWindowsControl::mousePressEvent(event);
    mouseMoveEvent(event);
    if (event->button() != Qt::LeftButton) return;
    // Without buttons the whole bar is thumb and track: a drag can start anywhere.
    if (!Contains1 && !Contains2) {
        FPressInitiated = true;
        return;
    }
    StepButton();
    FRepeater->setInterval(500);
    FRepeater->start();
}

void FXScrollbar::mouseMoveEvent(QMouseEvent* event) {
    if (event->type() == QEvent::MouseMove) FXWindowsControl::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();
    if (FPressInitiated) {
        TrackPointer(point);
        return;
    }
    if (!FEnableButtons) {
        Contains1 = Contains2 = false;
        return;
    }
    const bool over1 = FButton1.contains(point);
    const bool over2 = FButton2.contains(point);
    if (over1 == Contains1 && over2 == Contains2) return;
    Contains1 = over1;
    Contains2 = over2;
    Invalidate();
}

void FXScrollbar::mouseReleaseEvent(QMouseEvent* event) {
    FXWindowsControl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    FPressInitiated = false;
    if (FEnableButtons) Invalidate();
    FRepeater->stop();
}

void FXScrollbar::keyPressEvent(QKeyEvent* event) {
    const bool vertical = FOrientation == FXOrientation::Vertical;
    const qint64 page = FPageSize >= 2 ? FPageSize : std::max<qint64>(FSmallChange, (FMax - FMin) / 10);
    switch (event->key()) {
    case Qt::Key_Minus:
        setPosition(FPosition - FSmallChange);
        return;
    case Qt::Key_Plus:
        setPosition(FPosition + FSmallChange);
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (vertical == (event->key() == Qt::Key_Up)) {
            setPosition(FPosition - FSmallChange);
            return;
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (vertical == (event->key() == Qt::Key_Down)) {
            setPosition(FPosition + FSmallChange);
            return;
        }
        break;
    // Beyond the two characters, the keys every desktop scroll bar answers.
    case Qt::Key_PageUp:
        setPosition(FPosition - page);
        return;
    case Qt::Key_PageDown:
        setPosition(FPosition + page);
        return;
    case Qt::Key_Home:
        setPosition(FMin);
        return;
    case Qt::Key_End:
        setPosition(FMax);
        return;
    default:
        break;
    }
    FXWindowsControl::keyPressEvent(event);
}

void FXScrollbar::hideEvent(QHideEvent* event) {
    FRepeater->stop();
    FPressInitiated = false;
    if (FAnim->isActive()) {
        FAnim->stop();
        FAnimPos = 255;
        FBackgroundColor = StateTrackColor(FMinimised);
    }
    FXWindowsControl::hideEvent(event);
}
