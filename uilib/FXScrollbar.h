#pragma once
// The themed scroll bar: a capsule-shaped track with a rounded thumb and two
// arrow buttons. Away from the pointer it shrinks to a thin strip of the
// thumb at its side; when the pointer comes near it expands and fades its
// track in.
#include "FXControlTypes.h"
#include "FXWindowsControl.h"

class FXCompleteColorSet;
class FXCompleteColorSets;
class QTimer;

class FXScrollbar : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(FXOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(qint64 Position READ Position WRITE setPosition)
    Q_PROPERTY(qint64 Min READ Min WRITE setMin)
    Q_PROPERTY(qint64 Max READ Max WRITE setMax)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE setSmallChange)
    Q_PROPERTY(int CustomScrollbarSize READ CustomScrollbarSize WRITE setCustomScrollbarSize)
    Q_PROPERTY(int PageSize READ PageSize WRITE setPageSize)
    Q_PROPERTY(bool EnableButtons READ EnableButtons WRITE setEnableButtons)
    Q_PROPERTY(bool AutoMinimise READ AutoMinimise WRITE setAutoMinimise)
    Q_PROPERTY(bool Minimised READ Minimised WRITE setMinimised)
    Q_PROPERTY(bool PreferLeftSide READ PreferLeftSide WRITE setPreferLeftSide)
    Q_PROPERTY(bool Animation READ Animation WRITE setAnimation)

  public:
    explicit FXScrollbar(QWidget* parent = nullptr);
    ~FXScrollbar() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    FXOrientation Orientation() const { return FOrientation; }
    void setOrientation(FXOrientation value);
    qint64 Position() const { return FPosition; }
    // Clamped to Min..Max (unless a layout is being read); reports OnChange.
    void setPosition(qint64 value);
    qint64 Min() const { return FMin; }
    void setMin(qint64 value);
    qint64 Max() const { return FMax; }
    void setMax(qint64 value);
    int SmallChange() const { return FSmallChange; }
    // Only values above 0 are taken.
    void setSmallChange(int value);
    // The thumb's length in pixels; 0 sizes it automatically. Must be shorter than the bar.
    int CustomScrollbarSize() const { return FCustomScrollBarHeight; }
    void setCustomScrollbarSize(int value);
    int PageSize() const { return FPageSize; }
    // Only values above 0 are taken.
    void setPageSize(int value);
    bool EnableButtons() const { return FEnableButtons; }
    void setEnableButtons(bool value);
    bool AutoMinimise() const { return FAutoMinimise; }
    void setAutoMinimise(bool value) { FAutoMinimise = value; }
    bool Minimised() const { return FMinimised; }
    // Fades the track to the other state's colour.
    void setMinimised(bool value);
    bool PreferLeftSide() const { return FPreferLeftSide; }
    void setPreferLeftSide(bool value);
    bool Animation() const { return FAnimation; }
    void setAnimation(bool value) { FAnimation = value; }

    // Geometry and state as painted, for tests.
    QRect DrawRect() const { return FDrawRect; }
    // The thumb.
    QRect SliderRect() const { return FSliderRect; }
    QRect Button1() const { return FButton1; }
    QRect Button2() const { return FButton2; }
    // The thumb as drawn: the whole of it, or the strip at the side while minimised.
    QRectF ThumbShape() const;
    int ThumbLength() const { return FScrollBarHeight; }
    TColor TrackColor() const { return FBackgroundColor; }
    int AnimPos() const { return FAnimPos; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    const QTimer* Repeater() const { return FRepeater; }
    const QTimer* FadeTimer() const { return FAnim; }
    bool Dragging() const { return FPressInitiated; }

    void Invalidate() override;

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::ScrollBar; }
    QAccessibleInterface* CreateAccessibleInterface() override;
    QSize sizeHint() const override {
        return FOrientation == FXOrientation::Vertical ? QSize(12, 225) : QSize(225, 12);
    }

  signals:
    void OnChange();

  protected:
    void UpdateColors();
    virtual void Layout();
    void PaintBuffer(QPainter& painter) override;
    void InteractionStateChanged(FXControlState AState) override;
    void ScaleChanged(double Scaling) override;
    bool HandleKeyDown(int Key, Qt::KeyboardModifiers Shift) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    TColor StateTrackColor(bool minimised) const;
    // Stores the state and starts the fade; the caller repaints.
    void ApplyMinimised(bool value);
    void FadeTick();
    void RepeatTick();
    void StepButton();
    void TrackPointer(const QPoint& point);

    QRect FDrawRect, FSliderRect, FButton1, FButton2;
    FXOrientation FOrientation = FXOrientation::Vertical;
    int FRoundness = 6;
    qint64 FPosition = 0;
    qint64 FMin = 0;
    qint64 FMax = 100;
    int FSmallChange = 1;
    int FScrollBarHeight = 40;
    int FCustomScrollBarHeight = 0;
    int FPageSize = 1;
    int FSliderSpacing = 3;
    bool FEnableButtons = true;
    QTimer* FRepeater = nullptr;
    bool FAutoMinimise = true;
    TColor FBackgroundColor = 0;
    TColor FFadeFrom = 0;
    int FSliderSize = 3;
    bool FMinimised = true;
    bool FPreferLeftSide = false;
    bool FAnimation = true;
    int FAnimPos = 255;
    QTimer* FAnim = nullptr;
    bool FPressInitiated = false;
    FXCompleteColorSets* FCustomColors = nullptr;
    FXCompleteColorSet* FDrawColors = nullptr;
    bool Contains1 = false;
    bool Contains2 = false;
    QSize FLayoutSize;
};
