#include "FXForm.h"

#include "ColorFunctions.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXColorizationEvent.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXCustomTooltip.h"
#include "FXDrawing.h"
#include "FXFormEvents.h"
#include "FXThemeManager.h"
#include "FXTitleBar.h"
#include "SpecialFolders.h"
#include "TIntAni.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {
constexpr int SmokeAlpha = 150;
constexpr int ResizeBorder = 6;
} // namespace

void LoadFormColors(const FXColorSets& custom, FXColorSet& draw) {
    const bool dark = ThemeManager->DarkTheme();
    if (custom.Enabled()) {
        draw.setBackGround(dark ? custom.DarkBackGround() : custom.LightBackGround());
        draw.setForeGround(dark ? custom.DarkForeGround() : custom.LightForeGround());
    } else {
        draw.setBackGround(ThemeManager->SystemColor()->BackGround());
        draw.setForeGround(ThemeManager->SystemColor()->ForeGround());
    }
}

TitleBarColors FormTitleBarColors(TColor background, TColor foreground) {
    const int backgroundShift = GetBrightness(background) >= 100 ? -30 : 30;
    const int foregroundShift = GetBrightness(foreground) >= 100 ? -30 : 30;
    const int half = foregroundShift / 2;
    TitleBarColors colors;
    colors.Background = colors.InactiveBackground = colors.ButtonBackground =
        colors.ButtonInactiveBackground = ToQColor(background);
    colors.ButtonHoverBackground = ToQColor(ChangeLightness(background, half));
    colors.ButtonPressedBackground = ToQColor(ChangeLightness(background, backgroundShift));
    colors.Foreground = colors.ButtonForeground = ToQColor(foreground);
    colors.ButtonHoverForeground = ToQColor(ChangeLightness(foreground, half));
    colors.InactiveForeground = colors.ButtonInactiveForeground = colors.ButtonPressedForeground =
        ToQColor(ChangeLightness(foreground, foregroundShift));
    return colors;
}

FXSmoke::FXSmoke(QWidget* form) : QWidget(form) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Busy"));
    hide();
}

void FXSmoke::setAlpha(int value) {
    if (FAlpha == value) return;
    FAlpha = value;
    update();
}

void FXSmoke::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, FAlpha));
}

void FXSmoke::closeEvent(QCloseEvent* event) {
    if (FRefuseClose) event->ignore();
}

FXForm::FXForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    FCustomColors = new FXColorSets(this, false);
    FDrawColors = std::make_unique<FXColorSet>();
    if (ThemeManager != nullptr)
        FDrawColors->LoadFrom(*ThemeManager->SystemColorSet(), ThemeManager->DarkTheme());
    InitForm();
    FEnableTitlebar = GetWindowsVersion() >= 6;
    if (FEnableTitlebar) {
        FTitleBar = new FXTitleBar(this);
        setContentsMargins(0, FTitleBar->height(), 0, 0);
    } else {
        FTitlebarInitialized = true;
    }
    setMouseTracking(true);
    UpdateTheme(true);
}

FXForm::~FXForm() {
    if (FSmokeAnimation) FSmokeAnimation->WaitFor();
    ++FThemeGeneration;
}

void FXForm::InitForm() {
    if (ThemeManager != nullptr) setFont(FXFont(ThemeManager->FormFont(), ThemeManager->FormFontHeight()));
    setAutoFillBackground(true);
    setMicaEffect(true);
    FSmoke = new FXSmoke(this);
    FAllowThemeChangeAnim = true;
    FTitlebarInitialized = false;
}

void FXForm::InitializeTitlebar() {
    // A title-bar panel from the window's layout replaces the default one.
    for (QObject* child : children()) {
        auto* designed = qobject_cast<FXTitleBar*>(child);
        if (designed == nullptr || designed == FTitleBar) continue;
        delete FTitleBar;
        FTitleBar = designed;
        break;
    }
    setContentsMargins(0, FTitleBar->height(), 0, 0);
    FTitleBar->setGeometry(0, 0, width(), FTitleBar->height());
    FTitleBar->raise();
    FTitlebarInitialized = true;
    UpdateTheme(false);
}

void FXForm::setMicaEffect(bool value) {
    FMicaEffect = value;
    setWindowOpacity(value ? 251 / 255.0 : 1.0);
}

void FXForm::StopSmokeFade() {
    if (FSmokeAnimation && FSmokeAnimation->Running()) {
        FSmokeAnimation->Terminate();
        FSmokeAnimation->WaitFor();
    }
}

