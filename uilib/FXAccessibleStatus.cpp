#include "FXAccessibleStatus.h"

#include "FXWindowsControl.h"

#include <QWidget>

FXAccessibleStatus::FXAccessibleStatus(QWidget* control, QAccessible::Role role,
                                       std::function<QString()> name,
                                       std::function<void(QAccessible::State&)> state,
                                       std::optional<FXAccessibleRange> range)
    : QAccessibleWidget(control, role), FName(std::move(name)), FState(std::move(state)),
      FRange(std::move(range)) {}

QString FXAccessibleStatus::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && FName) return FName();
    if (t == QAccessible::Value && FRange) return QString::number(FRange->Current());
    return QAccessibleWidget::text(t);
}

QAccessible::Role FXAccessibleStatus::role() const {
    if (auto* control = qobject_cast<FXWindowsControl*>(widget())) return control->AccessibleRole();
    return QAccessibleWidget::role();
}

QAccessible::State FXAccessibleStatus::state() const {
    QAccessible::State result = QAccessibleWidget::state();
    if (FState) FState(result);
    return result;
}

void* FXAccessibleStatus::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface && FRange) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant FXAccessibleStatus::currentValue() const {
    return FRange ? QVariant(FRange->Current()) : QVariant();
}

void FXAccessibleStatus::setCurrentValue(const QVariant& value) {
    if (FRange && FRange->Set) FRange->Set(value.toDouble());
}

QVariant FXAccessibleStatus::maximumValue() const {
    return FRange ? QVariant(FRange->Maximum()) : QVariant();
}
QVariant FXAccessibleStatus::minimumValue() const {
    return FRange ? QVariant(FRange->Minimum()) : QVariant();
}
QVariant FXAccessibleStatus::minimumStepSize() const {
    return FRange ? QVariant(FRange->Step) : QVariant();
}

void NotifyAccessibleState(QWidget* control, QAccessible::State changed) {
    if (!QAccessible::isActive()) return;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}

void NotifyAccessibleValue(QWidget* control, double value) {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}
