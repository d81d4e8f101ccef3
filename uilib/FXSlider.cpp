#include "FXSlider.h"

#include "ColorFunctions.h"
#include "FXAccessibleStatus.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXHintPopup.h"
#include "FXThemeManager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

int DotTarget(FXControlState state) {
    switch (state) {
    case FXControlState::Hover:
        return 65;
    case FXControlState::Press:
        return 45;
    default:
        return 50;
    }
}

} // namespace

FXSlider::FXSlider(QWidget* parent) : FXWindowsControl(parent) {
    FHint = new FXHintPopup(this);
    FFillTick = new QTimer(this);
    FFillTick->setInterval(1);
    connect(FFillTick, &QTimer::timeout, this, &FXSlider::FillTick);
    FCustomColors = new FXCompleteColorSets(this);
    FDrawColors = new FXCompleteColorSet(this);
    FIconColors = new FXCompleteColorSet(this);
    setAutoFocusLine(true);
    // The dot follows the pointer over the thumb, which needs moves without a button held.
    setMouseTracking(true);
    resize(225, 40);
    PlaceThumb();
    Layout();
    UpdateColors();
}

FXSlider::~FXSlider() = default;

void FXSlider::setAutomaticCursorPointer(bool value) {
    FAutomaticMouseCursor = value;
    if (!value) unsetCursor();
}

void FXSlider::setOrientation(FXOrientation value) {
    if (FOrientation == value) return;
    FOrientation = value;
    if (!FXFormReading::Active()) resize(height(), width());
    PlaceThumb();
    Layout();
    Invalidate();
}

void FXSlider::setSliderHeight(int value) {
    if (FSliderHeight == value) return;
    FSliderHeight = value;
    Layout();
    Invalidate();
}

void FXSlider::setIconSize(int value) {
    if (FIconSize == value) return;
    FIconSize = value;
    PlaceThumb();
    Layout();
    Invalidate();
}

void FXSlider::SetValue(qint64 value, Relayout relayout, Change change) {
    // Clamped before the comparison: a step past the end is no change and reports none.
    const bool reading = FXFormReading::Active();
    if (!reading) value = std::clamp(value, FMin, std::max(FMin, FMax));
    if (FPosition == value) return;
    FPosition = value;
    if (!reading) {
        if (change == Change::User) emit OnChange();
        emit OnChangeValue();
        NotifyAccessibleValue(this, double(FPosition));
    }
    if (relayout == Relayout::No) return;
    PlaceThumb();
    Layout();
    Invalidate();
}

void FXSlider::setMin(qint64 value) {
    if (FMin == value) return;
    FMin = value;
    if (!FXFormReading::Active()) {
        if (FMax < value) FMax = value;
        if (FPosition < value) SetValue(value, Relayout::No, Change::Program);
    }
    PlaceThumb();
    Layout();
    Invalidate();
}

void FXSlider::setMax(qint64 value) {
    if (FMax == value) return;
    FMax = value;
    if (!FXFormReading::Active()) {
        if (FMin > value) FMin = value;
        if (FPosition > value) SetValue(value, Relayout::No, Change::Program);
    }
    PlaceThumb();
    Layout();
    Invalidate();
}

void FXSlider::setTotalTicks(int value) {
    if (FTotalTicks == value || value < 0) return;
    FTotalTicks = value;
    Invalidate();
}

void FXSlider::setSmallChange(int value) {
    if (value > 0) FSmallChange = value;
}

int FXSlider::DotSize() const {
    return int(FCenterFill / 100.0 * FIconSize);
}

QVector<int> FXSlider::TickPositions() const {
    QVector<int> ticks;
    const int travel = TrackLength() - FIconSize;
    for (int i = 0; i < FTotalTicks; ++i) {
        // A single mark sits at the start rather than dividing by zero.
        const double share = FTotalTicks > 1 ? double(i) / (FTotalTicks - 1) : 0.0;
        ticks.append(TrackStart() + FIconSize / 2 + int(share * travel));
    }
    return ticks;
}

void FXSlider::Invalidate() {
    if (FLayoutSize != size()) {
        PlaceThumb();
        Layout();
    }
    FXWindowsControl::Invalidate();
}

