#include "CProgress.h"

#include "ColorFunctions.h"
#include "FXAccessibleStatus.h"
#include "FXControl.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXLegacyAccentCache.h"
#include "FXThemeManager.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>

#include <cstdlib>

namespace {

QAccessibleInterface* AccessibleProgress(const QString&, QObject* object) {
    auto* bar = qobject_cast<CProgress*>(object);
    if (bar == nullptr) return nullptr;
    FXAccessibleRange range;
    range.Current = [bar] { return double(bar->Position()); };
    range.Minimum = [bar] { return double(bar->Min()); };
    range.Maximum = [bar] { return double(bar->Max()); };
    return new FXAccessibleStatus(
        bar, QAccessible::ProgressBar,
        [bar] { return bar->accessibleName().isEmpty() ? bar->OverlayCaption() : bar->accessibleName(); },
        nullptr, range);
}

QFont OverlayFont(const CProgressText& text) {
    QFont font(text.FontName);
    font.setPointSize(std::max(1, text.FontSize));
    return font;
}

} // namespace

CProgress::CProgress(QWidget* parent) : QWidget(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(AccessibleProgress);
        return true;
    }();
    (void)accessible;
    FPositionTimer = new QTimer(this);
    FPositionTimer->setInterval(FAnimation.Interval);
    connect(FPositionTimer, &QTimer::timeout, this, &CProgress::PositionTick);
    FHighlightTimer = new QTimer(this);
    FHighlightTimer->setInterval(FAnimate.TimerAnimateSpeed);
    connect(FHighlightTimer, &QTimer::timeout, this, &CProgress::HighlightTick);
    // The highlight runs only while the application is active.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CProgress::UpdateHighlightTimer);
    setFocusPolicy(Qt::NoFocus);
    resize(200, 20);
    setAccentColor(FAccent);
}

CProgress::~CProgress() = default;

void CProgress::setTextOverlay(const CProgressText& value) {
    if (FText == value) return;
    FText = value;
    Changed();
}

void CProgress::setColors(const CProgressColors& value) {
    if (FColors == value) return;
    FColors = value;
    Changed();
}

void CProgress::setAnimations(const CProgressAnimation& value) {
    FAnimation = value;
    FPositionTimer->setInterval(std::max(0, value.Interval));
}

void CProgress::setAnimateProgress(const CProgressAnimate& value) {
    if (FAnimate == value) return;
    FAnimate = value;
    FHighlightTimer->setInterval(std::max(0, value.TimerAnimateSpeed));
    Changed();
}

void CProgress::setProgressbarOptions(const CProgressOptions& value) {
    if (FOptions == value) return;
    FOptions = value;
    Changed();
}

void CProgress::setPresets(CProgressPreset value) {
    if (FPreset == value) return;
    FPreset = value;
    Changed();
}

void CProgress::setMax(int value) {
    FMax = value;
    if (FPosition > value) FPosition = value;
    Changed();
}

void CProgress::setMin(int value) {
    FMin = value;
    if (FPosition < value) FPosition = value;
    Changed();
}

void CProgress::setPosition(int value) {
    if (FPosition == value) return;
    if (FXFormReading::Active()) {
        FPosition = value;
        FTarget = value;
        Changed();
        return;
    }
    if (value < FMin || value > FMax) return;
    // A preset turns the walk on, except the beacon, which has no position to walk.
    const bool walk =
        FPreset == CProgressPreset::cprNone ? FAnimation.Animations : FPreset != CProgressPreset::cprBeacon;
    if (walk) {
        FTarget = value;
        FUpwards = value >= FPosition;
        FPositionTimer->setInterval(std::max(0, FAnimation.Interval));
        FPositionTimer->start();
    } else {
        FPosition = value;
        FTarget = value;
        emit OnChange(FPosition, FMax);
    }
    Changed();
}

void CProgress::SetValue(int pos, bool jump) {
    if (!jump) {
        setPosition(pos);
        return;
    }
    FPositionTimer->stop();
    FPosition = pos;
    FTarget = pos;
    emit OnChange(FPosition, FMax);
    Changed();
}

void CProgress::setAccentColor(CAccentColor value) {
    FAccent = value;
    if (value != CAccentColor::None) FColors.Foreground = GetLegacyAccentColor(value);
    Changed();
}

void CProgress::setTrueTransparency(bool value) {
    FTrueTransparency = value;
    if (value) update();
}

