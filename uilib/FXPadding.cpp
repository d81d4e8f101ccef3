#include "FXPadding.h"

#include "FXControl.h"
#include "FXFormReading.h"

FXPadding::FXPadding(QObject* AOwner) : QObject(AOwner), FOwner(AOwner) {}

void FXPadding::setLeft(int value) {
    FLeft = value;
    Changed();
}

void FXPadding::setTop(int value) {
    FTop = value;
    Changed();
}

void FXPadding::setRight(int value) {
    FRight = value;
    Changed();
}

void FXPadding::setBottom(int value) {
    FBottom = value;
    Changed();
}

void FXPadding::setMargins(const QMargins& value) {
    if (value == Margins()) return;
    FLeft = value.left();
    FTop = value.top();
    FRight = value.right();
    FBottom = value.bottom();
    Changed();
}

QRect FXPadding::ApplyTo(const QRect& ARect) const {
    return ARect.adjusted(FLeft, FTop, -FRight, -FBottom);
}

void FXPadding::ScaleChanged(double Scaling) {
    FLeft = int(FLeft * Scaling);
    FTop = int(FTop * Scaling);
    FRight = int(FRight * Scaling);
    FBottom = int(FBottom * Scaling);
}

void FXPadding::Assign(const FXPadding& Source) {
    setMargins(Source.Margins());
}

void FXPadding::Changed() {
    if (auto* control = dynamic_cast<FXControl*>(FOwner.data()); control && !FXFormReading::Active())
        control->UpdateTheme(true);
    emit OnChange();
}
