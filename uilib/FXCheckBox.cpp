#include "FXCheckBox.h"

#include "ColorFunctions.h"
#include "FXAccessibleStatus.h"
#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXFormReading.h"
#include "FXIconSelect.h"
#include "FXSingleColorStateSet.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

constexpr char16_t BoxOutline = 0xE003;
constexpr char16_t BoxChecked = 0xE005;
constexpr char16_t BoxFilled = 0xE73B;
constexpr char16_t BoxMixed = 0xE73C;

// A rectangle from its edges, the right and bottom ones exclusive.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

QString Glyph(char16_t codePoint, const QFont& font) {
    return SymbolText(QString(QChar(codePoint)), font.family());
}

QPoint PartWay(const QPoint& from, const QPoint& to, double fraction) {
    return from + QPoint(int(std::nearbyint(fraction * (to.x() - from.x()))),
                         int(std::nearbyint(fraction * (to.y() - from.y()))));
}

} // namespace

FXCheckBox::FXCheckBox(QWidget* parent) : FXWindowsControl(parent) {
    FIconFont.setFamily(ThemeManager != nullptr ? ThemeManager->IconFont() : QString(MaterialIconFont));
    FIconFont.setPointSize(16);
    FCustomColors = new FXColorSets(this, false);
    FIconAccentColors = new FXSingleColorStateSet(this);
    FDrawColors = new FXCompleteColorSet(this);
    FImage = new FXIconSelect(this);
    FAnimateTimer = new QTimer(this);
    FAnimateTimer->setInterval(1);
    connect(FAnimateTimer, &QTimer::timeout, this, &FXCheckBox::AnimateTick);
    setAutoFocusLine(true);
    resize(180, 30);
    DoLayout();
    UpdateColors();
}

FXCheckBox::~FXCheckBox() = default;

void FXCheckBox::setIconFont(const QFont& value) {
    if (FIconFont == value) return;
    FIconFont = value;
    DoLayout();
    Invalidate();
}

void FXCheckBox::setAllowGrayed(bool value) {
    if (FAllowGrayed == value) return;
    FAllowGrayed = value;
    if (!value && FState == FXCheckBoxState::Grayed) {
        FState = FXCheckBoxState::Unchecked;
        Invalidate();
    }
}

void FXCheckBox::setState(FXCheckBoxState value) {
    if (FState == value) return;
    // A box nobody sees gets its whole tick at once.
    const bool animate =
        FAnimationEnabled && value == FXCheckBoxState::Checked && FState == FXCheckBoxState::Unchecked &&
        !(ThemeManager && ThemeManager->Designing()) && !FXFormReading::Active() && isVisible();
    if (animate) {
        FAnimationStatus = 0;
        FAnimateTimer->start();
    } else {
        FAnimationStatus = 100;
        FAnimateTimer->stop();
    }
    FState = value;
    emit OnChange();
    Invalidate();
    QAccessible::State changed;
    changed.checked = true;
    changed.checkStateMixed = true;
    NotifyAccessibleState(this, changed);
}

void FXCheckBox::setTextSpacing(int value) {
    if (FTextSpacing == value) return;
    FTextSpacing = value;
    DoLayout();
    Invalidate();
}