void CProgress::PositionTick() {
    const bool reached = FUpwards ? FPosition >= FTarget : FPosition <= FTarget;
    if (reached) {
        FPosition = FTarget;
        FPositionTimer->stop();
    } else {
        FPosition += FUpwards ? FAnimation.Step : -FAnimation.Step;
    }
    emit OnChange(FPosition, FMax);
    NotifyAccessibleValue(this, FPosition);
    Changed();
}

CProgress::Look CProgress::CurrentLook() const {
    Look look{FColors, FOptions, FAnimate, FPosition};
    if (FAccent != CAccentColor::None) look.Colors.Foreground = GetLegacyAccentColor(FAccent);
    if (FPreset == CProgressPreset::cprNone) return look;
    if (FPreset == CProgressPreset::cprBeacon) {
        look.Colors.Background = 0xFFFFFF;
        look.Options.BorderRadius = 0;
        look.Animate.AnimationSelector = CProgressAnimTypes::atyFade;
        look.Animate.FadeSizing = 200;
        look.Animate.AnimateIncSpeed = 2;
        look.Position = 100;
        return look;
    }
    look.Animate.FadeSizing = 100;
    look.Animate.CustomRezolution = false;
    look.Animate.CustomRezX = look.Animate.CustomRezY = 0;
    look.Animate.Enable = true;
    look.Animate.AnimationSelector = CProgressAnimTypes::atyFade;
    look.Animate.AnimateIncSpeed = 2;
    look.Options.BorderRadius = 16;
    look.Colors.Background = 0xFFFFFF;
    switch (FPreset) {
    case CProgressPreset::cprError:
        look.Colors.Foreground = 0x0000FF;
        break;
    case CProgressPreset::cprBlue:
        look.Colors.Foreground = 12472848;
        break;
    case CProgressPreset::cprMarble:
        look.Colors.Foreground = 0x00D500;
        look.Animate.AnimationSelector = CProgressAnimTypes::atySolid;
        look.Animate.AnimateIncSpeed = 5;
        break;
    case CProgressPreset::cprModern:
        look.Colors.Foreground = 12472848;
        look.Colors.Background = 0x3F3F3F;
        break;
    case CProgressPreset::cprWindows:
        look.Colors.Foreground = 0x00D500;
        look.Options.BorderRadius = 1;
        break;
    default: // cprStandard
        look.Colors.Foreground = 0x00D500;
        break;
    }
    return look;
}

TColor CProgress::BorderColorNow(const Look& look) const {
    if (!look.Colors.FormSyncedColor) return look.Options.BorderColor;
    // The desktop has no visual styles: the border always takes the parent's colour.
    if (auto* themed = dynamic_cast<FXControl*>(parentWidget())) return themed->Background();
    const QColor colour = parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                                         : palette().color(QPalette::Window);
    return RGB(colour.red(), colour.green(), colour.blue());
}

QString CProgress::TruncateCaption(const QString& caption) const {
    const QString suffix = FText.IncludePercent ? QStringLiteral(" %1%").arg(FPosition) : QString();
    const int limit = FText.TextWidthLimit == -2 ? width() : FText.TextWidthLimit;
    const QFontMetrics metrics(OverlayFont(FText));
    QString result = caption;
    for (qsizetype i = 0; i <= caption.size(); ++i)
        if (metrics.horizontalAdvance(result + suffix) > limit - 10) result.chop(1);
    return result.size() < caption.size() ? result + QStringLiteral("...") : result;
}

QString CProgress::OverlayCaption() const {
    QString caption = FText.TextWidthLimit > 0 || FText.TextWidthLimit == -2
                          ? TruncateCaption(FText.CaptionText)
                          : FText.CaptionText;
    if (FText.IncludePercent) caption += QStringLiteral(" %1%").arg(CurrentLook().Position - FMin);
    return caption;
}

