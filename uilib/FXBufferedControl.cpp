#include "FXBufferedControl.h"

#include "FXDrawing.h"
#include "FXFormReading.h"

#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

FXBufferedControl::FXBufferedControl(QWidget* parent) : QWidget(parent) {
    // The buffer covers every pixel, including what lies behind transparent parts.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
}

FXBufferedControl::~FXBufferedControl() = default;

void FXBufferedControl::setColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Invalidate();
}

void FXBufferedControl::Invalidate() {
    // A painter may store its colour with setColor while it draws: that only repaints the screen.
    if (parentWidget() != nullptr && !FPainting) {
        FPainting = true;
        EnsureBufferSize();
        if (!FBuffer.isNull()) {
            FBuffer.fill(ToQColor(FColor));
            QPainter painter(&FBuffer);
            PaintBuffer(painter);
        }
        FPainting = false;
        if (!FXFormReading::Active()) InvalidateControlsAbove();
    }
    update();
}

void FXBufferedControl::EnsureBufferSize() {
    const qreal ratio = devicePixelRatioF();
    const QSize size(std::max(0, width()), std::max(0, height()));
    const QSize pixels = size * ratio;
    if (FBuffer.size() == pixels && FBuffer.devicePixelRatio() == ratio) return;
    if (pixels.isEmpty()) {
        FBuffer = QImage();
        FBackground = QImage();
        return;
    }
    FBuffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    FBuffer.setDevicePixelRatio(ratio);
    FBackground = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    FBackground.setDevicePixelRatio(ratio);
}

QList<FXBufferedControl*> ThemedChildren(const QWidget* parent) {
    QList<FXBufferedControl*> result;
    if (parent == nullptr) return result;
    for (QObject* child : parent->children())
        if (auto* control = qobject_cast<FXBufferedControl*>(child)) result.append(control);
    return result;
}

void FXBufferedControl::InvalidateControlsAbove() {
    // One walk up the stack redraws every control that this one shows through,
    // directly or through the controls between them, once and lowest first.
    // Letting each redraw start a walk of its own would redraw the controls
    // near the top once per path to them: exponentially often in a pile of
    // overlapping controls, as every control is before a layout places it.
    static bool walking = false;
    if (walking) return;
    walking = true;
    QRegion changed(geometry());
    bool above = false;
    for (FXBufferedControl* sibling : ThemedChildren(parentWidget())) {
        if (sibling == this) {
            above = true;
            continue;
        }
        if (!above || sibling->isHidden() || !sibling->IsTransparentControl()) continue;
        if (!changed.intersects(sibling->geometry())) continue;
        sibling->Invalidate();
        changed += sibling->geometry();
    }
    walking = false;
}

void FXBufferedControl::Inflate(int up, int right, int left, int down) {
    setGeometry(geometry().adjusted(-left, -up, right, down));
}

void FXBufferedControl::PaintBuffer(QPainter& painter) {
    if (FOnPaintBuffer) FOnPaintBuffer(painter);
}

void FXBufferedControl::InteractionStateChanged(FXControlState) {}

void FXBufferedControl::OpenPopupMenu(const QPoint& point) {
    if (FPopupMenu) FPopupMenu->popup(mapToGlobal(point));
}

void FXBufferedControl::SetInteractionState(FXControlState AState, bool Force, bool RememberPrevious) {
    if (FInteraction == AState && !Force) return;
    if (RememberPrevious) FPreviousInteraction = FInteraction;
    FInteraction = AState;
    InteractionStateChanged(AState);
}

void FXBufferedControl::DrawBackground(QPainter& painter) {
    if (FBackground.isNull()) return;
    FBackground.fill(ToQColor(FColor));
    if (IsTransparentControl() && parentWidget() != nullptr) {
        QPainter background(&FBackground);
        for (FXBufferedControl* sibling : ThemedChildren(parentWidget())) {
            if (sibling == this) break;
            if (sibling->isHidden() || sibling->Buffer().isNull()) continue;
            if (!sibling->geometry().intersects(geometry())) continue;
            background.drawImage(sibling->pos() - pos(), sibling->Buffer());
        }
    }
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), FBackground);
    painter.restore();
}

void FXBufferedControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    SetInteractionState(FXControlState::Hover);
}

void FXBufferedControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    SetInteractionState(FXControlState::None);
}

void FXBufferedControl::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (FInteraction == FXControlState::Hover && event->button() == Qt::LeftButton)
        SetInteractionState(FXControlState::Press);
}

void FXBufferedControl::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    SetInteractionState(rect().contains(event->position().toPoint()) ? FXControlState::Hover
                                                                     : FXControlState::None);
    if (event->button() == Qt::RightButton) OpenPopupMenu(event->position().toPoint());
}

void FXBufferedControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Invalidate();
}

void FXBufferedControl::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!FXFormReading::Active()) InvalidateControlsAbove();
}

void FXBufferedControl::PaintScreen(QPainter& painter) {
    if (!FBuffer.isNull()) painter.drawImage(QPoint(0, 0), FBuffer);
}

void FXBufferedControl::PaintOnPaint() {
    if (FOnPaint) FOnPaint();
}

void FXBufferedControl::paintEvent(QPaintEvent*) {
    // A buffer made before the control had its final size, or on a screen of
    // another pixel ratio, is redrawn first.
    if (FBuffer.size() != QSize(std::max(0, width()), std::max(0, height())) * devicePixelRatioF())
        Invalidate();
    {
        QPainter painter(this);
        PaintScreen(painter);
    }
    PaintOnPaint();
}

bool FXBufferedControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        // What lies beneath the controls above has changed.
        if (!FXFormReading::Active()) InvalidateControlsAbove();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}
