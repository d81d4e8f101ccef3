#pragma once
// The panel a themed form draws in place of the system's title bar: the
// window's caption, minimise, maximise and close buttons in twelve settable
// colours, dragging the window and double-click to maximise. Controls may be
// placed on it like on any panel; the buttons keep the right end.
#include "TitleBarColors.h"

#include <QAbstractButton>
#include <QWidget>

#include <optional>

class FXTitleBarButton;

class FXTitleBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE setShowCaption)

  public:
    explicit FXTitleBar(QWidget* parent = nullptr);

    const TitleBarColors& Colors() const { return FColors; }
    void setColors(const TitleBarColors& value);
    bool ShowCaption() const { return FShowCaption; }
    void setShowCaption(bool value);

    FXTitleBarButton* MinimiseButton() const { return FMinimise; }
    FXTitleBarButton* MaximiseButton() const { return FMaximise; }
    FXTitleBarButton* CloseButton() const { return FClose; }
    // Where the caption is drawn: between the left edge and the buttons.
    QRect CaptionRect() const;
    // Shows the buttons the window's state allows and places them.
    void UpdateButtons();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void LayoutButtons();

    TitleBarColors FColors;
    bool FShowCaption = true;
    FXTitleBarButton* FMinimise = nullptr;
    FXTitleBarButton* FMaximise = nullptr;
    FXTitleBarButton* FClose = nullptr;
    // Set while the window follows the pointer by hand, where the window
    // system cannot move it itself.
    QPoint FDragOffset;
    bool FDragging = false;
    // Where the left button went down. The move starts only once the pointer
    // travels: the window system takes the pointer for a move, and a click
    // or double-click must still reach the title bar.
    std::optional<QPoint> FPressPos;
};

enum class FXTitleBarButtonKind : std::uint8_t { Minimise, Maximise, Restore, Close };

class FXTitleBarButton : public QAbstractButton {
    Q_OBJECT

  public:
    FXTitleBarButton(FXTitleBarButtonKind kind, FXTitleBar* parent);

    FXTitleBarButtonKind Kind() const { return FKind; }
    void setKind(FXTitleBarButtonKind value);
    QSize sizeHint() const override { return {46, 32}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FXTitleBarButtonKind FKind;
};

// Starts moving or resizing the window through the window system; false where
// it cannot (then the caller moves the window itself).
bool StartSystemMove(QWidget* window);
bool StartSystemResize(QWidget* window, Qt::Edges edges);
