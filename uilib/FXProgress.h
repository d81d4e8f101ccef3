#pragma once
// The themed progress bar: a thin rounded track with a thicker rounded bar
// that glides to each new value, an indeterminate (marquee) kind, and paused
// and error colourings. Both animations run on main-thread timers and only
// while there is something to move: an idle or hidden bar costs nothing.
#include "FXWindowsControl.h"

class FXColorSet;
class FXColorSets;
class FXCompleteColorSet;
class FXCompleteColorSets;
class QTimer;

enum class FXProgressKind : std::uint8_t { Normal = 0, Intermediate = 1, Paused = 2, Error = 3 };

class FXProgress : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(bool Animations READ Animations WRITE setAnimations)
    Q_PROPERTY(float Value READ Value WRITE setValue)
    Q_PROPERTY(FXProgressKind ProgressKind READ ProgressKind WRITE setProgressKind)
    Q_PROPERTY(int ProgressHeight READ ProgressHeight WRITE setProgressHeight)
    Q_PROPERTY(int ProgressLineHeight READ ProgressLineHeight WRITE setProgressLineHeight)

  public:
    explicit FXProgress(QWidget* parent = nullptr);
    ~FXProgress() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    FXColorSets* CustomOtherColors() const { return FCustomOtherColors; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    // The error colour (BackGround) and the paused colour (ForeGround).
    const FXColorSet& OtherColors() const { return *FOtherColors; }

    bool Animations() const { return FAnimations; }
    void setAnimations(bool value) { FAnimations = value; }
    // 0..100.
    float Value() const { return FValue; }
    void setValue(float value);
    FXProgressKind ProgressKind() const { return FProgressKind; }
    void setProgressKind(FXProgressKind value);
    int ProgressHeight() const { return FProgressHeight; }
    void setProgressHeight(int value);
    int ProgressLineHeight() const { return FProgressLineHeight; }
    void setProgressLineHeight(int value);

    // Layout results and animation state, for painting and for tests.
    QRect DrawRect() const { return FDrawRect; }
    QRect FilledRect() const { return FFilledRect; }
    QRect LineRect() const { return FLineRect; }
    // The part of the last value change still to glide (added to Value when drawn).
    float ValueAdd() const { return FValueAdd; }
    int Offset() const { return FOffset; }
    int InterSize() const { return FInterSize; }
    int LengthState() const { return FLengthState; }
    bool Gliding() const;
    bool MarqueeRunning() const;

    // Lays out first when the size changed while the bar was hidden.
    void Invalidate() override;

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::ProgressBar; }
    QAccessibleInterface* CreateAccessibleInterface() override;
    QSize sizeHint() const override { return {200, 20}; }

  protected:
    void UpdateColors();
    void Layout();
    void AnimateTo(float value);
    void SetAnimationThread(bool active);
    void PaintBuffer(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void GlideStep();
    void MarqueeStep();
    void FinishGlide();

    QRect FDrawRect, FFilledRect, FLineRect;
    FXCompleteColorSet* FDrawColors = nullptr;
    FXCompleteColorSets* FCustomColors = nullptr;
    FXColorSet* FOtherColors = nullptr;
    FXColorSets* FCustomOtherColors = nullptr;
    bool FAnimations = true;
    int FOffset = 0;
    int FInterSize = 0;
    int FLengthState = 0;
    QTimer* FProgressThread = nullptr;
    int FProgressPos = 0;
    QTimer* FAnimateThread = nullptr;
    bool FThreadActive = false;
    float FValue = 0;
    float FValueAdd = 0;
    float FValueAddMax = 0;
    FXProgressKind FProgressKind = FXProgressKind::Normal;
    int FProgressHeight = 4;
    int FProgressLineHeight = 2;
    QSize FLayoutSize;
};