void FXForm::setSmokeEffect(bool value) {
    if (value) {
        StopSmokeFade();
        FSmokeEffect = true;
        FSmoke->setRefuseClose(true);
        FMinimumBeforeSmoke = minimumSize();
        FMaximumBeforeSmoke = maximumSize();
        // The window keeps its size while the overlay is up.
        setFixedSize(size());
        FSmoke->setGeometry(rect());
        FSmoke->setAlpha(SmokeAlpha);
        FSmoke->raise();
        FSmoke->show();
        if (isActiveWindow()) FSmoke->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!FSmokeEffect) return;
    StopSmokeFade();
    FSmokeEffect = false;
    FSmoke->setRefuseClose(false);
    setMinimumSize(FMinimumBeforeSmoke);
    setMaximumSize(FMaximumBeforeSmoke);
    QPointer<FXSmoke> smoke = FSmoke;
    FSmokeAnimation = std::make_unique<TIntAni>(
        false, TAniKind::akIn, TAniFunctionKind::afkLinear, FSmoke->Alpha(), -FSmoke->Alpha(),
        [smoke](int value) {
            if (smoke) smoke->setAlpha(value);
        },
        [smoke] {
            if (smoke) smoke->hide();
        });
    FSmokeAnimation->setDuration(100);
    FSmokeAnimation->Start();
}

void FXForm::setFullScreen(bool value) {
    if (FFullScreen == value) return;
    FFullScreen = value;
    if (value) {
        FRestoredPosition = geometry();
        FRestoredBorder = FTitleBar != nullptr && FTitleBar->isVisible();
        if (FTitleBar) FTitleBar->hide();
        setContentsMargins(0, 0, 0, 0);
        const QRect monitor = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry();
        setWindowState(windowState() | Qt::WindowFullScreen);
        setGeometry(monitor);
        return;
    }
    if (FTitleBar && FRestoredBorder) {
        FTitleBar->show();
        setContentsMargins(0, FTitleBar->height(), 0, 0);
    }
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setGeometry(FRestoredPosition);
}

void FXForm::setWindowUpdateLocked(bool value) {
    if (FWindowUpdateLock == value) return;
    FWindowUpdateLock = value;
    setUpdatesEnabled(!value);
}

void FXForm::setResizable(bool value) {
    if (FResizable == value) return;
    FResizable = value;
    if (FTitleBar) FTitleBar->UpdateButtons();
}

int FXForm::GetTitlebarHeight() const {
    FXTitleBar* last = nullptr;
    for (QObject* child : children())
        if (auto* bar = qobject_cast<FXTitleBar*>(child)) last = bar;
    return last ? last->height() : 0;
}

void FXForm::SetTitleBarColors(TColor background, TColor foreground) {
    if (FTitleBar) FTitleBar->setColors(FormTitleBarColors(background, foreground));
}

void FXForm::SetCustomTitleBarColors(const TitleBarColors& colors) {
    if (FTitleBar) FTitleBar->setColors(colors);
}

TColor FXForm::Background() {
    return FDrawColors->BackGround();
}

void FXForm::setFormColor(TColor value) {
    FFormColor = value;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(value));
    setPalette(colours);
}

void FXForm::ApplyFormColors(TColor background, TColor foreground) {
    setFormColor(background);
    if (FEnableTitlebar) SetTitleBarColors(background, foreground);
}

