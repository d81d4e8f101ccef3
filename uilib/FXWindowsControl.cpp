#include "FXWindowsControl.h"

#include "FXCompleteColorSet.h"
#include "FXDrawing.h"
#include "FXPadding.h"
#include "FXThemeManager.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <cmath>

FXWindowsControl::FXWindowsControl(QWidget* parent) : FXBufferedControl(parent) {
    InstallAccessibleControls();
    FPadding = new FXPadding(this);
    if (ThemeManager != nullptr) setFont(FXFont(ThemeManager->FormFont(), ThemeManager->FormFontHeight()));
    setFocusPolicy(Qt::StrongFocus);
}

FXWindowsControl::~FXWindowsControl() = default;

void FXWindowsControl::setTransparent(bool value) {
    if (FTransparent == value) return;
    FTransparent = value;
    Invalidate();
}

void FXWindowsControl::setOpacity(int value) {
    value = std::clamp(value, 0, 255);
    if (FOpacity == value) return;
    FOpacity = value;
    Invalidate();
}

void FXWindowsControl::setAutoFocusLine(bool value) {
    if (FAutoFocusLine == value) return;
    FAutoFocusLine = value;
    update();
}

QMargins FXWindowsControl::PaddingFill() const {
    return FPadding->Margins();
}

void FXWindowsControl::setPaddingFill(const QMargins& value) {
    FPadding->setMargins(value);
}

QRect FXWindowsControl::GetClientRect() const {
    return FPadding->ApplyTo(QRect(0, 0, width(), height()));
}

TColor FXWindowsControl::GetParentBackgroundColor(TColor Default) const {
    if (auto* parent = dynamic_cast<FXControl*>(parentWidget())) return parent->Background();
    return Default;
}

QString FXWindowsControl::AccessibleText() const {
    return accessibleName().isEmpty() ? toolTip() : accessibleName();
}

void FXWindowsControl::UpdateFocusRect() {
    FFocusRect = GetClientRect().adjusted(0, 0, -2, -2);
}

void FXWindowsControl::ScaleChanged(double Scaling) {
    QFont scaled = font();
    scaled.setPixelSize(std::max(1, int(std::lround(QFontInfo(font()).pixelSize() * Scaling))));
    setFont(scaled);
    FPadding->ScaleChanged(Scaling);
}

bool FXWindowsControl::HandleKeyDown(int Key, Qt::KeyboardModifiers) {
    if (!FFocusFlags) return false;
    switch (Key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return FFocusFlags.testFlag(FXFocusFlag::CatchTab);
    case Qt::Key_Left:
        return FFocusFlags.testFlag(FXFocusFlag::CatchLeft);
    case Qt::Key_Up:
        return FFocusFlags.testFlag(FXFocusFlag::CatchUp);
    case Qt::Key_Right:
        return FFocusFlags.testFlag(FXFocusFlag::CatchRight);
    case Qt::Key_Down:
        return FFocusFlags.testFlag(FXFocusFlag::CatchDown);
    default:
        return false;
    }
}

void FXWindowsControl::InteractionStateChanged(FXControlState) {
    Invalidate();
}

void FXWindowsControl::PaintScreen(QPainter& painter) {
    const QImage& buffer = Buffer();
    if (buffer.isNull()) return;
    if (FOpacity == 255) {
        painter.drawImage(QPoint(0, 0), buffer);
    } else {
        painter.drawImage(QPoint(0, 0), BackgroundImage());
        painter.setOpacity(FOpacity / 255.0);
        painter.drawImage(QPoint(0, 0), buffer);
        painter.setOpacity(1);
    }
    if (FAutoFocusLine && hasFocus() && FHasEnteredTab && !(ThemeManager && ThemeManager->Designing())) {
        UpdateFocusRect();
        const TColor outline = ThemeManager ? ThemeManager->SystemColor()->ForeGround() : 0;
        DrawRoundRect(painter, QRectF(FFocusRect).adjusted(1, 1, 1, 1), 8, Qt::transparent,
                      QPen(ToQColor(outline), 2));
    }
}

void FXWindowsControl::enterEvent(QEnterEvent* event) {
    FXBufferedControl::enterEvent(event);
    emit OnMouseEnter();
}

void FXWindowsControl::leaveEvent(QEvent* event) {
    FXBufferedControl::leaveEvent(event);
    emit OnMouseLeave();
}

void FXWindowsControl::mousePressEvent(QMouseEvent* event) {
    FXBufferedControl::mousePressEvent(event);
    if (Interaction() == FXControlState::Press && !hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (FHasEnteredTab) {
        FHasEnteredTab = false;
        if (FAutoFocusLine) update();
    }
}

void FXWindowsControl::focusInEvent(QFocusEvent* event) {
    FXBufferedControl::focusInEvent(event);
    if (FAutoFocusLine && Interaction() != FXControlState::Press && event->reason() != Qt::MouseFocusReason) {
        FHasEnteredTab = true;
        update();
    }
}

void FXWindowsControl::focusOutEvent(QFocusEvent* event) {
    FXBufferedControl::focusOutEvent(event);
    if (FAutoFocusLine) {
        FHasEnteredTab = false;
        update();
    }
}

void FXWindowsControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (arrow && !HandleKeyDown(key, event->modifiers())) {
        // Arrows move between controls, as in a dialog, unless the control keeps them.
        focusNextPrevChild(key == Qt::Key_Right || key == Qt::Key_Down);
        return;
    }
    if (arrow) return; // kept by the control, whether it used it or not
    FXBufferedControl::keyPressEvent(event);
}

bool FXWindowsControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Polish:
        if (!FCreated) {
            FCreated = true;
            ComponentCreated();
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            HandleKeyDown(key->key(), key->modifiers())) {
            keyPressEvent(key);
            // Accepted, so the key does not travel on to the parent's navigation.
            key->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return FXBufferedControl::event(event);
}

void FXWindowsControl::changeEvent(QEvent* event) {
    FXBufferedControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        UpdateTheme(false);
        Invalidate();
    } else if (event->type() == QEvent::FontChange) {
        FontUpdate();
    }
}

namespace {

class FXAccessibleControl : public QAccessibleWidget {
  public:
    explicit FXAccessibleControl(FXWindowsControl* control)
        : QAccessibleWidget(control, control->AccessibleRole()), FControl(control) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return FControl->AccessibleText();
        return QAccessibleWidget::text(t);
    }

  private:
    FXWindowsControl* FControl;
};

QAccessibleInterface* AccessibleFactory(const QString&, QObject* object) {
    if (auto* control = qobject_cast<FXWindowsControl*>(object)) {
        if (QAccessibleInterface* own = control->CreateAccessibleInterface()) return own;
        return new FXAccessibleControl(control);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFactory);
        return true;
    }();
    (void)installed;
}
