#include "FXButton.h"

#include <optional>

#include "ColorFunctions.h"
#include "FXAccessibleStatus.h"
#include "FXColorStateSet.h"
#include "FXColorStateSets.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXFormReading.h"
#include "FXIconSelect.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"
#include "TIntAni.h"

#include <QDesktopServices>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <optional>

namespace {

// Rounding of the drawing code: to nearest, halves to even.
int Round(double value) {
    return int(std::nearbyint(value));
}

bool IsClickKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

FXButton::FXButton(QWidget* parent) : FXWindowsControl(parent) {
    FCustomColors = new FXCompleteColorSets(this);
    FCustomButtonColors = new FXColorStateSets(this);
    FDrawColors = new FXCompleteColorSet(this);
    FButtonColors = new FXColorStateSet(this);
    FImage = new FXIconSelect(this);
    FStateImage = new FXIconSelect(this);
    FAutoStopState = new QTimer(this);
    FAutoStopState->setInterval(FStateDuration);
    connect(FAutoStopState, &QTimer::timeout, this, [this] {
        setStateEnabled(false);
        FAutoStopState->stop();
    });
    FAutoRepeat = new QTimer(this);
    connect(FAutoRepeat, &QTimer::timeout, this, &FXButton::RepeatTick);
    setAutoFocusLine(true);
    resize(140, 35);
    Layout();
    UpdateColors();
}

FXButton::~FXButton() = default;

void FXButton::setText(const QString& value) {
    if (FText == value) return;
    FText = value;
    Layout();
    Invalidate();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void FXButton::setChecked(bool value) {
    if (FChecked == value) return;
    FChecked = value;
    UpdateColors();
    Invalidate();
    QAccessible::State changed;
    changed.checked = true;
    NotifyAccessibleState(this, changed);
}

void FXButton::setWordWrap(bool value) {
    if (FWordWrap == value) return;
    FWordWrap = value;
    Layout();
    Invalidate();
}

void FXButton::setImageScale(double value) {
    if (FImageScale == value) return;
    FImageScale = value;
    Layout();
    Invalidate();
}

void FXButton::setImageLayout(FXDrawLayout value) {
    if (FImageLayout == value) return;
    FImageLayout = value;
    Layout();
    Invalidate();
}

void FXButton::setLayoutVertical(FXLayout value) {
    if (FVertLayout == value) return;
    FVertLayout = value;
    Layout();
    Invalidate();
}

void FXButton::setLayoutHorizontal(FXLayout value) {
    if (FHorizLayout == value) return;
    FHorizLayout = value;
    Layout();
    Invalidate();
}

void FXButton::setButtonKind(FXButtonKind value) {
    if (FButtonKind == value) return;
    FButtonKind = value;
    UpdateColors();
    Layout();
    Invalidate();
}

void FXButton::setRoundness(int value) {
    if (FRoundNess == value) return;
    FRoundNess = value;
    Invalidate();
}

void FXButton::setMargin(int value) {
    if (FMargin == value) return;
    FMargin = value;
    Layout();
    Invalidate();
}

void FXButton::setStateText(const QString& value) {
    if (FStateText == value) return;
    FStateText = value;
    if (!FStateEnabled) return;
    Layout();
    Invalidate();
}

void FXButton::setStateEnabled(bool value) {
    if (FStateEnabled == value) {
        // A repeated activation makes the state last StateDuration from now.
        if (value && FAutoStopState->isActive()) FAutoStopState->start();
        return;
    }
    FStateEnabled = value;
    FAutoStopState->stop();
    if (value && FStateDuration != 0) FAutoStopState->start();
    Layout();
    Invalidate();
}

void FXButton::setStateDuration(int value) {
    if (FStateDuration == value) return;
    FStateDuration = value;
    FAutoStopState->setInterval(value);
}

void FXButton::setLineWidth(double value) {
    if (FLineWidth == value) return;
    FLineWidth = value;
    Layout();
    Invalidate();
}

void FXButton::setDetail(FXDetailType value) {
    if (FDetail == value) return;
    FDetail = value;
    Invalidate();
}

void FXButton::setShowText(bool value) {
    if (FShowText == value) return;
    FShowText = value;
    Layout();
    Invalidate();
}

int FXButton::GetCheckedTag() const {
    if (parentWidget() == nullptr) return Tag();
    for (FXBufferedControl* sibling : ThemedChildren(parentWidget()))
        if (auto* button = qobject_cast<FXButton*>(sibling); button != nullptr && button->Checked())
            return button->Tag();
    return Tag();
}

void FXButton::UpdateTheme(bool) {
    UpdateColors();
    Layout();
    Invalidate();
}

TColor FXButton::Background() {
    return FDrawColors->BackGround();
}

QString FXButton::AccessibleText() const {
    return accessibleName().isEmpty() ? DisplayedText() : accessibleName();
}

QAccessible::Role FXButton::AccessibleRole() const {
    return FButtonKind == FXButtonKind::Link ? QAccessible::Link : QAccessible::PushButton;
}

QAccessibleInterface* FXButton::CreateAccessibleInterface() {
    return new FXAccessibleStatus(
        this, AccessibleRole(), [this] { return AccessibleText(); },
        [this](QAccessible::State& state) {
            if (FButtonKind != FXButtonKind::Toggle) return;
            state.checkable = true;
            state.checked = FChecked;
        });
}

void FXButton::UpdateColors() {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    FDrawColors->Assign(ThemeManager->SystemColor());
    if (FCustomColors->Enabled()) FDrawColors->LoadFrom(*FCustomColors, dark);
    // The button always blends with its container.
    FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));