void FXForm::UpdateTheme(bool UpdateChildren) {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    LoadFormColors(*FCustomColors, *FDrawColors);
    const TColor background = FDrawColors->BackGround();
    const TColor foreground = FDrawColors->ForeGround();
    const TColor previous = FFormColor;
    const FXThemeType kind = previous == background ? FXThemeType::Redraw : FXThemeType::AppTheme;

    const int generation = ++FThemeGeneration;
    if (isVisible() && FAllowThemeChangeAnim) {
        QPointer<FXForm> self = this;
        const auto current = [self, generation] { return self && self->FThemeGeneration == generation; };
        ++FThemeAnimations;
        auto* fade = new TIntAni(
            true, TAniKind::akIn, TAniFunctionKind::afkLinear, 25, 100,
            [self, current, previous, background, foreground](int value) {
                if (!current()) return;
                self->setFormColor(BlendColors(previous, background, value));
                if (self->FEnableTitlebar) self->SetTitleBarColors(self->FFormColor, foreground);
            },
            [self, current, background, foreground] {
                if (self) --self->FThemeAnimations;
                if (current()) self->ApplyFormColors(background, foreground);
            });
        fade->setDuration(200);
        fade->setStep(6);
        fade->Start();
    } else {
        ApplyFormColors(background, foreground);
    }

    SetApplicationTooltip(dark ? FXTooltipKind::Dark : FXTooltipKind::Light);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(foreground));
    setPalette(colours);
    emit OnThemeChange(kind, dark, ThemeManager->AccentColor());

    if (!UpdateChildren) return;
    const bool wasLocked = FWindowUpdateLock;
    setWindowUpdateLocked(true);
    // Every themed component of this window, nested ones included; windows of their own update themselves.
    QList<QPointer<QWidget>> owned;
    for (QWidget* child : findChildren<QWidget*>())
        if (child->window() == this && dynamic_cast<FXControl*>(child) != nullptr) owned.append(child);
    for (const QPointer<QWidget>& child : owned)
        if (child) dynamic_cast<FXControl*>(child.data())->UpdateTheme(UpdateChildren);
    setWindowUpdateLocked(wasLocked);
}

void FXForm::BroadcastToChildren(QEvent::Type type) {
    for (QObject* child : children()) {
        if (!child->isWidgetType()) continue;
        QEvent notice(type);
        QCoreApplication::sendEvent(child, &notice);
    }
}

bool FXForm::event(QEvent* event) {
    if (event->type() == FXColorizationEvent::Type()) {
        if (ThemeManager) ThemeManager->MeasuredUpdateSettings();
        UpdateTheme(true);
        return true;
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate && FSmoke->isVisible())
        FSmoke->setFocus(Qt::ActiveWindowFocusReason);
    if (event->type() == QEvent::WinIdChange) WatchWindowEdges();
    return handled;
}

void FXForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    WatchWindowEdges();
    if (!FTitlebarInitialized) InitializeTitlebar();
}

void FXForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (FTitleBar) FTitleBar->setGeometry(0, 0, width(), FTitleBar->height());
    FSmoke->setGeometry(rect());
    BroadcastToChildren(FXFormResizedEvent::Type());
}

void FXForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit OnMove();
    BroadcastToChildren(FXFormMovedEvent::Type());
}

void FXForm::WatchWindowEdges() {
    QWindow* handle = windowHandle();
    if (handle == nullptr || handle == FWatchedWindow) return;
    if (FWatchedWindow) FWatchedWindow->removeEventFilter(this);
    FWatchedWindow = handle;
    handle->installEventFilter(this);
}

Qt::Edges FXForm::EdgesAt(const QPoint& point) const {
    Qt::Edges edges;
    if (!FResizable || FSmokeEffect || FFullScreen || isMaximized()) return edges;
    if (point.x() < ResizeBorder) edges |= Qt::LeftEdge;
    if (point.x() >= width() - ResizeBorder) edges |= Qt::RightEdge;
    if (point.y() < ResizeBorder) edges |= Qt::TopEdge;
    if (point.y() >= height() - ResizeBorder) edges |= Qt::BottomEdge;
    return edges;
}

// The window has no frame of its own: the outermost pixels of the form act as
// its resizing border. Watching the native window sees the pointer before
// the child control under it does.
bool FXForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FWatchedWindow) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() != Qt::NoButton) break;
        const Qt::Edges edges = EdgesAt(mouse->position().toPoint());
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
            shape = Qt::SizeFDiagCursor;
        else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
            shape = Qt::SizeBDiagCursor;
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
            shape = Qt::SizeHorCursor;
        else if (edges & (Qt::TopEdge | Qt::BottomEdge))
            shape = Qt::SizeVerCursor;
        if (edges && !FEdgeCursor) {
            QGuiApplication::setOverrideCursor(shape);
            FEdgeCursor = true;
        } else if (edges && FEdgeCursor) {
            QGuiApplication::changeOverrideCursor(shape);
        } else if (!edges && FEdgeCursor) {
            QGuiApplication::restoreOverrideCursor();
            FEdgeCursor = false;
        }
        break;
    }
    case QEvent::Leave:
        if (FEdgeCursor) {
            QGuiApplication::restoreOverrideCursor();
            FEdgeCursor = false;
        }
        break;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const Qt::Edges edges = EdgesAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && edges && StartSystemResize(this, edges)) return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
