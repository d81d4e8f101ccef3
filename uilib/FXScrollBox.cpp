#include "FXScrollBox.h"

#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXThemeManager.h"

#include <QChildEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <cstdlib>

namespace {

// A smooth scroll moves this many pixels per 1 ms tick.
constexpr int SmoothStep = 20;

} // namespace

FXScrollBoxScrollBar::FXScrollBoxScrollBar(FXScrollBox* box, FXOrientation orientation)
    : FXScrollbar(box), FBox(box) {
    setOrientation(orientation);
}

void FXScrollBoxScrollBar::UpdateRange() {
    const bool vertical = Orientation() == FXOrientation::Vertical;
    const int viewport = vertical ? FBox->height() - width() : FBox->width() - height();
    qint64 extent = 0;
    for (QObject* child : FBox->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget == FBox->ScrollBarVert() || widget == FBox->ScrollBarHorz()) continue;
        if (widget->isHidden() || widget->isWindow()) continue;
        const qint64 end = vertical ? widget->y() + Position() + widget->height() + FBox->ScrollExtendY()
                                    : widget->x() + Position() + widget->width() + FBox->ScrollExtendX();
        extent = std::max(extent, end);
    }
    qint64 range = extent - viewport;
    if (Position() == 0 && viewport >= extent) range = 0;
    if (range >= Position()) setMax(std::max<qint64>(range, 0));
    const bool enabled = vertical ? FBox->ScrollbarEnableVertical() : FBox->ScrollbarEnableHorizontal();
    setVisible(Max() > 0 && enabled);
}

FXScrollBox::FXScrollBox(QWidget* parent) : QWidget(parent) {
    FDrawColors = new FXCompleteColorSet(this);
    FCustomColors = new FXCompleteColorSets(this);
    FTimer = new QTimer(this);
    FTimer->setInterval(1);
    connect(FTimer, &QTimer::timeout, this, &FXScrollBox::SmoothTick);
    FVertScroll = new FXScrollBoxScrollBar(this, FXOrientation::Vertical);
    FHorzScroll = new FXScrollBoxScrollBar(this, FXOrientation::Horizontal);
    connect(FVertScroll, &FXScrollbar::OnChange, this, [this] { BarChanged(FVertScroll); });
    connect(FHorzScroll, &FXScrollbar::OnChange, this, [this] { BarChanged(FHorzScroll); });
    FVertScroll->hide();
    FHorzScroll->hide();
    resize(200, 150);
    UpdateColors();
}

FXScrollBox::~FXScrollBox() = default;

void FXScrollBox::setBackgroundColor(FXBackgroundColor value) {
    if (FBackground == value) return;
    FBackground = value;
    UpdateColors();
    update();
    FVertScroll->UpdateTheme(false);
    FHorzScroll->UpdateTheme(false);
}

void FXScrollBox::setScrollbarEnableVertical(bool value) {
    if (FEnableVertical == value) return;
    FEnableVertical = value;
    UpdateRanges();
}

void FXScrollBox::setScrollbarEnableHorizontal(bool value) {
    if (FEnableHorizontal == value) return;
    FEnableHorizontal = value;
    UpdateRanges();
}

void FXScrollBox::setScrollExtendX(int value) {
    FExtendX = value;
    UpdateRanges();
}

void FXScrollBox::setScrollExtendY(int value) {
    FExtendY = value;
    UpdateRanges();
}

bool FXScrollBox::IsContent(const QObject* child) const {
    return child != FVertScroll && child != FHorzScroll && child->isWidgetType() &&
           !static_cast<const QWidget*>(child)->isWindow();
}

void FXScrollBox::DestroyAll() {
    const QObjectList children = this->children();
    for (QObject* child : children)
        if (IsContent(child)) delete child;
    UpdateRanges();
}

void FXScrollBox::UpdateRanges() {
    if (FScrolling) return;
    FVertScroll->UpdateRange();
    FHorzScroll->UpdateRange();
    PlaceBars();
}

void FXScrollBox::PlaceBars() {
    const int thickness = FVertScroll->width();
    const int depth = FHorzScroll->height();
    FVertScroll->setGeometry(width() - thickness, 0, thickness, height());
    const int vertical = FVertScroll->isVisibleTo(this) ? thickness : 0;
    FHorzScroll->setGeometry(0, height() - depth, width() - vertical, depth);
    if (!FEnableVertical) FVertScroll->hide();
    if (!FEnableHorizontal) FHorzScroll->hide();
    FVertScroll->raise();
    FHorzScroll->raise();
}