void FXSlider::UpdateTheme(bool) {
    UpdateColors();
    Layout();
    Invalidate();
}

TColor FXSlider::Background() {
    return FDrawColors->BackGround();
}

QAccessibleInterface* FXSlider::CreateAccessibleInterface() {
    FXAccessibleRange range;
    range.Current = [this] { return double(FPosition); };
    range.Minimum = [this] { return double(FMin); };
    range.Maximum = [this] { return double(FMax); };
    range.Set = [this](double value) { SetValue(qint64(std::llround(value)), Relayout::Yes, Change::User); };
    range.Step = FSmallChange;
    return new FXAccessibleStatus(
        this, AccessibleRole(), [this] { return AccessibleText(); }, nullptr, range);
}

void FXSlider::UpdateColors() {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    if (FCustomColors->Enabled()) {
        FDrawColors->LoadFrom(*FCustomColors, dark);
        FIconColors->LoadFrom(*FCustomColors, dark);
        FIconColors->setBackGround(dark ? FCustomColors->DarkForeGround() : FCustomColors->LightForeGround());
        FIconColors->setForeGround(ChangeLightness(FIconColors->BackGround(), -25));
        FIconColors->setAccent(FCustomColors->Accent());
    } else {
        FDrawColors->Assign(ThemeManager->SystemColor());
        FIconColors->Assign(ThemeManager->SystemColor());
        FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));
        const TColor interior = ThemeManager->SystemColor()->BackGroundInterior();
        if (dark) {
            FDrawColors->setBackGroundInterior(ChangeLightness(interior, 150));
            FIconColors->setForeGround(ChangeLightness(FDrawColors->BackGroundInterior(), -150));
            FIconColors->setBackGround(ChangeLightness(FDrawColors->BackGroundInterior(), -100));
        } else {
            FDrawColors->setBackGroundInterior(ChangeLightness(interior, -100));
            FIconColors->setForeGround(ChangeLightness(FDrawColors->BackGround(), -25));
            FIconColors->setBackGround(ChangeLightness(FDrawColors->BackGround(), -10));
        }
    }
    if (!isEnabled()) {
        FDrawColors->setAccent(ChangeLightness(FDrawColors->BackGround(), 20));
        FIconColors->setAccent(ChangeLightness(FDrawColors->BackGround(), 20));
        FDrawColors->setBackGround(ChangeLightness(FDrawColors->BackGround(), 20));
    }
}

int FXSlider::TrackStart() const {
    return FOrientation == FXOrientation::Horizontal ? FSliderRect.left() : FSliderRect.top();
}

int FXSlider::TrackLength() const {
    return FOrientation == FXOrientation::Horizontal ? FSliderRect.width() : FSliderRect.height();
}

int FXSlider::Along(const QPoint& point) const {
    return FOrientation == FXOrientation::Horizontal ? point.x() : point.y();
}

void FXSlider::PlaceThumb() {
    const QRect area = GetClientRect();
    const int length = FOrientation == FXOrientation::Horizontal ? area.width() : area.height();
    const qint64 range = FMax - FMin;
    FPositionDraw =
        range != 0 ? int(double(length - FIconSize) * double(FPosition - FMin) / double(range)) : 0;
}

void FXSlider::Layout() {
    FLayoutSize = size();
    FDrawRect = GetClientRect();
    FRoundness = FSliderHeight / 2;
    const QRect& d = FDrawRect;
    if (FOrientation == FXOrientation::Horizontal) {
        FSliderRect = QRect(d.left(), d.top() + (d.height() - FSliderHeight) / 2, d.width(), FSliderHeight);
        FIconRect =
            QRect(d.left() + FPositionDraw, d.top() + (d.height() - FIconSize) / 2, FIconSize, FIconSize);
        FSliderFull =
            QRect(FSliderRect.left(), FSliderRect.top(), FPositionDraw + FIconSize / 2, FSliderHeight);
    } else {
        FSliderRect = QRect(d.left() + (d.width() - FSliderHeight) / 2, d.top(), FSliderHeight, d.height());
        FIconRect =
            QRect(d.left() + (d.width() - FIconSize) / 2, d.top() + FPositionDraw, FIconSize, FIconSize);
        FSliderFull =
            QRect(FSliderRect.left(), FSliderRect.top(), FSliderHeight, FPositionDraw + FIconSize / 2);
    }
}

