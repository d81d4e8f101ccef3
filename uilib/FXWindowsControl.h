#pragma once
// Base of the themed controls that take keyboard focus: the buffered painting
// of FXBufferedControl plus transparency over sibling controls, whole-control
// opacity, inner padding, the text font, a focus outline after keyboard entry
// and the navigation keys a control may keep for itself.
#include "FXBufferedControl.h"
#include "FXControl.h"

#include <QAccessible>
#include <QFlags>
#include <QMargins>

class FXPadding;

enum class FXFocusFlag : std::uint8_t {
    CatchTab = 1 << 0,
    CatchLeft = 1 << 1,
    CatchUp = 1 << 2,
    CatchRight = 1 << 3,
    CatchDown = 1 << 4,
};
Q_DECLARE_FLAGS(FXFocusFlags, FXFocusFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FXFocusFlags)

class FXWindowsControl : public FXBufferedControl, public FXControl {
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(int Opacity READ Opacity WRITE setOpacity)
    Q_PROPERTY(bool AutoFocusLine READ AutoFocusLine WRITE setAutoFocusLine)
    Q_PROPERTY(QMargins PaddingFill READ PaddingFill WRITE setPaddingFill)

  public:
    explicit FXWindowsControl(QWidget* parent = nullptr);
    ~FXWindowsControl() override;

    bool Transparent() const { return FTransparent; }
    void setTransparent(bool value);
    // 0..255; below 255 the buffer is laid over the composed background.
    int Opacity() const { return FOpacity; }
    void setOpacity(int value);
    bool AutoFocusLine() const { return FAutoFocusLine; }
    void setAutoFocusLine(bool value);
    FXPadding* Padding() const { return FPadding; }
    QMargins PaddingFill() const;
    void setPaddingFill(const QMargins& value);
    FXFocusFlags FocusFlags() const { return FFocusFlags; }
    void setFocusFlags(FXFocusFlags value) { FFocusFlags = value; }
    // Entered by keyboard and not clicked since: the focus outline shows.
    bool HasEnteredTab() const { return FHasEnteredTab; }
    QRect FocusRect() const { return FFocusRect; }

    // The control's rectangle less its padding.
    QRect GetClientRect() const;
    // The parent's Background when the parent is themed, else Default.
    TColor GetParentBackgroundColor(TColor Default) const;
    bool IsTransparentControl() const override { return FTransparent; }

    // What a screen reader announces and how it calls the control.
    virtual QString AccessibleText() const;
    virtual QAccessible::Role AccessibleRole() const { return QAccessible::Client; }
    // A control with more to announce (a checked state, a value) supplies its
    // own interface; nullptr takes the common one.
    virtual QAccessibleInterface* CreateAccessibleInterface() { return nullptr; }

    bool IsContainer() override { return false; }
    void UpdateTheme(bool) override { Invalidate(); }
    TColor Background() override { return Color(); }

  signals:
    void OnMouseEnter();
    void OnMouseLeave();

  protected:
    // Runs once, before the control is first shown.
    virtual void ComponentCreated() {}
    // The outline follows the client rectangle, 2 pixels in at right and bottom.
    virtual void UpdateFocusRect();
    virtual void FontUpdate() { Invalidate(); }
    // Scales the font and the padding; the platform scales everything else.
    virtual void ScaleChanged(double Scaling);
    // Whether the control keeps a navigation key instead of moving the focus.
    virtual bool HandleKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void InteractionStateChanged(FXControlState AState) override;
    void PaintScreen(QPainter& painter) override;

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    FXPadding* FPadding = nullptr;
    QRect FFocusRect;
    bool FAutoFocusLine = false;
    bool FHasEnteredTab = false;
    bool FCreated = false;
    bool FTransparent = true;
    int FOpacity = 255;
    FXFocusFlags FFocusFlags;
};

// Accessible names and roles of the library's controls for screen readers.
void InstallAccessibleControls();
