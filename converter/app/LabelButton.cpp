#include "LabelButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool IsSpokenCharacter(char32_t code) {
    const QChar::Script script = QChar::script(code);
    if (script != QChar::Script_Latin && script != QChar::Script_Common && script != QChar::Script_Inherited)
        return false;
    switch (QChar::category(code)) {
    case QChar::Symbol_Other:
    case QChar::Symbol_Modifier:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Other_Surrogate:
        return false;
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
        // Variation selectors and keycaps only dress up a pictograph.
        return code < 0xFE00 || code > 0xFE0F;
    default:
        return code < 0x2190 || code > 0x2BFF; // arrows, technical and dingbat blocks
    }
}

class TLabelButtonAccessible : public QAccessibleWidget {
  public:
    explicit TLabelButtonAccessible(TLabelButton* button) : QAccessibleWidget(button, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text t) const override {
        const auto* button = static_cast<const TLabelButton*>(widget());
        switch (t) {
        case QAccessible::Name:
            return button->SpokenName();
        case QAccessible::Description:
            return button->accessibleDescription().isEmpty() ? button->toolTip()
                                                             : button->accessibleDescription();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled()) static_cast<TLabelButton*>(widget())->Click();
    }
};

QAccessibleInterface* LabelButtonFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TLabelButton") && object && object->isWidgetType())
        return new TLabelButtonAccessible(static_cast<TLabelButton*>(object));
    return nullptr;
}

} // namespace

QString SpokenText(const QString& caption) {
    QString spoken;
    for (const char32_t code : caption.toUcs4()) {
        if (IsSpokenCharacter(code))
            spoken += QString::fromUcs4(&code, 1);
        else
            spoken += QLatin1Char(' ');
    }
    return spoken.simplified();
}

bool IsSpokenText(const QString& text) {
    for (const char32_t code : text.toUcs4()) {
        if (!IsSpokenCharacter(code)) return false;
    }
    return true;
}

void InstallLabelButtonAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(LabelButtonFactory);
}

TLabelButton::TLabelButton(QWidget* parent) : QLabel(parent) {
    InstallLabelButtonAccessibility();
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
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

QString TLabelButton::SpokenName() const {
    return accessibleName().isEmpty() ? SpokenText(text()) : accessibleName();
}

void TLabelButton::Click() {
    if (!isEnabled()) return;
    emit released(Qt::LeftButton);
    emit clicked();
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

void TLabelButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || FKeyDown != 0) return;
    FKeyDown = key;
    Shift(-60);
}

void TLabelButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != FKeyDown || event->isAutoRepeat()) {
        QLabel::keyReleaseEvent(event);
        return;
    }
    event->accept();
    FKeyDown = 0;
    Shift(60);
    Click();
}

void TLabelButton::focusOutEvent(QFocusEvent* event) {
    // A key held while the focus moves away must not leave the button pressed.
    if (FKeyDown != 0) {
        FKeyDown = 0;
        Shift(60);
    }
    QLabel::focusOutEvent(event);
}

void TLabelButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Color());
    // The caption stays white also while the button is disabled: the palette's
    // disabled text follows the window's theme and would vanish on the
    // designed colours of a light window.
    painter.setPen(Qt::white);
    painter.setFont(font());
    const int inset = margin();
    painter.drawText(contentsRect().adjusted(inset, inset, -inset, -inset), int(alignment()), text());
    if (!hasFocus()) return;
    // White over black reads on every designed colour, light or dark.
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}
