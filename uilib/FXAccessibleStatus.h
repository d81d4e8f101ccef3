#pragma once
// The accessible interface of a themed control that has more to announce than
// a name and a role: a checked or mixed state, or a value within a range that
// a screen reader can read and set.
#include <QAccessibleWidget>

#include <functional>
#include <optional>

struct FXAccessibleRange {
    std::function<double()> Current;
    std::function<double()> Minimum;
    std::function<double()> Maximum;
    // Empty for a read-only value (a progress bar).
    std::function<void(double)> Set;
    double Step = 1;
};

class FXAccessibleStatus : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    FXAccessibleStatus(QWidget* control, QAccessible::Role role, std::function<QString()> name,
                       std::function<void(QAccessible::State&)> state,
                       std::optional<FXAccessibleRange> range = std::nullopt);

    QString text(QAccessible::Text t) const override;
    // A themed control answers its role afresh: a button's kind can change.
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

  private:
    std::function<QString()> FName;
    std::function<void(QAccessible::State&)> FState;
    std::optional<FXAccessibleRange> FRange;
};

// Tells a screen reader that a control's checked state or value changed.
void NotifyAccessibleState(QWidget* control, QAccessible::State changed);
void NotifyAccessibleValue(QWidget* control, double value);
