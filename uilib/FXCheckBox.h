#pragma once
// The themed check box: a box glyph of the symbol font, in the accent colour
// when set, beside, above or below a caption and an optional icon. Three
// states; a newly set box draws its tick as two strokes that grow one after
// the other.
#include "FXControlTypes.h"
#include "FXDrawing.h"
#include "FXWindowsControl.h"

#include <QLine>

#include <optional>

class FXColorSets;
class FXCompleteColorSet;
class FXIconSelect;
class FXSingleColorStateSet;
class QTimer;

enum class FXCheckBoxState : std::uint8_t { Checked = 0, Unchecked = 1, Grayed = 2 };

class FXCheckBox : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(QFont IconFont READ IconFont WRITE setIconFont)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE setAllowGrayed)
    Q_PROPERTY(FXCheckBoxState State READ State WRITE setState)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(int TextSpacing READ TextSpacing WRITE setTextSpacing)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool AutomaticCursorPointer READ AutomaticCursorPointer WRITE setAutomaticCursorPointer)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool AnimationEnabled READ AnimationEnabled WRITE setAnimationEnabled)
    Q_PROPERTY(double ImageScale READ ImageScale WRITE setImageScale)
    Q_PROPERTY(FXDrawLayout Layout READ Layout WRITE setLayout)

  public:
    explicit FXCheckBox(QWidget* parent = nullptr);
    ~FXCheckBox() override;

    const QFont& IconFont() const { return FIconFont; }
    void setIconFont(const QFont& value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void setAllowGrayed(bool value);
    FXCheckBoxState State() const { return FState; }
    void setState(FXCheckBoxState value);
    // True for every state but Unchecked; writing sets Checked or Unchecked.
    bool Checked() const { return FState != FXCheckBoxState::Unchecked; }
    void setChecked(bool value) { setState(value ? FXCheckBoxState::Checked : FXCheckBoxState::Unchecked); }
    int TextSpacing() const { return FTextSpacing; }
    void setTextSpacing(int value);
    FXColorSets* CustomColors() const { return FCustomColors; }
    const QString& Text() const { return FText; }
    void setText(const QString& value);
    bool AutomaticCursorPointer() const { return FAutomaticMouseCursor; }
    void setAutomaticCursorPointer(bool value);
    bool WordWrap() const { return FWordWrap; }
    void setWordWrap(bool value);
    bool AnimationEnabled() const { return FAnimationEnabled; }
    void setAnimationEnabled(bool value) { FAnimationEnabled = value; }
    FXIconSelect* Image() const { return FImage; }
    double ImageScale() const { return FImageScale; }
    void setImageScale(double value);
    FXDrawLayout Layout() const { return FLayout; }
    void setLayout(FXDrawLayout value);

    // Unchecked -> Checked -> Unchecked, or through Grayed when it is allowed.
    void Toggle();

    QRect DrawRect() const { return FDrawRect; }
    QRect IconRect() const { return FIconRect; }
    QRect TextRect() const { return FTextRect; }
    QRect ImageRect() const { return FImageRect; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    const FXSingleColorStateSet& IconAccentColors() const { return *FIconAccentColors; }
    // 0..100; 100 when the tick is complete.
    int AnimationStatus() const { return FAnimationStatus; }
    const QTimer* AnimateTimer() const { return FAnimateTimer; }
    // The tick's three points and its strokes' ends as drawn now.
    struct TickStrokes {
        QPoint P1, P2, P3;
        std::optional<QLine> First, Second;
    };
    TickStrokes Tick() const;

    // Lays out first when the size or the icon's presence changed since the last layout.
    void Invalidate() override;

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QString AccessibleText() const override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::CheckBox; }
    QAccessibleInterface* CreateAccessibleInterface() override;
    QSize sizeHint() const override { return {180, 30}; }

  signals:
    void OnChange();

  protected:
    void UpdateColors();
    void DoLayout();
    void PaintBuffer(QPainter& painter) override;
    void ScaleChanged(double Scaling) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void AnimateTick();

    QRect FDrawRect, FIconRect, FTextRect, FImageRect;
    QFont FIconFont;
    bool FAllowGrayed = false;
    FXCheckBoxState FState = FXCheckBoxState::Unchecked;
    int FTextSpacing = 6;
    FXColorSets* FCustomColors = nullptr;
    FXSingleColorStateSet* FIconAccentColors = nullptr;
    QString FText = QStringLiteral("Fluent Checkbox");
    bool FAutomaticMouseCursor = false;
    FXCompleteColorSet* FDrawColors = nullptr;
    bool FWordWrap = true;
    bool FAnimationEnabled = true;
    int FAnimationStatus = 100;
    QTimer* FAnimateTimer = nullptr;
    FXIconSelect* FImage = nullptr;
    double FImageScale = 1.5;
    FXDrawLayout FLayout = FXDrawLayout::Left;
    FXLayout FTextLayout = FXLayout::Beginning;
    QSize FLayoutSize;
    bool FLayoutWithImage = false;
};
