#include "FXPanel.h"

#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXThemeManager.h"

#include <QPainter>
#include <QPointer>

void UpdateThemedChildren(QWidget* parent, bool UpdateChildren) {
    // An update may add or remove controls: walk a guarded snapshot.
    QList<QPointer<QObject>> children;
    for (QObject* child : parent->children())
        children.append(child);
    for (const QPointer<QObject>& child : children)
        if (auto* control = dynamic_cast<FXControl*>(child.data()); control && child->isWidgetType())
            control->UpdateTheme(UpdateChildren);
}

FXPanel::FXPanel(QWidget* parent) : QWidget(parent) {
    FCustomColors = new FXCompleteColorSets(this);
    FDrawColors = new FXCompleteColorSet(this);
    if (ThemeManager != nullptr) {
        QFont panelFont = font();
        panelFont.setFamily(ThemeManager->FormFont());
        setFont(panelFont);
        FDrawColors->LoadFrom(*ThemeManager->SystemColorSet(), ThemeManager->DarkTheme());
    }
    UpdateColors();
}

FXPanel::~FXPanel() = default;

void FXPanel::setBackgroundColor(FXBackgroundColor value) {
    if (FBackground == value) return;
    FBackground = value;
    update();
    if (!FXFormReading::Active()) UpdateColors();
}

void FXPanel::setAccentLine(bool value) {
    FAccentLine = value;
    if (!FXFormReading::Active()) update();
}

void FXPanel::setAccentLineWidth(int value) {
    FLineWidth = value;
    if (!FXFormReading::Active()) update();
}

void FXPanel::UpdateTheme(bool UpdateChildren) {
    UpdateColors();
    update();
    if (UpdateChildren) UpdateThemedChildren(this, UpdateChildren);
}

TColor FXPanel::Background() {
    return FBackground == FXBackgroundColor::Content ? FDrawColors->BackGroundInterior()
                                                     : FDrawColors->BackGround();
}

void FXPanel::UpdateColors() {
    if (ThemeManager == nullptr) return;
    if (FCustomColors->Enabled())
        FDrawColors->LoadFrom(*FCustomColors, ThemeManager->DarkTheme());
    else
        FDrawColors->Assign(ThemeManager->SystemColor());
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(FDrawColors->ForeGround()));
    colours.setColor(QPalette::Window, ToQColor(Background()));
    setPalette(colours);
}

void FXPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Background()));
    if (FAccentLine)
        DrawRoundRect(painter, QRectF(QPointF(10, 10), QPointF(FLineWidth + 10, height() - 10)), 8,
                      ToQColor(FDrawColors->Accent()));
}
