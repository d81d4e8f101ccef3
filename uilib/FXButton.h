#pragma once
// The themed push button: a rounded body whose colours follow the pointer with
// a short cross-fade, an optional icon beside, above or below the caption, an
// optional underline or outline, and a temporary "state" caption and icon
// (for instance "Checking..." while a task runs). One class covers plain,
// accent, toggle, drop-down, link and flat buttons.
#include "FXControlTypes.h"
#include "FXDrawing.h"
#include "FXWindowsControl.h"

#include <QPointer>

#include <functional>

class FXColorStateSet;
class FXColorStateSets;
class FXCompleteColorSet;
class FXCompleteColorSets;
class FXIconSelect;
class QMenu;
class QTimer;

enum class FXButtonKind : std::uint8_t {
    Normal = 0,
    Accent = 1,
    Toggle = 2,
    Dropdown = 3,
    Link = 4,
    Flat = 5
};

enum class FXDetailType : std::uint8_t { None = 0, Underline = 1, Outline = 2 };

class FXButton : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(double ImageScale READ ImageScale WRITE setImageScale)
    Q_PROPERTY(FXDrawLayout ImageLayout READ ImageLayout WRITE setImageLayout)
    Q_PROPERTY(FXLayout LayoutVertical READ LayoutVertical WRITE setLayoutVertical)
    Q_PROPERTY(FXLayout LayoutHorizontal READ LayoutHorizontal WRITE setLayoutHorizontal)
    Q_PROPERTY(bool AutomaticCursorPointer READ AutomaticCursorPointer WRITE setAutomaticCursorPointer)
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(FXButtonKind ButtonKind READ ButtonKind WRITE setButtonKind)
    Q_PROPERTY(int Roundness READ Roundness WRITE setRoundness)
    Q_PROPERTY(QString HyperLinkURL READ HyperLinkURL WRITE setHyperLinkURL)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(QString StateText READ StateText WRITE setStateText)
    Q_PROPERTY(bool StateEnabled READ StateEnabled WRITE setStateEnabled)
    Q_PROPERTY(int StateDuration READ StateDuration WRITE setStateDuration)
    Q_PROPERTY(bool AutoStateToggle READ AutoStateToggle WRITE setAutoStateToggle)
    Q_PROPERTY(bool RepeatWhenPressed READ RepeatWhenPressed WRITE setRepeatWhenPressed)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(bool Animation READ Animation WRITE setAnimation)
    Q_PROPERTY(double LineWidth READ LineWidth WRITE setLineWidth)
    Q_PROPERTY(FXDetailType Detail READ Detail WRITE setDetail)
    Q_PROPERTY(bool ShowText READ ShowText WRITE setShowText)

  public:
    // Asked before the form's modal result is set; clearing SendModal keeps the form open.
    using FXBeforeModalResult = std::function<void(FXButton* Sender, bool& SendModal)>;

    explicit FXButton(QWidget* parent = nullptr);
    ~FXButton() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    FXColorStateSets* CustomButtonColors() const { return FCustomButtonColors; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    const FXColorStateSet& ButtonColors() const { return *FButtonColors; }

    const QString& Text() const { return FText; }
    void setText(const QString& value);
    bool Checked() const { return FChecked; }
    void setChecked(bool value);
    bool WordWrap() const { return FWordWrap; }
    void setWordWrap(bool value);
    FXIconSelect* Image() const { return FImage; }
    double ImageScale() const { return FImageScale; }
    void setImageScale(double value);
    FXDrawLayout ImageLayout() const { return FImageLayout; }
    void setImageLayout(FXDrawLayout value);
    FXLayout LayoutVertical() const { return FVertLayout; }
    void setLayoutVertical(FXLayout value);
    FXLayout LayoutHorizontal() const { return FHorizLayout; }
    void setLayoutHorizontal(FXLayout value);
    bool AutomaticCursorPointer() const { return FAutomaticMouseCursor; }
    void setAutomaticCursorPointer(bool value) { FAutomaticMouseCursor = value; }
    bool Cancel() const { return FCancel; }
    void setCancel(bool value) { FCancel = value; }
    bool Default() const { return FDefault; }
    void setDefault(bool value) { FDefault = value; }
    FXButtonKind ButtonKind() const { return FButtonKind; }
    void setButtonKind(FXButtonKind value);
    int Roundness() const { return FRoundNess; }
    void setRoundness(int value);
    const QString& HyperLinkURL() const { return FHyperLinkURL; }
    void setHyperLinkURL(const QString& value) { FHyperLinkURL = value; }
    QMenu* DropDown() const { return FDropDown; }
    void setDropDown(QMenu* value) { FDropDown = value; }
    int Margin() const { return FMargin; }
    void setMargin(int value);
    const QString& StateText() const { return FStateText; }
    void setStateText(const QString& value);
    FXIconSelect* StateImage() const { return FStateImage; }
    bool StateEnabled() const { return FStateEnabled; }
    void setStateEnabled(bool value);
    // Milliseconds the state caption lasts; 0 keeps it until it is cleared.
    int StateDuration() const { return FStateDuration; }
    void setStateDuration(int value);
    bool AutoStateToggle() const { return FAutoStateToggle; }
    void setAutoStateToggle(bool value) { FAutoStateToggle = value; }
    bool RepeatWhenPressed() const { return FRepeatWhenPressed; }
    void setRepeatWhenPressed(bool value) { FRepeatWhenPressed = value; }
    int ModalResult() const { return FModalResult; }
    void setModalResult(int value) { FModalResult = value; }
    void setOnBeforeModalResult(FXBeforeModalResult value) { FBeforeModal = std::move(value); }
    bool Animation() const { return FAnimation; }
    void setAnimation(bool value) { FAnimation = value; }
    double LineWidth() const { return FLineWidth; }
    void setLineWidth(double value);
    FXDetailType Detail() const { return FDetail; }
    void setDetail(FXDetailType value);
    bool ShowText() const { return FShowText; }
    void setShowText(bool value);

    // The caption and icon on show: the state ones while StateEnabled.
    const QString& DisplayedText() const { return FStateEnabled ? FStateText : FText; }
    const FXIconSelect* DisplayedImage() const { return FStateEnabled ? FStateImage : FImage; }

    // Layout results, for painting and for tests.
    QRect DrawRect() const { return FDrawRect; }
    QRect CaptionRect() const { return FCaptionRect; }
    QRect IndicatorRect() const { return FIndicatorRect; }
    QRect ImageRect() const { return FImageRect; }
    QRect TheTextRect() const { return FTheTextRect; }
    FXTextFlags TextDrawFlags() const { return FTextDrawFlags; }
    double BorderWidth() const { return FBorderWidth; }
    bool AnimationRunning() const { return FAnimationRunning; }
    int AnimPos() const { return FAnimPos; }
    int ArrowOffset() const { return FArrowOffset; }
    const QTimer* StateTimer() const { return FAutoStopState; }
    const QTimer* RepeatTimer() const { return FAutoRepeat; }

    // The Tag of the first checked button among the siblings (itself included);
    // its own Tag when none is checked or it has no parent.
    int GetCheckedTag() const;

    // Toggles, opens the menu or the link, then the state caption, the form's
    // modal result and OnClick.
    void Click();

    // Lays out first when the size or the icon's presence changed since the last layout.
    void Invalidate() override;

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QString AccessibleText() const override;
    QAccessible::Role AccessibleRole() const override;
    QAccessibleInterface* CreateAccessibleInterface() override;
    QSize sizeHint() const override { return {140, 35}; }

  signals:
    void OnClick();
    void OnCheck();
    void OnOpenLink();
    void OnDropDown();

  protected:
    void UpdateColors();
    void Layout();
    void PaintBuffer(QPainter& painter) override;
    void InteractionStateChanged(FXControlState AState) override;
    void ScaleChanged(double Scaling) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void RepeatTick();

    QRect FDrawRect, FCaptionRect, FIndicatorRect, FImageRect, FTheTextRect;
    FXCompleteColorSets* FCustomColors = nullptr;
    FXColorStateSets* FCustomButtonColors = nullptr;
    FXCompleteColorSet* FDrawColors = nullptr;
    FXColorStateSet* FButtonColors = nullptr;
    QString FText = QStringLiteral("Button");
    bool FChecked = false;
    bool FWordWrap = true;
    FXIconSelect* FImage = nullptr;
    double FImageScale = 1.25;
    FXDrawLayout FImageLayout = FXDrawLayout::Left;
    FXLayout FVertLayout = FXLayout::Center;
    FXLayout FHorizLayout = FXLayout::Center;
    bool FAutomaticMouseCursor = true;
    bool FCancel = false;
    bool FDefault = false;
    FXButtonKind FButtonKind = FXButtonKind::Normal;
    FXTextFlags FTextDrawFlags;
    int FRoundNess = 10;
    double FBorderWidth = 1;
    QString FHyperLinkURL;
    QPointer<QMenu> FDropDown;
    int FMargin = 0;
    QString FStateText;
    FXIconSelect* FStateImage = nullptr;
    bool FStateEnabled = false;
    int FStateDuration = 1000;
    QTimer* FAutoStopState = nullptr;
    bool FAutoStateToggle = false;
    bool FAnimationRunning = false;
    int FAnimPos = 255;
    QTimer* FAutoRepeat = nullptr;
    bool FRepeatWhenPressed = false;
    int FModalResult = 0;
    FXBeforeModalResult FBeforeModal;
    bool FAnimation = true;
    double FLineWidth = 3.0;
    FXDetailType FDetail = FXDetailType::None;
    bool FShowText = true;
    int FArrowOffset = 0;
    bool FMouseDown = false;
    QSize FLayoutSize;
    bool FLayoutWithImage = false;
};
