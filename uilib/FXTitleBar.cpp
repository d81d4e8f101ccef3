#include "FXTitleBar.h"

#include "FXForm.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWindow>

namespace {
constexpr int ButtonWidth = 46;

QString ButtonName(FXTitleBarButtonKind kind) {
    switch (kind) {
    case FXTitleBarButtonKind::Minimise:
        return QObject::tr("Minimise");
    case FXTitleBarButtonKind::Maximise:
        return QObject::tr("Maximise");
    case FXTitleBarButtonKind::Restore:
        return QObject::tr("Restore");
    case FXTitleBarButtonKind::Close:
        return QObject::tr("Close");
    }
    return {};
}
} // namespace

bool StartSystemMove(QWidget* window) {
    QWindow* handle = window ? window->windowHandle() : nullptr;
    return handle != nullptr && handle->startSystemMove();
}

bool StartSystemResize(QWidget* window, Qt::Edges edges) {
    QWindow* handle = window ? window->windowHandle() : nullptr;
    return handle != nullptr && handle->startSystemResize(edges);
}

FXTitleBar::FXTitleBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TitleBar"));
    resize(parent ? parent->width() : 400, 32);
    FMinimise = new FXTitleBarButton(FXTitleBarButtonKind::Minimise, this);
    FMaximise = new FXTitleBarButton(FXTitleBarButtonKind::Maximise, this);
    FClose = new FXTitleBarButton(FXTitleBarButtonKind::Close, this);
    connect(FMinimise, &QAbstractButton::clicked, this, [this] { window()->showMinimized(); });
    connect(FMaximise, &QAbstractButton::clicked, this,
            [this] { window()->isMaximized() ? window()->showNormal() : window()->showMaximized(); });
    connect(FClose, &QAbstractButton::clicked, this, [this] { window()->close(); });
    if (parent != nullptr) window()->installEventFilter(this);
    LayoutButtons();
}

void FXTitleBar::setColors(const TitleBarColors& value) {
    FColors = value;
    update();
    FMinimise->update();
    FMaximise->update();
    FClose->update();
}

void FXTitleBar::setShowCaption(bool value) {
    if (FShowCaption == value) return;
    FShowCaption = value;
    update();
}

QRect FXTitleBar::CaptionRect() const {
    const int buttons =
        (FMinimise->isVisible() ? ButtonWidth : 0) + (FMaximise->isVisible() ? ButtonWidth : 0) + ButtonWidth;
    return QRect(12, 0, std::max(0, width() - buttons - 12), height());
}

void FXTitleBar::LayoutButtons() {
    int right = width();
    for (FXTitleBarButton* button : {FClose, FMaximise, FMinimise}) {
        if (button->isHidden()) continue;
        right -= ButtonWidth;
        button->setGeometry(right, 0, ButtonWidth, height());
    }
}

void FXTitleBar::UpdateButtons() {
    QWidget* form = window();
    auto* themed = qobject_cast<FXForm*>(form);
    const bool resizable = themed ? themed->IsResizable() : form->minimumSize() != form->maximumSize();
    FMaximise->setVisible(resizable && form->windowType() != Qt::Tool);
    FMaximise->setKind(form->isMaximized() ? FXTitleBarButtonKind::Restore : FXTitleBarButtonKind::Maximise);
    FMinimise->setVisible(form->windowType() != Qt::Tool);
    LayoutButtons();
}

void FXTitleBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool active = window()->isActiveWindow();
    painter.fillRect(rect(), active ? FColors.Background : FColors.InactiveBackground);
    if (!FShowCaption) return;
    painter.setPen(active ? FColors.Foreground : FColors.InactiveForeground);
    const QRect caption = CaptionRect();
    painter.drawText(caption, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight, caption.width()));
}

void FXTitleBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateButtons();
}

void FXTitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || window()->isFullScreen()) return QWidget::mousePressEvent(event);
    FPressPos = event->globalPosition().toPoint();
}

void FXTitleBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->globalPosition().toPoint();
    if (FDragging) {
        window()->move(position - FDragOffset);
        return;
    }
    if (!FPressPos || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    if ((position - *FPressPos).manhattanLength() < QGuiApplication::styleHints()->startDragDistance())
        return;
    const QPoint pressed = *FPressPos;
    FPressPos.reset();
    // The way travelled before the move began is not lost.
    window()->move(window()->pos() + position - pressed);
    if (StartSystemMove(window())) return;
    // The window system cannot move the window: it follows the pointer by hand.
    FDragging = true;
    FDragOffset = position - window()->frameGeometry().topLeft();
}

void FXTitleBar::mouseReleaseEvent(QMouseEvent* event) {
    FDragging = false;
    FPressPos.reset();
    QWidget::mouseReleaseEvent(event);
}

void FXTitleBar::mouseDoubleClickEvent(QMouseEvent* event) {
    FPressPos.reset();
    if (event->button() != Qt::LeftButton || !FMaximise->isVisible()) return;
    FMaximise->click();
}

bool FXTitleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window()) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
        case QEvent::Show:
            UpdateButtons();
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::WindowTitleChange:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FXTitleBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange) window()->installEventFilter(this);
}

FXTitleBarButton::FXTitleBarButton(FXTitleBarButtonKind kind, FXTitleBar* parent)
    : QAbstractButton(parent), FKind(kind) {
    // Window buttons are reached through the window manager's keys, as on every window.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setAccessibleName(ButtonName(kind));
    setToolTip(ButtonName(kind));
}

void FXTitleBarButton::setKind(FXTitleBarButtonKind value) {
    if (FKind == value) return;
    FKind = value;
    setAccessibleName(ButtonName(value));
    setToolTip(ButtonName(value));
    update();
}

void FXTitleBarButton::paintEvent(QPaintEvent*) {
    auto* bar = static_cast<FXTitleBar*>(parentWidget());
    const TitleBarColors& colors = bar->Colors();
    const bool active = window()->isActiveWindow();
    QColor background = active ? colors.ButtonBackground : colors.ButtonInactiveBackground;
    QColor foreground = active ? colors.ButtonForeground : colors.ButtonInactiveForeground;
    if (isDown()) {
        background = colors.ButtonPressedBackground;
        foreground = colors.ButtonPressedForeground;
    } else if (underMouse()) {
        background = colors.ButtonHoverBackground;
        foreground = colors.ButtonHoverForeground;
    }
    QPainter painter(this);
    painter.fillRect(rect(), background);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(foreground, 1));
    // Ten-pixel glyphs drawn as lines, so they look the same with any symbol font.
    const QPointF c = QRectF(rect()).center();
    const qreal s = 5;
    switch (FKind) {
    case FXTitleBarButtonKind::Minimise:
        painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
        break;
    case FXTitleBarButtonKind::Maximise:
        painter.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
        break;
    case FXTitleBarButtonKind::Restore:
        painter.drawRect(QRectF(c.x() - s, c.y() - s + 2, 2 * s - 2, 2 * s - 2));
        painter.drawPolyline(QPolygonF({QPointF(c.x() - s + 2, c.y() - s), QPointF(c.x() + s, c.y() - s),
                                        QPointF(c.x() + s, c.y() + s - 2)}));
        break;
    case FXTitleBarButtonKind::Close:
        painter.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
        painter.drawLine(QPointF(c.x() - s, c.y() + s), QPointF(c.x() + s, c.y() - s));
        break;
    }
}
