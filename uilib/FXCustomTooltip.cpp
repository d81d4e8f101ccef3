#include "FXCustomTooltip.h"

#include "ColorFunctions.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXThemeManager.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <memory>

namespace {
constexpr int HorizontalInset = 7;
constexpr int VerticalInset = 5;
constexpr int MaxHintWidth = 400;
} // namespace

FXCustomTooltip::FXCustomTooltip(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    QFont hintFont(ThemeManager ? ThemeManager->FormFont() : font().family());
    hintFont.setPointSize(8);
    setFont(hintFont);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void FXCustomTooltip::setBorderThickness(int value) {
    if (FBorderThickness == value) return;
    FBorderThickness = value;
    update();
}

void FXCustomTooltip::setBorderColor(TColor value) {
    if (FBorderColor == value) return;
    FBorderColor = value;
    update();
}

void FXCustomTooltip::setBackColor(TColor value) {
    if (FBackColor == value) return;
    FBackColor = value;
    update();
}

QSize FXCustomTooltip::CalcHintRect(int MaxWidth, const QString& Hint) const {
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, MaxWidth, 10000), Qt::TextWordWrap, Hint);
    return QSize(text.width() + (HorizontalInset + FBorderThickness) * 2,
                 text.height() + (VerticalInset + FBorderThickness) * 2);
}

void FXCustomTooltip::ActivateHint(const QPoint& At, const QString& Hint) {
    FText = Hint;
    QRect bounds(At, CalcHintRect(MaxHintWidth, Hint));
    // Keep the whole hint on the screen under the pointer.
    if (QScreen* screen = QGuiApplication::screenAt(At)) {
        const QRect area = screen->availableGeometry();
        if (bounds.right() > area.right()) bounds.moveRight(area.right());
        if (bounds.bottom() > area.bottom()) bounds.moveBottom(At.y() - 4);
        bounds.moveLeft(std::max(bounds.left(), area.left()));
        bounds.moveTop(std::max(bounds.top(), area.top()));
    }
    setGeometry(bounds);
    show();
    update();
}

void FXCustomTooltip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FBackColor));
    DrawBorder(painter, rect(), ToQColor(FBorderColor), 5, FBorderThickness);
    painter.setPen(ToQColor(GetContrastTextColor(FBackColor)));
    const QRect textRect =
        rect().adjusted(HorizontalInset + FBorderThickness, VerticalInset + FBorderThickness,
                        -(HorizontalInset + FBorderThickness), -(VerticalInset + FBorderThickness));
    QString text = FText;
    if (fontMetrics().boundingRect(textRect, Qt::TextWordWrap, text).height() > textRect.height())
        text = fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
}

FXLightTooltip::FXLightTooltip(QWidget* parent) : FXCustomTooltip(parent) {
    if (ThemeManager == nullptr) return;
    setBackColor(ThemeManager->SystemToolTip()->LightBackGround());
    setBorderColor(ThemeManager->SystemToolTip()->LightBackGroundInterior());
}

FXDarkTooltip::FXDarkTooltip(QWidget* parent) : FXCustomTooltip(parent) {
    if (ThemeManager == nullptr) return;
    setBackColor(ThemeManager->SystemToolTip()->DarkBackGround());
    setBorderColor(ThemeManager->SystemToolTip()->DarkBackGroundInterior());
}

namespace {

// Shows every widget's tooltip in the application's kind and hides it again
// on the events that hide the platform's own tooltips.
class TooltipFilter : public QObject {
  public:
    FXTooltipKind Kind = FXTooltipKind::Light;
    QPointer<FXCustomTooltip> Shown;

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ToolTip: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget == nullptr) return false;
            const QString text = widget->toolTip();
            Hide();
            if (text.isEmpty()) return false;
            auto* help = static_cast<QHelpEvent*>(event);
            Shown = Kind == FXTooltipKind::Dark ? static_cast<FXCustomTooltip*>(new FXDarkTooltip)
                                                : static_cast<FXCustomTooltip*>(new FXLightTooltip);
            Shown->setAttribute(Qt::WA_DeleteOnClose);
            Shown->ActivateHint(help->globalPos() + QPoint(2, 20), text);
            QTimer::singleShot(10000, Shown.data(), &QWidget::close);
            return true;
        }
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::WindowDeactivate:
            if (watched->isWidgetType()) Hide();
            return false;
        default:
            return false;
        }
    }

    void Hide() {
        if (Shown) Shown->close();
        Shown = nullptr;
    }
};

TooltipFilter* Filter() {
    static TooltipFilter* filter = [] {
        auto* created = new TooltipFilter;
        created->setParent(qApp);
        qApp->installEventFilter(created);
        return created;
    }();
    return filter;
}

} // namespace

void SetApplicationTooltip(FXTooltipKind kind) {
    if (qApp == nullptr) return;
    Filter()->Kind = kind;
}

FXTooltipKind ApplicationTooltip() {
    return qApp ? Filter()->Kind : FXTooltipKind::Light;
}

FXCustomTooltip* ShownTooltip() {
    return qApp ? Filter()->Shown.data() : nullptr;
}