    if (FCustomButtonColors->Enabled()) {
        FButtonColors->LoadFrom(*FCustomButtonColors, dark);
    } else {
        const int s = dark ? 10 : -10;
        const int t = dark ? 5 : -5;
        const TColor bg = FDrawColors->BackGround();
        const TColor fg = FDrawColors->ForeGround();
        const TColor interior = FDrawColors->BackGroundInterior();
        const TColor accent = FDrawColors->Accent();
        FXButtonKind kind = FButtonKind;
        if (kind == FXButtonKind::Toggle) kind = FChecked ? FXButtonKind::Accent : FXButtonKind::Normal;
        TColor none = 0, hover = 0, press = 0, fgNone = fg, fgPress = 0;
        std::optional<TColor> fgHover;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        switch (kind) {
        case FXButtonKind::Accent:
            FBorderWidth = 1;
            none = accent;
            hover = ChangeLightness(accent, -s);
            press = ChangeLightness(accent, -(s + t));
            fgNone = bg;
            fgPress = BlendColors(bg, accent, 100);
            break;
        case FXButtonKind::Flat:
            FBorderWidth = 0;
            none = bg;
            hover = ChangeLightness(bg, s);
            press = ChangeLightness(interior, -s);
            fgPress = BlendColors(fg, none, 100);
            break;
        case FXButtonKind::Link:
            FBorderWidth = 0;
            cursor = Qt::PointingHandCursor;
            none = bg;
            hover = ChangeLightness(bg, s);
            press = ChangeLightness(none, -t);
            // The accent alone can be too pale or too dark to read on the
            // background; it is moved just far enough to read at 4.5:1.
            fgNone = ReadableOn(accent, none);
            fgHover = ReadableOn(fgNone, hover);
            fgPress = ReadableOn(ChangeLightness(accent, -s), press);
            break;
        default: // Normal and Dropdown
            FBorderWidth = 1;
            none = ChangeLightness(interior, -t);
            hover = ChangeLightness(none, s);
            press = ChangeLightness(interior, -s);
            fgPress = BlendColors(fg, none, 100);
            break;
        }
        FButtonColors->setAccent(accent);
        FButtonColors->setBackgroundNone(none);
        FButtonColors->setBackgroundHover(hover);
        FButtonColors->setBackgroundPress(press);
        FButtonColors->setForeGroundNone(fgNone);
        FButtonColors->setForeGroundHover(fgHover.value_or(fgNone));
        FButtonColors->setForeGroundPress(fgPress);
        if (FAutomaticMouseCursor && !FXFormReading::Active()) {
            if (cursor == Qt::ArrowCursor)
                unsetCursor();
            else
                setCursor(cursor);
        }
    }