void FXCheckBox::setText(const QString& value) {
    if (FText == value) return;
    FText = value;
    Invalidate();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void FXCheckBox::setAutomaticCursorPointer(bool value) {
    FAutomaticMouseCursor = value;
    // The cursor follows the pointer over the box, which needs moves without a button held.
    setMouseTracking(value);
    if (!value) unsetCursor();
}

void FXCheckBox::setWordWrap(bool value) {
    if (FWordWrap == value) return;
    FWordWrap = value;
    Invalidate();
}

void FXCheckBox::setImageScale(double value) {
    if (FImageScale == value) return;
    FImageScale = value;
    DoLayout();
    Invalidate();
}

void FXCheckBox::setLayout(FXDrawLayout value) {
    if (FLayout == value) return;
    FLayout = value;
    DoLayout();
    Invalidate();
}

void FXCheckBox::Toggle() {
    switch (FState) {
    case FXCheckBoxState::Unchecked:
        setState(FXCheckBoxState::Checked);
        break;
    case FXCheckBoxState::Checked:
        setState(FAllowGrayed ? FXCheckBoxState::Grayed : FXCheckBoxState::Unchecked);
        break;
    case FXCheckBoxState::Grayed:
        setState(FXCheckBoxState::Unchecked);
        break;
    }
}

void FXCheckBox::AnimateTick() {
    FAnimationStatus += 5;
    Invalidate();
    if (FAnimationStatus > 99) {
        FAnimationStatus = 100;
        FAnimateTimer->stop();
    }
}

void FXCheckBox::UpdateTheme(bool) {
    UpdateColors();
    DoLayout();
    Invalidate();
}

TColor FXCheckBox::Background() {
    return FDrawColors->BackGround();
}

QString FXCheckBox::AccessibleText() const {
    return accessibleName().isEmpty() ? FText : accessibleName();
}

QAccessibleInterface* FXCheckBox::CreateAccessibleInterface() {
    return new FXAccessibleStatus(
        this, AccessibleRole(), [this] { return AccessibleText(); },
        [this](QAccessible::State& state) {
            state.checkable = true;
            state.checked = FState == FXCheckBoxState::Checked;
            state.checkStateMixed = FState == FXCheckBoxState::Grayed;
        });
}

void FXCheckBox::UpdateColors() {
    if (ThemeManager == nullptr) return;
    FDrawColors->Assign(ThemeManager->SystemColor());
    if (!isEnabled()) {
        FDrawColors->setForeGround(0x808080);
        FIconAccentColors->LoadColors(0x808080, ChangeLightness(0x808080, 25),
                                      ChangeLightness(0x808080, -25));
        return;
    }
    const bool dark = ThemeManager->DarkTheme();
    if (FCustomColors->Enabled()) {
        FDrawColors->setAccent(FCustomColors->Accent());
        FDrawColors->setForeGround(dark ? FCustomColors->DarkForeGround() : FCustomColors->LightForeGround());
        FDrawColors->setBackGround(dark ? FCustomColors->DarkBackGround() : FCustomColors->LightBackGround());
    } else {
        FDrawColors->setAccent(ThemeManager->AccentColor());
        FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));
    }
    const TColor accent = FDrawColors->Accent();
    FIconAccentColors->LoadColors(accent, ChangeLightness(accent, 25), ChangeLightness(accent, -25));
}

void FXCheckBox::Invalidate() {
    if (FLayoutSize != size() || FLayoutWithImage != FImage->Enabled()) DoLayout();
    FXWindowsControl::Invalidate();
}

void FXCheckBox::DoLayout() {
    FLayoutSize = size();
    FLayoutWithImage = FImage->Enabled();
    FDrawRect = GetClientRect();
    const int gw = QFontMetrics(FIconFont).horizontalAdvance(Glyph(BoxOutline, FIconFont));
    const int s = FTextSpacing;
    const int a = FImage->Enabled() ? int(std::nearbyint(FImageScale * QFontMetrics(font()).height())) : 0;
    const int l = FDrawRect.left(), t = FDrawRect.top();
    const int r = l + FDrawRect.width(), b = t + FDrawRect.height();
    switch (FLayout) {
    case FXDrawLayout::Left:
        FIconRect = Edges(l, t, l + gw + 2 * s, b);
        FTextRect = Edges(l + gw + 3 * s, t, r, b);
        FTextLayout = FXLayout::Beginning;
        break;
    case FXDrawLayout::Right:
        FIconRect = Edges(r - gw - s, t, r, b);
        FTextRect = Edges(l, t, r - gw - s - 2 * s, b);
        FTextLayout = FXLayout::Beginning;
        break;
    case FXDrawLayout::Top:
        FIconRect = QRect(l + (FDrawRect.width() - gw) / 2, t, gw, gw);
        FTextRect = Edges(l, gw + 3 * s, r, b);
        FTextLayout = FXLayout::Center;
        break;
    case FXDrawLayout::Bottom:
        FIconRect = QRect(l + (FDrawRect.width() - gw) / 2, b - gw, gw, gw);
        FTextRect = Edges(l, t, r, b - gw + 2 * s);
        FTextLayout = FXLayout::Center;
        break;
    }
    FImageRect = QRect();
    if (!FImage->Enabled()) return;
    if (FLayout == FXDrawLayout::Left || FLayout == FXDrawLayout::Right) {
        FImageRect = Edges(FTextRect.left(), t, FTextRect.left() + a, b);
        FTextRect.setLeft(FImageRect.left() + FImageRect.width() + s);
    } else {
        FImageRect = Edges(l, FTextRect.top(), r, FTextRect.top() + a);
        FTextRect.setTop(FImageRect.top() + FImageRect.height() + s);
    }
}

