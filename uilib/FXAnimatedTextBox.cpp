#include "FXAnimatedTextBox.h"

#include "FXThemeManager.h"

#include <QTimer>

FXAnimatedTextBox::FXAnimatedTextBox(QWidget* parent) : FXTextBox(parent) {
    FTimer = new QTimer(this);
    FTimer->setInterval(FDelay);
    connect(FTimer, &QTimer::timeout, this, &FXAnimatedTextBox::Advance);
    if (ThemeManager && ThemeManager->Designing()) {
        FItems = {QStringLiteral("Item 1"), QStringLiteral("Item 2"), QStringLiteral("Item 3")};
        ShowItem(0);
    } else {
        setText(tr("No items"));
    }
}

void FXAnimatedTextBox::UpdateTimer() {
    if (FAnimating && isVisible()) {
        if (!FTimer->isActive()) FTimer->start();
    } else {
        FTimer->stop();
    }
}

void FXAnimatedTextBox::showEvent(QShowEvent* event) {
    FXTextBox::showEvent(event);
    UpdateTimer();
}

void FXAnimatedTextBox::hideEvent(QHideEvent* event) {
    FXTextBox::hideEvent(event);
    UpdateTimer();
}

void FXAnimatedTextBox::setItems(const QStringList& value) {
    FItems = value;
    FPosition = 0;
    ShowItem(0);
}

void FXAnimatedTextBox::setAnimating(bool value) {
    if (FAnimating == value) return;
    FAnimating = value;
    UpdateTimer();
}

void FXAnimatedTextBox::setDelay(int value) {
    if (FDelay == value) return;
    FDelay = value;
    FTimer->setInterval(value);
}

void FXAnimatedTextBox::setAdderMode(bool value) {
    if (FAdderMode == value) return;
    FAdderMode = value;
    ShowItem(FPosition);
}

void FXAnimatedTextBox::setAdderText(const QString& value) {
    if (FAdderText == value) return;
    FAdderText = value;
    ShowItem(FPosition);
}

void FXAnimatedTextBox::Advance() {
    if (!isVisible()) return;
    ShowItem(FPosition);
    FPosition = FItems.isEmpty() ? 0 : (FPosition + 1) % int(FItems.size());
}

void FXAnimatedTextBox::ShowItem(int index) {
    if (FItems.isEmpty() || index < 0 || index >= FItems.size()) {
        setText(tr("No items"));
        return;
    }
    setText(FAdderMode ? FAdderText + FItems[index] : FItems[index]);
}