    if (!isEnabled()) {
        FDrawColors->setAccent(ToGrayscale(FDrawColors->Accent()));
        FButtonColors->setBackgroundNone(ToGrayscale(FButtonColors->BackgroundNone()));
        FButtonColors->setForeGroundNone(ToGrayscale(FButtonColors->ForeGroundNone()));
        FButtonColors->setForeGroundNone(
            BlendColors(FButtonColors->BackgroundNone(), FButtonColors->ForeGroundNone(), 100));
    }
}

void FXButton::Invalidate() {
    // A resize while hidden reaches no resize handler, and an icon switched on
    // or off only asks for a repaint: both change the layout.
    if (FLayoutSize != size() || FLayoutWithImage != DisplayedImage()->Enabled()) Layout();
    FXWindowsControl::Invalidate();
}

void FXButton::Layout() {
    if (parentWidget() == nullptr) return;
    FLayoutSize = size();
    FLayoutWithImage = DisplayedImage()->Enabled();
    FDrawRect = GetClientRect();
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    int w = FShowText ? metrics.horizontalAdvance(DisplayedText()) : 0;

    const int inset = Round(FLineWidth) + FMargin + 5;
    FCaptionRect = FDrawRect.adjusted(inset, inset, -inset, -inset);
    if (FButtonKind == FXButtonKind::Dropdown) {
        const int indicator = std::max(h, 30);
        FIndicatorRect = QRect(FCaptionRect.left() + FCaptionRect.width() - indicator, FCaptionRect.top(),
                               indicator, FCaptionRect.height());
        FCaptionRect.setWidth(FCaptionRect.width() - indicator - 5);
    }

    const FXTextFlag horizontalFlag = FHorizLayout == FXLayout::Beginning ? FXTextFlag::Left
                                      : FHorizLayout == FXLayout::Center  ? FXTextFlag::Center
                                                                          : FXTextFlag::Right;
    const FXIconSelect* image = DisplayedImage();
    // The wrap follows WordWrap with or without an icon, so a single-line button stays on one line.
    FTextDrawFlags = FWordWrap ? FXTextFlags(FXTextFlag::WordWrap) : FXTextFlags();
    if (!image->Enabled()) {
        FTheTextRect = FCaptionRect;
        FImageRect = QRect();
        FTextDrawFlags |= FXTextFlag::VerticalCenter;
        FTextDrawFlags |= horizontalFlag;
        return;
    }

    const int c = Round(h * FImageScale);
    const int capW = FCaptionRect.width();
    const int capH = FCaptionRect.height();
    FImageRect = FCaptionRect;
    FTheTextRect = FCaptionRect;
    if (FImageLayout == FXDrawLayout::Top || FImageLayout == FXDrawLayout::Bottom) {
        const int lines = w > 0 && capW > 0 ? int(std::ceil(double(w) / capW)) : 0;
        int a = h * lines;
        int start = FCaptionRect.top();
        if (capH - c < a) {
            a = capH - c;
        } else if (FVertLayout == FXLayout::Center) {
            start += (capH - a - c) / 2;
        } else if (FVertLayout == FXLayout::Ending) {
            start += capH - a - c;
        }
        if (FImageLayout == FXDrawLayout::Top) {
            FTextDrawFlags |= FXTextFlag::Top;
            FImageRect.moveTop(start);
            FTheTextRect.moveTop(start + c + 5);
        } else {
            FTextDrawFlags |= FXTextFlag::Bottom;
            FTheTextRect.moveTop(start);
            FImageRect.moveTop(start + a + 5);
        }
        FImageRect.setHeight(c);
        FTheTextRect.setHeight(std::max(a, 0));
        FTextDrawFlags |= horizontalFlag;
        FImageRect.setWidth(c);
        if (FHorizLayout == FXLayout::Center)
            FImageRect.moveLeft(FCaptionRect.left() + (capW - c) / 2);
        else if (FHorizLayout == FXLayout::Ending)
            FImageRect.moveLeft(FCaptionRect.left() + capW - c);
        return;
    }

    FTextDrawFlags |= FXTextFlag::Left;
    int x = FCaptionRect.left();
    if (capW - c < w) {
        w = capW - c;
    } else if (FHorizLayout == FXLayout::Center) {
        x += Round((capW - w - c) / 2.0);
    } else if (FHorizLayout == FXLayout::Ending) {
        x += capW - w - c;
    }
    if (FImageLayout == FXDrawLayout::Left) {
        FImageRect.moveLeft(x);
        FTheTextRect.moveLeft(x + c + 5);
    } else {
        FTheTextRect.moveLeft(x);
        FImageRect.moveLeft(x + w + 5);
    }
    FImageRect.setWidth(c);
    FTheTextRect.setWidth(std::max(w, 0));
    if (FVertLayout == FXLayout::Beginning) {
        FTextDrawFlags |= FXTextFlag::Top;
    } else if (FVertLayout == FXLayout::Center) {
        FTextDrawFlags |= FXTextFlag::VerticalCenter;
        FImageRect.moveTop(FCaptionRect.top() + (capH - c) / 2);
    } else {
        FTextDrawFlags |= FXTextFlag::Bottom;
        FImageRect.moveTop(FCaptionRect.top() + capH - c);
    }
    FImageRect.setHeight(c);
}

