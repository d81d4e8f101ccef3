#pragma once
// What the windowed and the windowless themed controls share: an off-screen
// buffer the size of the control that PaintBuffer draws the whole appearance
// into when something changes, a screen paint that only copies it, the
// interaction state driven by the mouse, and the right-click menu.
//
// Transparency does not ask the parent to repaint: a control composes what lies
// behind it from its own colour and the buffers of the themed siblings beneath
// it (DrawBackground), and a control whose buffer changes refreshes the
// transparent controls lying on top of it (InvalidateControlsAbove). That
// refresh follows the buffer, not the screen paint: the window system repaints
// overlapping siblings together, so refreshing from a paint would never end.
#include "FXTypes.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>

class QPainter;

class FXBufferedControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(unsigned Color READ Color WRITE setColor)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

  public:
    explicit FXBufferedControl(QWidget* parent = nullptr);
    ~FXBufferedControl() override;

    // The colour the buffer is filled with before painting.
    TColor Color() const { return FColor; }
    void setColor(TColor value);
    int Tag() const { return FTag; }
    void setTag(int value) { FTag = value; }
    // Shown at the release point of a right click.
    QMenu* PopupMenu() const { return FPopupMenu; }
    void setPopupMenu(QMenu* value) { FPopupMenu = value; }

    // The control's appearance as last painted; logical size of the control.
    const QImage& Buffer() const { return FBuffer; }
    FXControlState Interaction() const { return FInteraction; }
    FXControlState PreviousInteraction() const { return FPreviousInteraction; }

    // Content painter of controls that draw nothing of their own.
    void setOnPaintBuffer(std::function<void(QPainter&)> value) { FOnPaintBuffer = std::move(value); }
    // Called after every screen paint.
    void setOnPaint(std::function<void()> value) { FOnPaint = std::move(value); }

    // Redraws the buffer from the control's state and schedules a screen paint.
    virtual void Invalidate();
    // Redraws the transparent themed controls that lie on top of this one.
    virtual void InvalidateControlsAbove();
    // Whether the control takes part in composing its siblings' backgrounds.
    virtual bool IsTransparentControl() const { return false; }

    // Moves the control's edges outwards by the given amounts.
    void Inflate(int up, int right, int left, int down);

  protected:
    // Draws the whole appearance; the default runs the OnPaintBuffer painter.
    virtual void PaintBuffer(QPainter& painter);
    virtual void InteractionStateChanged(FXControlState AState);
    // Right click: pops up PopupMenu at the client point.
    virtual void OpenPopupMenu(const QPoint& point);

    // Nothing when unchanged unless Force; then remembers the old state when
    // asked, stores the new one and reports it.
    void SetInteractionState(FXControlState AState, bool Force = false, bool RememberPrevious = true);

    // The control's colour, then the buffers of the visible themed siblings
    // that lie beneath it and overlap it, copied into the background and the
    // painter's buffer.
    void DrawBackground(QPainter& painter);
    const QImage& BackgroundImage() const { return FBackground; }

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

    // Copies the buffer to the screen; the windowed control adds opacity and focus.
    virtual void PaintScreen(QPainter& painter);
    void PaintOnPaint();

  private:
    void EnsureBufferSize();

    QPointer<QMenu> FPopupMenu;
    QImage FBuffer;
    QImage FBackground;
    FXControlState FInteraction = FXControlState::None;
    FXControlState FPreviousInteraction = FXControlState::None;
    TColor FColor = 0xFFFFFF;
    int FTag = 0;
    bool FPainting = false;
    std::function<void(QPainter&)> FOnPaintBuffer;
    std::function<void()> FOnPaint;
};

// The themed controls that are children of parent, in stacking order (lowest first).
QList<FXBufferedControl*> ThemedChildren(const QWidget* parent);
