#include "LabelButton.h"

#include <QMouseEvent>
#include <QPainter>

TLabelButton::TLabelButton(QWidget* parent) : QLabel(parent) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAlignment(Qt::AlignCenter);
}

QColor TLabelButton::Color() const {
    return QColor(GetRValue(FColor), GetGValue(FColor), GetBValue(FColor));
}

void TLabelButton::setColor(const QColor& value) {
    const TColor color = RGB(value.red(), value.green(), value.blue());
    if (FColor == color) return;
    FColor = color;
    update();
}

void TLabelButton::setTag(int value) {
    FTag = value;
}

void TLabelButton::Shift(int amount) {
    FColor = ChangeLightness(FColor, amount);
    update();
}

void TLabelButton::enterEvent(QEnterEvent* event) {
    Shift(20);
    QLabel::enterEvent(event);
}

void TLabelButton::leaveEvent(QEvent* event) {
    Shift(-20);
    QLabel::leaveEvent(event);
}

void TLabelButton::mousePressEvent(QMouseEvent* event) {
    Shift(-60);
    event->accept();
}

void TLabelButton::mouseReleaseEvent(QMouseEvent* event) {
    Shift(60);
    event->accept();
    const Qt::MouseButton button = event->button();
    const bool inside = rect().contains(event->position().toPoint());
    emit released(button);
    if (button == Qt::LeftButton && inside) emit clicked();
}

void TLabelButton::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), Color());
    }
    QLabel::paintEvent(event);
}