void FXButton::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);

    const FXControlState state = Interaction();
    TColor background = FButtonColors->GetColor(false, state);
    TColor foreground = FButtonColors->GetColor(true, state);
    if (FAnimationRunning) {
        const FXControlState previous = PreviousInteraction();
        background = BlendColors(FButtonColors->GetColor(false, previous), background, FAnimPos);
        foreground = BlendColors(FButtonColors->GetColor(true, previous), foreground, FAnimPos);
    }

    QRectF body(FDrawRect.left(), FDrawRect.top(), FDrawRect.width() - 1, FDrawRect.height() - 1);
    std::optional<QPen> pen;
    double inset = 0;
    switch (FDetail) {
    case FXDetailType::None:
        if (FBorderWidth != 0) {
            pen = QPen(ToQColor(FDrawColors->BackGroundInterior()), FBorderWidth);
            inset = std::trunc(FBorderWidth);
        }
        break;
    case FXDetailType::Underline:
        DrawRoundRect(painter, body, FRoundNess, ToQColor(FDrawColors->Accent()));
        body.setBottom(body.bottom() - Round(FLineWidth));
        break;
    case FXDetailType::Outline:
        pen = QPen(ToQColor(FDrawColors->BackGroundInterior()), FLineWidth);
        inset = Round(FLineWidth);
        break;
    }
    body.adjust(inset, inset, -inset, -inset);
    if (body.width() > 0) DrawRoundRect(painter, body, FRoundNess, ToQColor(background), pen);

    if (FShowText) {
        painter.setFont(font());
        painter.setPen(ToQColor(foreground));
        DrawTextRect(painter, FTheTextRect, DisplayedText(), FTextDrawFlags);
    }
    if (FButtonKind == FXButtonKind::Dropdown && ThemeManager != nullptr) {
        const QString face = ThemeManager->IconFont();
        painter.setFont(FXFont(face, ThemeManager->FormFontHeight()));
        painter.setPen(ToQColor(foreground));
        painter.drawText(FIndicatorRect.translated(0, FArrowOffset), Qt::AlignCenter | Qt::TextSingleLine,
                         SymbolText(QString(QChar(0xE70D)), face));
    }
    if (const FXIconSelect* image = DisplayedImage(); image->Enabled()) {
        painter.setFont(font());
        painter.setPen(ToQColor(foreground));
        image->DrawIcon(painter, FImageRect);
    }
    FXWindowsControl::PaintBuffer(painter);
}

