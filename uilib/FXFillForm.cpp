#include "FXFillForm.h"

#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXCustomTooltip.h"
#include "FXDrawing.h"
#include "FXForm.h"
#include "FXFormEvents.h"
#include "FXPanel.h"
#include "FXThemeManager.h"
#include "FXTitleBar.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

FXFillForm::FXFillForm(QWidget* parentForm) : FXFillForm(parentForm, FXFormCloseAction::Hide) {}

FXFillForm* FXFillForm::CreateNew(QWidget* parentForm) {
    return new FXFillForm(parentForm, FXFormCloseAction::Free);
}

FXFillForm::FXFillForm(QWidget* parentForm, FXFormCloseAction closeAction)
    : QWidget(parentForm), FParentForm(parentForm), FCloseAction(closeAction) {
    Setup();
}

FXFillForm::~FXFillForm() = default;

void FXFillForm::Setup() {
    FCustomColors = new FXColorSets(this, false);
    FDrawColors = std::make_unique<FXColorSet>();
    FMargin = 20;
    setAutoFillBackground(true);
    FitToParent();
    if (findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty()) {
        FContainer = new FXPanel(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(FContainer);
        ApplyMargins();
    }
    UpdateTheme(true);
}

void FXFillForm::setParentForm(QWidget* value) {
    if (FParentForm == value) return;
    FParentForm = value;
    setParent(value);
    FitToParent();
}

void FXFillForm::setFillMode(FXFormFill value) {
    if (FFillMode == value) return;
    FFillMode = value;
    FitToParent();
    ApplyMargins();
}

void FXFillForm::FitToParent() {
    if (FParentForm == nullptr) return;
    auto* form = qobject_cast<FXForm*>(FParentForm.data());
    FTitlebarHeight = form ? form->GetTitlebarHeight() : 0;
    QRect bounds = FParentForm->rect();
    if (FFillMode == FXFormFill::TitleBar) bounds.setTop(FTitlebarHeight);
    setGeometry(bounds);
    if (FFillMode == FXFormFill::Complete) raise();
}

void FXFillForm::ApplyMargins() {
    if (layout() == nullptr) return;
    const int top = FMargin + (FFillMode == FXFormFill::Complete ? FTitlebarHeight : 0);
    setUpdatesEnabled(false);
    layout()->setContentsMargins(FMargin, top, FMargin, FMargin);
    setUpdatesEnabled(true);
}

void FXFillForm::UpdateTheme(bool UpdateChildren) {
    if (ThemeManager == nullptr) return;
    const bool dark = ThemeManager->DarkTheme();
    LoadFormColors(*FCustomColors, *FDrawColors);
    if (FContainer) FContainer->CustomColors()->Assign(FCustomColors);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(FDrawColors->BackGround()));
    colours.setColor(QPalette::WindowText, ToQColor(FDrawColors->ForeGround()));
    setPalette(colours);
    SetApplicationTooltip(dark ? FXTooltipKind::Dark : FXTooltipKind::Light);
    emit OnThemeChange(FXThemeType::AppTheme, dark, ThemeManager->AccentColor());
    if (!UpdateChildren) return;
    setUpdatesEnabled(false);
    for (QWidget* child : findChildren<QWidget*>())
        if (auto* control = dynamic_cast<FXControl*>(child)) control->UpdateTheme(UpdateChildren);
    setUpdatesEnabled(true);
}

TColor FXFillForm::Background() {
    return FDrawColors->BackGround();
}

bool FXFillForm::event(QEvent* event) {
    // The page follows the form it covers, as a control anchored on all sides.
    if (event->type() == FXFormResizedEvent::Type()) {
        FitToParent();
        ApplyMargins();
        return true;
    }
    return QWidget::event(event);
}

void FXFillForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (FCloseAction != FXFormCloseAction::Hide) deleteLater();
}

void FXFillForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && FParentForm) {
        StartSystemMove(FParentForm->window());
        return;
    }
    QWidget::mousePressEvent(event);
}
