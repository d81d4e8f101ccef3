#include "GalleryControls.h"

#include "ColorFunctions.h"
#include "FXDrawing.h"

#include <QPainter>

GallerySwatch::GallerySwatch(const QString& text, QWidget* parent) : FXWindowsControl(parent), FText(text) {
    setAutoFocusLine(true);
}

void GallerySwatch::PinState(FXControlState state) {
    SetInteractionState(state, true);
}

void GallerySwatch::setFill(TColor value) {
    if (FFill == value) return;
    FFill = value;
    Invalidate();
}

void GallerySwatch::PaintBuffer(QPainter& painter) {
    setColor(GetParentBackgroundColor(Color()));
    DrawBackground(painter);
    const int shift = Interaction() == FXControlState::Hover   ? 25
                      : Interaction() == FXControlState::Press ? -25
                                                               : 0;
    const TColor fill = ChangeLightness(FFill, shift);
    DrawRoundRect(painter, QRectF(GetClientRect()).adjusted(0.5, 0.5, -1.5, -1.5), 16, ToQColor(fill, 200));
    painter.setFont(font());
    painter.setPen(ToQColor(GetContrastTextColor(fill)));
    DrawTextRect(painter, GetClientRect(), FText, FXTextFlag::Center | FXTextFlag::VerticalCenter);
    FXWindowsControl::PaintBuffer(painter);
}
