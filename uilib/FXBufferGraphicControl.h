#pragma once
// Base of the themed controls that never take keyboard focus: the buffered
// painting and mouse states of FXBufferedControl.
#include "FXBufferedControl.h"

class FXBufferGraphicControl : public FXBufferedControl {
    Q_OBJECT

  public:
    explicit FXBufferGraphicControl(QWidget* parent = nullptr);
    bool IsTransparentControl() const override { return true; }

  signals:
    void OnMouseEnter();
    void OnMouseLeave();

  protected:
    // Called once a window layout holding the control has been applied.
    virtual void Loaded() {}
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