void FXButton::InteractionStateChanged(FXControlState AState) {
    const bool fade = FAnimation && isVisible() && parentWidget() != nullptr && !FAnimationRunning;
    // The fade starts from the old colours: painting the new state first would flash it for one frame.
    if (fade) {
        FAnimPos = 0;
        FAnimationRunning = true;
    }
    FXWindowsControl::InteractionStateChanged(AState);
    if (!fade) return;

    const double travel = QFontMetrics(font()).height() / 8.0;
    QPointer<FXButton> self(this);
    auto* animation =
        new TIntAni(true, TAniKind::akIn, TAniFunctionKind::afkLinear, 0, 255, nullptr, nullptr);
    animation->setDuration(10);
    animation->setStep(10);
    // The animation thread outlives a button destroyed mid-fade: every callback checks first.
    animation->setOnSync([self, animation, travel](int) {
        if (!self) return;
        const double percent = animation->Percent();
        self->FAnimPos = int(percent * 255);
        if (self->FButtonKind == FXButtonKind::Dropdown) {
            const FXControlState previous = self->PreviousInteraction();
            if (previous == FXControlState::Hover && self->Interaction() == FXControlState::Press)
                self->FArrowOffset = Round(travel * percent);
            else if (previous == FXControlState::Press)
                self->FArrowOffset = Round(travel - travel * percent);
            else if (previous == FXControlState::None)
                self->FArrowOffset = 0;
        }
        if (self->parentWidget() == nullptr) return;
        self->Invalidate();
    });
    animation->setOnDone([self] {
        if (self) self->FAnimationRunning = false;
    });
    animation->Start();
}

void FXButton::Click() {
    switch (FButtonKind) {
    case FXButtonKind::Toggle:
        setChecked(!FChecked);
        emit OnCheck();
        break;
    case FXButtonKind::Dropdown:
        if (FDropDown) FDropDown->popup(mapToGlobal(QPoint(0, height() + 5)));
        emit OnDropDown();
        break;
    case FXButtonKind::Link:
        if (!FHyperLinkURL.isEmpty()) QDesktopServices::openUrl(QUrl::fromUserInput(FHyperLinkURL));
        emit OnOpenLink();
        break;
    default:
        break;
    }
    if (FAutoStateToggle) setStateEnabled(FStateDuration != 0 ? true : !FStateEnabled);
    if (QWidget* form = window(); form != this) {
        bool sendModal = true;
        if (FBeforeModal) FBeforeModal(this, sendModal);
        // A dialog's result closes it unless it is the empty result.
        if (auto* dialog = qobject_cast<QDialog*>(form); dialog != nullptr && sendModal) {
            dialog->setResult(FModalResult);
            if (FModalResult != 0) dialog->done(FModalResult);
        }
    }
    emit OnClick();
}

void FXButton::RepeatTick() {
    Click();
    FAutoRepeat->setInterval(50);
    if (!(FRepeatWhenPressed && Interaction() == FXControlState::Press)) FAutoRepeat->stop();
    Invalidate();
}

void FXButton::ScaleChanged(double Scaling) {
    FXWindowsControl::ScaleChanged(Scaling);
    FImageScale *= Scaling;
    FLineWidth *= Scaling;
    FBorderWidth *= Scaling;
    FMargin = Round(FMargin * Scaling);
    Layout();
}

void FXButton::resizeEvent(QResizeEvent* event) {
    Layout();
    FXWindowsControl::resizeEvent(event);
}

void FXButton::mousePressEvent(QMouseEvent* event) {
    FXWindowsControl::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    FMouseDown = true;
    if (FRepeatWhenPressed) {
        FAutoRepeat->setInterval(500);
        FAutoRepeat->start();
    }
}

void FXButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked =
        FMouseDown && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        FMouseDown = false;
        FAutoRepeat->stop();
    }
    FXWindowsControl::mouseReleaseEvent(event);
    if (clicked) Click();
}

void FXButton::keyPressEvent(QKeyEvent* event) {
    if (IsClickKey(event->key()) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A held key repeats its press; one press is one click.
        if (!event->isAutoRepeat()) {
            SetInteractionState(FXControlState::Press, false, false);
            Click();
        }
        event->accept();
        return;
    }
    FXWindowsControl::keyPressEvent(event);
}

void FXButton::keyReleaseEvent(QKeyEvent* event) {
    if (IsClickKey(event->key()) && !event->isAutoRepeat()) {
        SetInteractionState(FXControlState::None, true, false);
        event->accept();
        return;
    }
    FXWindowsControl::keyReleaseEvent(event);
}
