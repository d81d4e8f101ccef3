#include "FXHintPopup.h"

#include "FXCompleteColorSets.h"
#include "FXCustomTooltip.h"
#include "FXThemeManager.h"

#include <QTimer>

FXHintPopup::FXHintPopup(QObject* parent) : QObject(parent), FTooltip(std::make_unique<FXCustomTooltip>()) {
    FTimer = new QTimer(this);
    FTimer->setSingleShot(true);
    FTimer->setInterval(FDuration);
    connect(FTimer, &QTimer::timeout, this, &FXHintPopup::TimerTick);
}

FXHintPopup::~FXHintPopup() = default;

void FXHintPopup::setDuration(int value) {
    FDuration = value;
    FTimer->setInterval(value);
    if (FTimer->isActive()) FTimer->start();
}

void FXHintPopup::setAutoHide(bool value) {
    FAutoHide = value;
    if (value && FIsVisible) FTimer->start();
}

void FXHintPopup::Show() {
    FTimer->stop();
    FTimer->setInterval(FDuration);
    if (FAutoHide) FTimer->start();
    if (ThemeManager != nullptr) {
        const FXCompleteColorSets& colours = *ThemeManager->SystemToolTip();
        const bool dark = ThemeManager->DarkTheme();
        FTooltip->setBackColor(dark ? colours.DarkBackGround() : colours.LightBackGround());
        FTooltip->setBorderColor(dark ? colours.DarkBackGroundInterior() : colours.LightBackGroundInterior());
    }
    FIsVisible = true;
    const QSize size = FTooltip->CalcHintRect(FMaxWidth, FText);
    QPoint topLeft = FPosition;
    if (FCenterToPosition) topLeft -= QPoint(size.width() / 2, size.height() / 2);
    FTooltip->ActivateHint(topLeft, FText);
}

void FXHintPopup::ShowAtPoint(const QPoint& p) {
    FPosition = p;
    Show();
}

void FXHintPopup::Hide() {
    FIsVisible = false;
    FTimer->stop();
    FTooltip->hide();
}

QFont FXHintPopup::GetFont() const {
    return FTooltip->font();
}

void FXHintPopup::SetFont(const QFont& font) {
    FTooltip->setFont(font);
}

void FXHintPopup::TimerTick() {
    if (FAutoHide) Hide();
    FTimer->stop();
}