FXCheckBox::TickStrokes FXCheckBox::Tick() const {
    // The tick lives in a square as wide as the icon area, centred on it vertically.
    QRect square = FIconRect;
    square.translate(0, square.height() / 2 - square.width() / 2);
    square.setHeight(square.width());
    const int w = square.width();
    const QPoint c((square.left() + square.left() + w) / 2, (square.top() + square.top() + w) / 2);
    TickStrokes tick;
    tick.P1 = QPoint(c.x() - w / 6, c.y() - w / 18);
    tick.P2 = QPoint(c.x() - w / 12, c.y() + w / 10);
    tick.P3 = QPoint(c.x() + w / 6, c.y() - w / 7);
    if (FAnimationStatus <= 50)
        tick.First = QLine(tick.P1, PartWay(tick.P1, tick.P2, FAnimationStatus / 50.0));
    else
        tick.First = QLine(tick.P1, tick.P2);
    if (FAnimationStatus > 50)
        tick.Second = QLine(tick.P2, PartWay(tick.P2, tick.P3, (FAnimationStatus - 50) / 50.0));
    return tick;
}

void FXCheckBox::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);

    painter.setFont(font());
    painter.setPen(ToQColor(FDrawColors->ForeGround()));
    FXTextFlags flags = FXTextFlag::VerticalCenter;
    flags |= FTextLayout == FXLayout::Beginning ? FXTextFlag::Left
             : FTextLayout == FXLayout::Center  ? FXTextFlag::Center
                                                : FXTextFlag::Right;
    if (FWordWrap) flags |= FXTextFlag::WordWrap;
    DrawTextRect(painter, FTextRect, FText, flags);

    const QColor glyph = ToQColor(FIconAccentColors->GetColor(Interaction()));
    const QColor background = ToQColor(FDrawColors->BackGround());
    painter.setFont(FIconFont);
    painter.setPen(glyph);
    if (FImage->Enabled()) FImage->DrawIcon(painter, FImageRect);

    const auto drawGlyph = [&](char16_t codePoint, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(FIconRect, Qt::AlignCenter | Qt::TextSingleLine, Glyph(codePoint, painter.font()));
    };
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen line(background, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (FState) {
    case FXCheckBoxState::Unchecked:
        drawGlyph(BoxOutline, ToQColor(FDrawColors->ForeGround()));
        break;
    case FXCheckBoxState::Grayed:
        drawGlyph(BoxFilled, glyph);
        if (FAnimationEnabled) {
            const int w = FIconRect.width();
            const int cy = FIconRect.top() + FIconRect.height() / 2;
            painter.setPen(line);
            painter.drawLine(QPoint(FIconRect.left() + int(std::nearbyint(0.3 * w)), cy),
                             QPoint(FIconRect.left() + w - int(std::nearbyint(0.3 * w)) - 1, cy));
        } else {
            drawGlyph(BoxMixed, background);
        }
        break;
    case FXCheckBoxState::Checked:
        if (FAnimationEnabled) {
            drawGlyph(BoxOutline, glyph);
            QFont larger = FIconFont;
            larger.setPointSizeF(FIconFont.pointSizeF() + 1);
            painter.setFont(larger);
            drawGlyph(BoxFilled, glyph);
            const TickStrokes tick = Tick();
            painter.setPen(line);
            if (tick.First) painter.drawLine(*tick.First);
            if (tick.Second) painter.drawLine(*tick.Second);
        } else {
            drawGlyph(BoxChecked, glyph);
        }
        break;
    }
    FXWindowsControl::PaintBuffer(painter);
}

void FXCheckBox::ScaleChanged(double Scaling) {
    FXWindowsControl::ScaleChanged(Scaling);
    FIconFont.setPointSizeF(double(std::lround(FIconFont.pointSizeF() * Scaling)));
    FTextSpacing = int(std::lround(FTextSpacing * Scaling));
    DoLayout();
}

void FXCheckBox::resizeEvent(QResizeEvent* event) {
    DoLayout();
    FXWindowsControl::resizeEvent(event);
}

void FXCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        Toggle();
    FXWindowsControl::mouseReleaseEvent(event);
}

void FXCheckBox::mouseMoveEvent(QMouseEvent* event) {
    FXWindowsControl::mouseMoveEvent(event);
    if (!FAutomaticMouseCursor) return;
    if (FIconRect.contains(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void FXCheckBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A held key repeats; one press is one toggle.
        if (!event->isAutoRepeat()) Toggle();
        event->accept();
        return;
    }
    FXWindowsControl::keyPressEvent(event);
}
