#pragma once
// The themed slider: a thin rounded track filled with the accent up to a
// round thumb whose inner dot grows under the pointer and shrinks when
// pressed, optional tick marks, keyboard stepping, and the value shown above
// the thumb while it changes.
#include "FXControlTypes.h"
#include "FXWindowsControl.h"

#include <functional>

class FXCompleteColorSet;
class FXCompleteColorSets;
class FXHintPopup;
class QTimer;

class FXSlider : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(bool AutomaticCursorPointer READ AutomaticCursorPointer WRITE setAutomaticCursorPointer)
    Q_PROPERTY(FXOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int SliderHeight READ SliderHeight WRITE setSliderHeight)
    Q_PROPERTY(int IconSize READ IconSize WRITE setIconSize)
    Q_PROPERTY(qint64 Position READ Position WRITE setPosition)
    Q_PROPERTY(qint64 Min READ Min WRITE setMin)
    Q_PROPERTY(qint64 Max READ Max WRITE setMax)
    Q_PROPERTY(int TotalTicks READ TotalTicks WRITE setTotalTicks)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE setSmallChange)
    Q_PROPERTY(bool EnablePositionHint READ EnablePositionHint WRITE setEnablePositionHint)
    Q_PROPERTY(bool AlwaysSnap READ AlwaysSnap WRITE setAlwaysSnap)

  public:
    // May replace the value text shown above the thumb (to add a unit, say).
    using FXSliderOnHint = std::function<void(FXSlider* Sender, QString& Hint)>;

    explicit FXSlider(QWidget* parent = nullptr);
    ~FXSlider() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    bool AutomaticCursorPointer() const { return FAutomaticMouseCursor; }
    void setAutomaticCursorPointer(bool value);
    FXOrientation Orientation() const { return FOrientation; }
    void setOrientation(FXOrientation value);
    int SliderHeight() const { return FSliderHeight; }
    void setSliderHeight(int value);
    // The thumb's diameter.
    int IconSize() const { return FIconSize; }
    void setIconSize(int value);
    qint64 Position() const { return FPosition; }
    void setPosition(qint64 value) { SetValue(value, Relayout::Yes, Change::Program); }
    qint64 Min() const { return FMin; }
    void setMin(qint64 value);
    qint64 Max() const { return FMax; }
    void setMax(qint64 value);
    int TotalTicks() const { return FTotalTicks; }
    // Negative counts are refused.
    void setTotalTicks(int value);
    int SmallChange() const { return FSmallChange; }
    // Only values above 0 are taken.
    void setSmallChange(int value);
    bool EnablePositionHint() const { return FEnablePositionHint; }
    void setEnablePositionHint(bool value) { FEnablePositionHint = value; }
    void setOnHint(FXSliderOnHint value) { FOnHint = std::move(value); }
    bool AlwaysSnap() const { return FAlwaysSnap; }
    void setAlwaysSnap(bool value) { FAlwaysSnap = value; }

    enum class Relayout : bool { No, Yes };
    enum class Change : bool { Program, User };
    // Stores the value (clamped unless a layout is being read) and reports it;
    // a user change also fires OnChange.
    void SetValue(qint64 value, Relayout relayout, Change change);

    // Geometry and state as painted, for tests.
    QRect DrawRect() const { return FDrawRect; }
    QRect IconRect() const { return FIconRect; }
    QRect SliderRect() const { return FSliderRect; }
    QRect SliderFull() const { return FSliderFull; }
    int PositionDraw() const { return FPositionDraw; }
    int CenterFill() const { return FCenterFill; }
    int DestinedFill() const { return FDestinedFill; }
    // The inner dot's diameter in pixels.
    int DotSize() const;
    // Centre lines of the tick marks along the track.
    QVector<int> TickPositions() const;
    const FXHintPopup& Hint() const { return *FHint; }
    const QTimer* FillTimer() const { return FFillTick; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    const FXCompleteColorSet& IconColors() const { return *FIconColors; }

    void Invalidate() override;

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::Slider; }
    QAccessibleInterface* CreateAccessibleInterface() override;
    QSize sizeHint() const override {
        return FOrientation == FXOrientation::Horizontal ? QSize(225, 40) : QSize(40, 225);
    }

  signals:
    void OnChange();
    void OnChangeValue();

  protected:
    void UpdateColors();
    void PlaceThumb();
    void Layout();
    void UpdateDotTarget();
    void ShowPositionHint();
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
    bool event(QEvent* event) override;

  private:
    void FillTick();
    int TrackStart() const;
    int TrackLength() const;
    int Along(const QPoint& point) const;
    void StepBy(qint64 delta);

    QRect FDrawRect, FIconRect, FSliderRect, FSliderFull;
    FXHintPopup* FHint = nullptr;
    bool FAutomaticMouseCursor = true;
    FXOrientation FOrientation = FXOrientation::Horizontal;
    int FSliderHeight = 6;
    int FIconSize = 22;
    int FRoundness = 3;
    qint64 FPosition = 0;
    qint64 FMin = 0;
    qint64 FMax = 100;
    int FTotalTicks = 0;
    int FSmallChange = 1;
    bool FEnablePositionHint = true;
    FXSliderOnHint FOnHint;
    bool FAlwaysSnap = false;
    int FPositionDraw = 0;
    QTimer* FFillTick = nullptr;
    int FCenterFill = 50;
    int FDestinedFill = 50;
    FXCompleteColorSets* FCustomColors = nullptr;
    FXCompleteColorSet* FDrawColors = nullptr;
    FXCompleteColorSet* FIconColors = nullptr;
    QSize FLayoutSize;
};