void FXSlider::UpdateDotTarget() {
    FDestinedFill = DotTarget(Interaction());
    if (FCenterFill == FDestinedFill) {
        FFillTick->stop();
        return;
    }
    // A hidden slider has nobody to show the dot's growth to.
    if (!isVisible()) {
        FCenterFill = FDestinedFill;
        return;
    }
    if (!FFillTick->isActive()) FFillTick->start();
}

void FXSlider::FillTick() {
    if (FCenterFill < FDestinedFill)
        FCenterFill = std::min(FCenterFill + 2, FDestinedFill);
    else
        FCenterFill = std::max(FCenterFill - 2, FDestinedFill);
    Invalidate();
    if (FCenterFill == FDestinedFill) FFillTick->stop();
}

void FXSlider::ShowPositionHint() {
    if (!FEnablePositionHint) return;
    QString text = QString::number(FPosition);
    if (FOnHint) FOnHint(this, text);
    const QPoint centre = FIconRect.center();
    const QPoint above = FOrientation == FXOrientation::Horizontal ? centre - QPoint(0, 2 * FIconSize)
                                                                   : centre - QPoint(2 * FIconSize, 0);
    QFont font = FHint->GetFont();
    font.setPointSize(11);
    FHint->SetFont(font);
    FHint->setText(text);
    FHint->setCenterToPosition(true);
    FHint->setDuration(1000);
    FHint->setAutoHide(false);
    FHint->ShowAtPoint(mapToGlobal(above));
}

void FXSlider::StepBy(qint64 delta) {
    SetValue(FPosition + delta, Relayout::Yes, Change::User);
    ShowPositionHint();
    FHint->setAutoHide(true);
}

void FXSlider::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);
    const QColor track = ToQColor(FDrawColors->BackGroundInterior());
    DrawRoundRect(painter, QRectF(FSliderRect), FRoundness, track);
    DrawRoundRect(painter, QRectF(FSliderFull), FRoundness, ToQColor(FDrawColors->Accent()));
    for (const int t : TickPositions()) {
        if (FOrientation == FXOrientation::Horizontal) {
            DrawRoundRect(painter, QRectF(t - 1, FIconRect.top(), 2, FSliderRect.top() - 3 - FIconRect.top()),
                          2, track);
            const int below = FSliderRect.top() + FSliderRect.height() + 3;
            DrawRoundRect(painter, QRectF(t - 1, below, 2, FIconRect.top() + FIconSize - below), 2, track);
        } else {
            DrawRoundRect(painter,
                          QRectF(FIconRect.left(), t - 1, FSliderRect.left() - 3 - FIconRect.left(), 2), 2,
                          track);
            const int right = FSliderRect.left() + FSliderRect.width() + 3;
            DrawRoundRect(painter, QRectF(right, t - 1, FIconRect.left() + FIconSize - right, 2), 2, track);
        }
    }
    DrawRoundRect(painter, QRectF(FIconRect), FIconSize, ToQColor(FIconColors->BackGround()),
                  QPen(ToQColor(FIconColors->ForeGround()), 0.2));
    const int dot = DotSize();
    const double inset = (FIconSize - dot) / 2.0;
    DrawRoundRect(painter, QRectF(FIconRect).adjusted(inset, inset, -inset, -inset), dot,
                  ToQColor(FIconColors->Accent()));
    FXWindowsControl::PaintBuffer(painter);
}

void FXSlider::InteractionStateChanged(FXControlState AState) {
    Layout();
    UpdateDotTarget();
    FXWindowsControl::InteractionStateChanged(AState);
    if (AState != FXControlState::Press && FEnablePositionHint) FHint->setAutoHide(true);
}

void FXSlider::ScaleChanged(double Scaling) {
    FXWindowsControl::ScaleChanged(Scaling);
    FSliderHeight = int(std::lround(FSliderHeight * Scaling));
    FIconSize = int(std::lround(FIconSize * Scaling));
    PlaceThumb();
    Layout();
}