void FXScrollBox::BarChanged(FXScrollBoxScrollBar* bar) {
    const int position = int(bar->Position());
    const QPoint delta = bar == FVertScroll ? QPoint(0, FPosY - position) : QPoint(FPosX - position, 0);
    if (bar == FVertScroll)
        FPosY = position;
    else
        FPosX = position;
    // The content moves; the bars stay where they are.
    FScrolling = true;
    for (QObject* child : children())
        if (IsContent(child)) {
            auto* widget = static_cast<QWidget*>(child);
            widget->move(widget->pos() + delta);
        }
    FScrolling = false;
    PlaceBars();
    update();
}

void FXScrollBox::UpdateTheme(bool UpdateChildren) {
    UpdateColors();
    PlaceBars();
    FVertScroll->UpdateTheme(true);
    FHorzScroll->UpdateTheme(true);
    update();
    if (!UpdateChildren) return;
    QList<QPointer<QObject>> children;
    for (QObject* child : this->children())
        if (IsContent(child)) children.append(child);
    for (const QPointer<QObject>& child : children)
        if (auto* control = dynamic_cast<FXControl*>(child.data())) control->UpdateTheme(true);
}

TColor FXScrollBox::Background() {
    return FBackground == FXBackgroundColor::Content ? FDrawColors->BackGroundInterior()
                                                     : FDrawColors->BackGround();
}

void FXScrollBox::UpdateColors() {
    if (ThemeManager == nullptr) return;
    if (FCustomColors->Enabled())
        FDrawColors->LoadFrom(*FCustomColors, ThemeManager->DarkTheme());
    else
        FDrawColors->Assign(ThemeManager->SystemColor());
}

void FXScrollBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Background()));
}

void FXScrollBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateRanges();
}

void FXScrollBox::wheelEvent(QWheelEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QPoint angle = event->angleDelta();
    bool horizontal = false;
    if (modifiers == Qt::ShiftModifier)
        horizontal = true;
    else if (modifiers != Qt::NoModifier) {
        event->ignore();
        return;
    }
    // A sideways wheel (or a touchpad swiped sideways) scrolls sideways.
    int delta = angle.y();
    if (delta == 0 && angle.x() != 0) {
        delta = angle.x();
        horizontal = true;
    } else if (horizontal && delta == 0) {
        delta = angle.x();
    }
    FXScrollBoxScrollBar* bar = horizontal ? FHorzScroll : FVertScroll;
    FXScrollBoxScrollBar* other = horizontal ? FVertScroll : FHorzScroll;
    if (!bar->isVisibleTo(this) && other->isVisibleTo(this)) bar = other;
    if (!bar->isVisibleTo(this) || delta == 0) {
        // Nothing to scroll here: an outer scrolling area may take the wheel.
        event->ignore();
        return;
    }
    const int sign = delta > 0 ? 1 : -1;
    const int amount = -sign * FScrollSpeed;
    if (FAnimation) {
        (bar == FVertScroll ? FAnimY : FAnimX) += amount;
        FTimer->start();
    } else {
        bar->setPosition(bar->Position() + amount);
    }
    event->accept();
}

void FXScrollBox::SmoothTick() {
    if (std::abs(FAnimX) <= SmoothStep && std::abs(FAnimY) <= SmoothStep) {
        FTimer->stop();
        FHorzScroll->setPosition(FHorzScroll->Position() + FAnimX);
        FVertScroll->setPosition(FVertScroll->Position() + FAnimY);
        FAnimX = FAnimY = 0;
        return;
    }
    const auto step = [](FXScrollBoxScrollBar* bar, int& pending) {
        if (std::abs(pending) <= SmoothStep) return;
        const int move = pending > 0 ? SmoothStep : -SmoothStep;
        bar->setPosition(bar->Position() + move);
        pending -= move;
        if (bar->Position() <= 0 || bar->Position() >= bar->Max()) pending = 0;
    };
    step(FHorzScroll, FAnimX);
    step(FVertScroll, FAnimY);
}

bool FXScrollBox::event(QEvent* event) {
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (event->type() == QEvent::ChildAdded && child->isWidgetType() && child != FVertScroll &&
            child != FHorzScroll)
            child->installEventFilter(this);
        // A child being added is not built yet: look at the content once it is.
        QTimer::singleShot(0, this, &FXScrollBox::UpdateRanges);
    }
    return QWidget::event(event);
}

bool FXScrollBox::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched->parent() == this && IsContent(watched)) UpdateRanges();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