QImage CProgress::RenderFrame() const {
    const Look look = CurrentLook();
    const QSize control(std::max(0, width()), std::max(0, height()));
    const QSize size =
        look.Animate.CustomRezolution ? QSize(look.Animate.CustomRezX, look.Animate.CustomRezY) : control;
    if (size.isEmpty() || control.isEmpty()) return QImage();
    QImage work(size, QImage::Format_ARGB32_Premultiplied);
    work.fill(ToQColor(look.Colors.Background));
    const int range = FMax - FMin != 0 ? FMax - FMin : 1;
    const int filled = size.width() * (look.Position - FMin) / range;
    {
        QPainter painter(&work);
        const QColor foreground = ToQColor(look.Colors.Foreground);
        painter.fillRect(QRect(0, 0, filled, size.height()), foreground);
        const CProgressAnimate& animate = look.Animate;
        const int p = animate.Position;
        const int f = animate.FadeSizing;
        if (animate.Enable && animate.AnimationSelector == CProgressAnimTypes::atyFade) {
            for (int x = p - f; x <= p + f; ++x) {
                if (x < 0 || x >= filled) continue;
                painter.fillRect(QRect(x, 0, 1, size.height()),
                                 ToQColor(ChangeLightness(look.Colors.Foreground, f - std::abs(x - p))));
            }
        } else if (animate.Enable && animate.AnimationSelector == CProgressAnimTypes::atySolid) {
            work.fill(ToQColor(look.Colors.Background));
            painter.fillRect(QRect(p - f, 0, 2 * f, size.height()), foreground);
        }
        if (FText.Enabled) {
            const QString caption = OverlayCaption();
            const QFont font = OverlayFont(FText);
            const QFontMetrics metrics(font);
            painter.setFont(font);
            painter.setPen(ToQColor(FText.FontColor));
            const int x = size.width() / 2 - metrics.horizontalAdvance(caption) / 2;
            const int y = size.height() / 2 - metrics.height() / 2;
            painter.drawText(QPoint(x, y + metrics.ascent()), caption);
        }
    }
    QImage frame =
        work.size() == control ? work : work.scaled(control, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&frame);
    FillRoundCorners(painter, QRectF(QPointF(0, 0), QSizeF(control)), look.Options.BorderRadius,
                     ToQColor(BorderColorNow(look)));
    return frame;
}

void CProgress::paintEvent(QPaintEvent*) {
    const QImage frame = RenderFrame();
    if (frame.isNull()) return;
    QPainter painter(this);
    if (FTrueTransparency)
        DrawImageRounded(painter, QRectF(rect()), CurrentLook().Options.BorderRadius, frame);
    else
        painter.drawImage(QPoint(0, 0), frame);
}

void CProgress::HighlightTick() {
    const bool shown =
        isVisible() && (parentWidget() == nullptr || parentWidget()->isVisible() || FAnimateInIDE);
    if (!shown || QGuiApplication::applicationState() != Qt::ApplicationActive) return;
    const Look look = CurrentLook();
    const CProgressAnimate& animate = look.Animate;
    const QSize size =
        animate.CustomRezolution ? QSize(animate.CustomRezX, animate.CustomRezY) : this->size();
    FAnimate.Position += animate.AnimateIncSpeed;
    const int p = FAnimate.Position;
    if (animate.AnimationSelector == CProgressAnimTypes::atySolid) {
        if (p - animate.FadeSizing > size.width()) FAnimate.Position = -animate.FadeSizing;
    } else if (FMax != 0 &&
               p - animate.FadeSizing > int(double(size.width()) / FMax * (look.Position - FMin))) {
        FAnimate.Position = -animate.FadeSizing;
    }
    update();
}

void CProgress::UpdateHighlightTimer() {
    // The highlight only moves where it can be seen: over a visible, non-empty
    // bar of the active application. Anything else would wake the program every
    // millisecond for nothing.
    const Look look = CurrentLook();
    const int range = FMax - FMin != 0 ? FMax - FMin : 1;
    const bool something = look.Animate.AnimationSelector == CProgressAnimTypes::atySolid ||
                           (look.Animate.AnimationSelector == CProgressAnimTypes::atyFade &&
                            look.Position - FMin != 0 && width() * (look.Position - FMin) / range > 0);
    const bool run = look.Animate.Enable && something && isVisible() &&
                     QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (run && !FHighlightTimer->isActive())
        FHighlightTimer->start();
    else if (!run)
        FHighlightTimer->stop();
}

void CProgress::ApplyFitToText() {
    if (!FText.Enabled || !FText.FitToText) return;
    const int fitted = QFontMetrics(font()).horizontalAdvance(OverlayCaption()) + 25;
    if (fitted != width()) resize(fitted, height());
}

void CProgress::Changed() {
    ApplyFitToText();
    UpdateHighlightTimer();
    update();
}

void CProgress::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateHighlightTimer();
}

void CProgress::hideEvent(QHideEvent* event) {
    FHighlightTimer->stop();
    QWidget::hideEvent(event);
}

void CProgress::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateHighlightTimer();
}
