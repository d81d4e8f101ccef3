#pragma once
// Small controls of the gallery that show the control bases at work: a swatch
// drawn only from its state, with a state that can be pinned for display.
#include "FXWindowsControl.h"

class GallerySwatch : public FXWindowsControl {
    Q_OBJECT

  public:
    explicit GallerySwatch(const QString& text, QWidget* parent = nullptr);
    // Shows the state regardless of the pointer.
    void PinState(FXControlState state);
    void setFill(TColor value);
    QString AccessibleText() const override { return FText; }
    QAccessible::Role AccessibleRole() const override { return QAccessible::Graphic; }
    QSize sizeHint() const override { return {110, 44}; }

  protected:
    void PaintBuffer(QPainter& painter) override;

  private:
    QString FText;
    TColor FFill = 0xD77800;
};
