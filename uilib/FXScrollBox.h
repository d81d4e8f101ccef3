#pragma once
// The scrolling container of the settings pages: children are placed in it
// directly and scrolled as a whole; two themed bars, whose ranges follow the
// content, replace the platform's, the wheel scrolls smoothly, and room is
// added below (and beside) the content.
#include "FXControl.h"
#include "FXPanel.h"
#include "FXScrollbar.h"

#include <QWidget>

class FXCompleteColorSet;
class FXCompleteColorSets;
class FXScrollBox;
class QTimer;

// A bar of a scroll box: its range is the box's content less what shows.
class FXScrollBoxScrollBar : public FXScrollbar {
    Q_OBJECT

  public:
    explicit FXScrollBoxScrollBar(FXScrollBox* box, FXOrientation orientation);
    // Recomputes Max from the box's visible children; hides the bar when there is nothing to scroll.
    void UpdateRange();

  private:
    FXScrollBox* FBox;
};

class FXScrollBox : public QWidget, public FXControl {
    Q_OBJECT
    Q_PROPERTY(int ScrollSpeed READ ScrollSpeed WRITE setScrollSpeed)
    Q_PROPERTY(FXBackgroundColor BackgroundColor READ BackgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(bool ScrollbarEnableVertical READ ScrollbarEnableVertical WRITE setScrollbarEnableVertical)
    Q_PROPERTY(
        bool ScrollbarEnableHorizontal READ ScrollbarEnableHorizontal WRITE setScrollbarEnableHorizontal)
    Q_PROPERTY(int ScrollExtendX READ ScrollExtendX WRITE setScrollExtendX)
    Q_PROPERTY(int ScrollExtendY READ ScrollExtendY WRITE setScrollExtendY)
    Q_PROPERTY(bool Animation READ Animation WRITE setAnimation)

  public:
    explicit FXScrollBox(QWidget* parent = nullptr);
    ~FXScrollBox() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    // Pixels per wheel notch.
    int ScrollSpeed() const { return FScrollSpeed; }
    void setScrollSpeed(int value) { FScrollSpeed = value; }
    FXBackgroundColor BackgroundColor() const { return FBackground; }
    void setBackgroundColor(FXBackgroundColor value);
    FXScrollBoxScrollBar* ScrollBarVert() const { return FVertScroll; }
    FXScrollBoxScrollBar* ScrollBarHorz() const { return FHorzScroll; }
    bool ScrollbarEnableVertical() const { return FEnableVertical; }
    void setScrollbarEnableVertical(bool value);
    bool ScrollbarEnableHorizontal() const { return FEnableHorizontal; }
    void setScrollbarEnableHorizontal(bool value);
    // Room added beside and below the content.
    int ScrollExtendX() const { return FExtendX; }
    void setScrollExtendX(int value);
    int ScrollExtendY() const { return FExtendY; }
    void setScrollExtendY(int value);
    bool Animation() const { return FAnimation; }
    void setAnimation(bool value) { FAnimation = value; }

    // The content's offsets, and the wheel amounts still to scroll.
    int PosX() const { return FPosX; }
    int PosY() const { return FPosY; }
    int AnimX() const { return FAnimX; }
    int AnimY() const { return FAnimY; }
    const QTimer* SmoothTimer() const { return FTimer; }

    // Removes and frees every child except the two bars.
    void DestroyAll();
    // Recomputes both ranges and places the bars (also done on every change of the content).
    void UpdateRanges();

    bool IsContainer() override { return true; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QSize sizeHint() const override { return {200, 150}; }

  protected:
    void UpdateColors();
    void PlaceBars();
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BarChanged(FXScrollBoxScrollBar* bar);
    void SmoothTick();
    bool IsContent(const QObject* child) const;

    FXCompleteColorSet* FDrawColors = nullptr;
    FXCompleteColorSets* FCustomColors = nullptr;
    int FScrollSpeed = 25;
    FXBackgroundColor FBackground = FXBackgroundColor::Background;
    FXScrollBoxScrollBar* FVertScroll = nullptr;
    FXScrollBoxScrollBar* FHorzScroll = nullptr;
    bool FEnableVertical = true;
    bool FEnableHorizontal = true;
    int FExtendX = 0;
    int FExtendY = 100;
    int FPosX = 0;
    int FPosY = 0;
    int FAnimX = 0;
    int FAnimY = 0;
    bool FAnimation = true;
    QTimer* FTimer = nullptr;
    bool FScrolling = false;
};