bool FXSlider::HandleKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    // The arrows along the track step the value instead of moving the focus.
    const bool horizontal = FOrientation == FXOrientation::Horizontal;
    if (horizontal && (Key == Qt::Key_Left || Key == Qt::Key_Right)) return true;
    if (!horizontal && (Key == Qt::Key_Up || Key == Qt::Key_Down)) return true;
    return FXWindowsControl::HandleKeyDown(Key, Shift);
}

void FXSlider::resizeEvent(QResizeEvent* event) {
    PlaceThumb();
    Layout();
    FXWindowsControl::resizeEvent(event);
}

void FXSlider::mousePressEvent(QMouseEvent* event) {
    FXWindowsControl::mousePressEvent(event);
    UpdateDotTarget();
    mouseMoveEvent(event);
    Invalidate();
}

void FXSlider::mouseMoveEvent(QMouseEvent* event) {
    if (event->type() == QEvent::MouseMove) FXWindowsControl::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();
    if (Interaction() == FXControlState::Press && (event->buttons() & Qt::LeftButton)) {
        const int travel = TrackLength() - FIconSize;
        const int offset = Along(point) - FIconSize / 2 - TrackStart();
        const double share = travel != 0 ? double(offset) / travel : 0.0;
        const qint64 value = FMin + std::llround(share * double(FMax - FMin));
        SetValue(value, Relayout::No, Change::User);
        if (FAlwaysSnap)
            PlaceThumb();
        else
            FPositionDraw = std::clamp(offset, 0, std::max(travel, 0));
        Layout();
        ShowPositionHint();
        Invalidate();
        return;
    }
    if (event->buttons() != Qt::NoButton) return;
    const bool overThumb = FOrientation == FXOrientation::Horizontal
                               ? point.y() >= FIconRect.top() && point.y() <= FIconRect.bottom()
                               : point.x() >= FIconRect.left() && point.x() <= FIconRect.right();
    if (rect().contains(point)) SetInteractionState(overThumb ? FXControlState::Hover : FXControlState::None);
    if (FAutomaticMouseCursor) {
        if (FIconRect.contains(point))
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    }
}

void FXSlider::mouseReleaseEvent(QMouseEvent* event) {
    FXWindowsControl::mouseReleaseEvent(event);
    PlaceThumb();
    Layout();
    ShowPositionHint();
    Invalidate();
    if (event->button() != Qt::LeftButton) return;
    UpdateDotTarget();
    if (FHint->IsVisible()) {
        FHint->setDuration(100);
        FHint->setAutoHide(true);
    }
}

void FXSlider::keyPressEvent(QKeyEvent* event) {
    const bool horizontal = FOrientation == FXOrientation::Horizontal;
    const qint64 page = std::max<qint64>(FSmallChange, (FMax - FMin) / 10);
    switch (event->key()) {
    case Qt::Key_Minus:
        StepBy(-FSmallChange);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        StepBy(FSmallChange);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (horizontal == (event->key() == Qt::Key_Left)) {
            StepBy(-FSmallChange);
            return;
        }
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (horizontal == (event->key() == Qt::Key_Right)) {
            StepBy(FSmallChange);
            return;
        }
        break;
    // Beyond the arrows, the keys every desktop slider answers: Page Up raises a
    // horizontal slider's value and moves a vertical one's thumb up, as elsewhere.
    case Qt::Key_PageUp:
        StepBy(horizontal ? page : -page);
        return;
    case Qt::Key_PageDown:
        StepBy(horizontal ? -page : page);
        return;
    case Qt::Key_Home:
        StepBy(FMin - FPosition);
        return;
    case Qt::Key_End:
        StepBy(FMax - FPosition);
        return;
    default:
        break;
    }
    FXWindowsControl::keyPressEvent(event);
}

void FXSlider::hideEvent(QHideEvent* event) {
    FFillTick->stop();
    FCenterFill = FDestinedFill;
    FHint->Hide();
    FXWindowsControl::hideEvent(event);
}

bool FXSlider::event(QEvent* event) {
    // The value hint stands in for the platform's tooltip.
    if (event->type() == QEvent::ToolTip && FEnablePositionHint) return true;
    return FXWindowsControl::event(event);
}
