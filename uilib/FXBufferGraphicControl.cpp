#include "FXBufferGraphicControl.h"

FXBufferGraphicControl::FXBufferGraphicControl(QWidget* parent) : FXBufferedControl(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void FXBufferGraphicControl::enterEvent(QEnterEvent* event) {
    FXBufferedControl::enterEvent(event);
    emit OnMouseEnter();
}

void FXBufferGraphicControl::leaveEvent(QEvent* event) {
    FXBufferedControl::leaveEvent(event);
    emit OnMouseLeave();
}
