#include "FXTextBox.h"

#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXFormReading.h"
#include "FXPadding.h"
#include "FXThemeManager.h"

#include <QLayout>
#include <QPainter>

FXTextBox::FXTextBox(QWidget* parent) : FXWindowsControl(parent) {
    FCustomColors = new FXColorSets(this, false);
    FDrawColors = new FXCompleteColorSet(this);
    setFocusPolicy(Qt::NoFocus);
    setAutoFocusLine(true);
    resize(180, 30);
    connect(Padding(), &FXPadding::OnChange, this, [this] {
        Layout();
        ApplyAutoSize();
        Invalidate();
    });
    UpdateColors();
    Layout();
}

FXTextBox::~FXTextBox() = default;

void FXTextBox::setText(const QString& value) {
    if (FText == value) return;
    FText = value;
    Layout();
    ApplyAutoSize();
    Invalidate();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void FXTextBox::setLayoutVertical(FXLayout value) {
    if (FVertLayout == value) return;
    FVertLayout = value;
    Layout();
    Invalidate();
}

void FXTextBox::setLayoutHorizontal(FXLayout value) {
    if (FHorzLayout == value) return;
    FHorzLayout = value;
    Layout();
    Invalidate();
}

void FXTextBox::setOverlayColor(std::uint32_t value) {
    FOverlayColor = value;
    Invalidate();
}

void FXTextBox::setAutoSize(bool value) {
    if (FAutoSize == value) return;
    FAutoSize = value;
    if (FAutoSize && !FXFormReading::Active())
        ApplyAutoSize();
    else
        Invalidate();
}

void FXTextBox::setWordWrap(bool value) {
    if (FWordWrap == value) return;
    FWordWrap = value;
    ApplyAutoSize();
    Layout();
    Invalidate();
}

void FXTextBox::setElipsis(bool value) {
    if (FElipsis == value) return;
    FElipsis = value;
    Invalidate();
}

FXTextFlags FXTextBox::TextFlags() const {
    FXTextFlags flags;
    if (FWordWrap) flags |= FXTextFlag::WordWrap | FXTextFlag::NoClip;
    flags |= FHorzLayout == FXLayout::Beginning ? FXTextFlag::Left
             : FHorzLayout == FXLayout::Center  ? FXTextFlag::Center
                                                : FXTextFlag::Right;
    flags |= FVertLayout == FXLayout::Beginning ? FXTextFlag::Top
             : FVertLayout == FXLayout::Center  ? FXTextFlag::VerticalCenter
                                                : FXTextFlag::Bottom;
    return flags;
}

void FXTextBox::UpdateTheme(bool) {
    UpdateColors();
    Layout();
    Invalidate();
}

TColor FXTextBox::Background() {
    return FDrawColors->BackGround();
}

QString FXTextBox::AccessibleText() const {
    return accessibleName().isEmpty() ? FText : accessibleName();
}

void FXTextBox::UpdateColors() {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    FDrawColors->Assign(ThemeManager->SystemColor());
    if (FCustomColors->Enabled()) {
        FDrawColors->LoadFrom(*FCustomColors, dark);
    } else {
        FDrawColors->LoadFrom(*ThemeManager->SystemColorSet(), dark);
        FDrawColors->setBackGround(GetParentBackgroundColor(FDrawColors->BackGround()));
    }
}

void FXTextBox::Layout() {
    FTextRect = GetClientRect();
    FDrawOffset = QPoint(0, 0);
}

QSize FXTextBox::AutoSizeFor() const {
    const QFontMetrics metrics(font());
    if (FWordWrap) {
        const QRect block = TextBlockRect(font(), FTextRect, FText, TextFlags(), FInnerMargin);
        return QSize(block.width() + Padding()->PadWidth(), block.height() + Padding()->PadHeight());
    }
    return QSize(metrics.horizontalAdvance(FText) + Padding()->PadWidth(),
                 metrics.height() + Padding()->PadHeight());
}

int FXTextBox::heightForWidth(int width) const {
    if (!FWordWrap) return -1;
    const QRect area(0, 0, std::max(1, width - Padding()->PadWidth()), 1 << 20);
    const FXTextFlags flags =
        (TextFlags() & ~(FXTextFlag::VerticalCenter | FXTextFlag::Bottom)) | FXTextFlag::Top;
    const int lines = TextBlockRect(font(), area, FText, flags, FInnerMargin).height();
    return std::max(lines, fontMetrics().height()) + 2 * FInnerMargin + Padding()->PadHeight();
}

QSize FXTextBox::sizeHint() const {
    return FAutoSize ? AutoSizeFor() : QSize(180, 30);
}

void FXTextBox::ApplyAutoSize() {
    // While a layout is read the designed geometry stands, whichever setter runs
    // first: the one place that decides it, so callers need not.
    if (!FAutoSize || FSizing || FXFormReading::Active()) return;
    // Inside a layout the layout owns the geometry: it asks sizeHint instead.
    if (parentWidget() != nullptr && parentWidget()->layout() != nullptr &&
        parentWidget()->layout()->indexOf(this) >= 0) {
        updateGeometry();
        return;
    }
    FSizing = true;
    resize(AutoSizeFor());
    FSizing = false;
    Layout();
}

void FXTextBox::PaintBuffer(QPainter& painter) {
    setColor(FDrawColors->BackGround());
    DrawBackground(painter);
    painter.setFont(font());
    painter.setPen(ToQColor(FDrawColors->ForeGround()));
    DrawTextRect(painter, FTextRect.translated(FDrawOffset), FText, TextFlags(), FInnerMargin);
    if (FOverlayColor >> 24 != 0) painter.fillRect(rect(), QColor::fromRgba(FOverlayColor));
    FXWindowsControl::PaintBuffer(painter);
}

void FXTextBox::ComponentCreated() {
    ApplyAutoSize();
}

void FXTextBox::FontUpdate() {
    Layout();
    ApplyAutoSize();
    Invalidate();
}

void FXTextBox::ScaleChanged(double Scaling) {
    FXWindowsControl::ScaleChanged(Scaling);
    Layout();
}

void FXTextBox::resizeEvent(QResizeEvent* event) {
    Layout();
    if (!(ThemeManager && ThemeManager->Designing())) ApplyAutoSize();
    FXWindowsControl::resizeEvent(event);
}
