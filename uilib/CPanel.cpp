#include "CPanel.h"

#include "FXDrawing.h"
#include "FXLegacyAccentCache.h"

#include <QPainter>

CPanel::CPanel(QWidget* parent) : QWidget(parent) {}

void CPanel::setUseAccentColor(CAccentColor value) {
    FAccent = value;
    update();
}

QColor CPanel::PanelColor() const {
    if (FAccent != CAccentColor::None) return ToQColor(GetLegacyAccentColor(FAccent));
    return palette().color(QPalette::Window);
}

void CPanel::paintEvent(QPaintEvent*) {
    // Without an accent the panel shows its parent through, as a panel in its parent's colour.
    if (FAccent == CAccentColor::None && !autoFillBackground()) return;
    QPainter painter(this);
    painter.fillRect(rect(), PanelColor());
}
