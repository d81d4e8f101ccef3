#pragma once
// The older push button. It is not one of the themed controls: it paints its
// whole face into an off-screen picture on every repaint, takes its colours
// from the system accent (re-read before every paint) or from one of fourteen
// presets, fades between its three mouse states, and can draw an underline, a
// glyph or picture beside the caption, a second text line and a gradient body,
// and shrink briefly when pressed.
#include "CButtonOptions.h"

#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

class CButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString SubText READ SubText WRITE setSubText)
    Q_PROPERTY(bool SubTextEnabled READ SubTextEnabled WRITE setSubTextEnabled)
    Q_PROPERTY(CButtonState State READ State WRITE setState)
    Q_PROPERTY(CAccentColor UseAccentColor READ UseAccentColor WRITE setUseAccentColor)
    Q_PROPERTY(bool RoundTransparent READ RoundTransparent WRITE setRoundTransparent)
    Q_PROPERTY(bool FlatButton READ FlatButton WRITE setFlatButton)
    Q_PROPERTY(bool FlatComplete READ FlatComplete WRITE setFlatComplete)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE setShowCaption)
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(int RoundAmount READ RoundAmount WRITE setRoundAmount)
    Q_PROPERTY(CButtonIcon ButtonIcon READ ButtonIcon WRITE setButtonIcon)
    Q_PROPERTY(CPosition BImageLayout READ BImageLayout WRITE setBImageLayout)
    Q_PROPERTY(CButtonAlignment Allignment READ Allignment WRITE setAllignment)
    Q_PROPERTY(int TextWallSpacing READ TextWallSpacing WRITE setTextWallSpacing)
    Q_PROPERTY(QString BSegoeIcon READ BSegoeIcon WRITE setBSegoeIcon)
    Q_PROPERTY(bool BSegoeMetro READ BSegoeMetro WRITE setBSegoeMetro)
    Q_PROPERTY(QPixmap BPicture READ BPicture WRITE setBPicture)
    Q_PROPERTY(unsigned BmpTransparentColor READ BmpTransparentColor WRITE setBmpTransparentColor)
    Q_PROPERTY(bool BmpCustomTrColor READ BmpCustomTrColor WRITE setBmpCustomTrColor)
    Q_PROPERTY(bool AutoExtendImage READ AutoExtendImage WRITE setAutoExtendImage)
    Q_PROPERTY(int ControlStyle READ ControlStyle WRITE setControlStyle)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QFont SubTextFont READ SubTextFont WRITE setSubTextFont)
    Q_PROPERTY(unsigned Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)

  public:
    explicit CButton(QWidget* parent = nullptr);
    ~CButton() override;

    const QString& Text() const { return FText; }
    void setText(const QString& value);
    const QString& SubText() const { return FSubText; }
    void setSubText(const QString& value);
    bool SubTextEnabled() const { return FEnableSubText; }
    void setSubTextEnabled(bool value);
    CButtonState State() const { return FState; }
    // Starts the fade from the current state, then repaints.
    void setState(CButtonState value);
    CButtonState PreviousState() const { return FPreviousState; }
    CAccentColor UseAccentColor() const { return FAccent; }
    void setUseAccentColor(CAccentColor value);
    bool RoundTransparent() const { return FTransparent; }
    void setRoundTransparent(bool value);
    bool FlatButton() const { return FFlatBT; }
    void setFlatButton(bool value);
    bool FlatComplete() const { return FFlatComplete; }
    // On also switches the underline off.
    void setFlatComplete(bool value);
    bool ShowCaption() const { return FEnableCaption; }
    void setShowCaption(bool value);
    // Escape anywhere in the window clicks the button.
    bool Cancel() const { return FCancel; }
    void setCancel(bool value) { FCancel = value; }
    // Enter anywhere in the window clicks the button.
    bool Default() const { return FDefault; }
    void setDefault(bool value) { FDefault = value; }
    // Given to the window when the button is clicked (see Click).
    int ModalResult() const { return FModalResult; }
    void setModalResult(int value) { FModalResult = value; }
    int RoundAmount() const { return FRoundAmount; }
    void setRoundAmount(int value);
    CButtonIcon ButtonIcon() const { return FCIcon; }
    void setButtonIcon(CButtonIcon value);
    CPosition BImageLayout() const { return FImageLayout; }
    void setBImageLayout(CPosition value);
    CButtonAlignment Allignment() const { return FAlign; }
    void setAllignment(CButtonAlignment value);
    int TextWallSpacing() const { return FTxtWSpace; }
    void setTextWallSpacing(int value);
    // Segoe code points, mapped to the installed symbol font when drawn.
    const QString& BSegoeIcon() const { return FSegoeIcon; }
    void setBSegoeIcon(const QString& value);
    bool BSegoeMetro() const { return FSegoeMetro; }
    void setBSegoeMetro(bool value);
    const QPixmap& BPicture() const { return FBitmap; }
    void setBPicture(const QPixmap& value);
    // Stored only: pictures carry their own transparency.
    TColor BmpTransparentColor() const { return FMBTColor; }
    void setBmpTransparentColor(TColor value) { FMBTColor = value; }
    bool BmpCustomTrColor() const { return FCustTColor; }
    void setBmpCustomTrColor(bool value) { FCustTColor = value; }
    bool AutoExtendImage() const { return FAutoExtendImage; }
    void setAutoExtendImage(bool value) { FAutoExtendImage = value; }
    int ControlStyle() const { return FControlStyle; }
    void setControlStyle(int value) { FControlStyle = value; }
    const QFont& Font() const { return FFont; }
    void setFont(const QFont& value);
    const QFont& SubTextFont() const { return FSubTextFont; }
    void setSubTextFont(const QFont& value);
    // The colour around the face; with ParentColor, the parent's background.
    TColor Color() const { return FColor; }
    void setColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void setParentColor(bool value);

    const CButtonPresets& Preset() const { return FPreset; }
    // Applies the preset at once.
    void setPreset(const CButtonPresets& value);
    const CButtonColors& Colors() const { return FColors; }
    void setColors(const CButtonColors& value);
    const CButtonColors& TextColors() const { return FTextColors; }
    void setTextColors(const CButtonColors& value);
    const CButtonPen& Pen() const { return FPen; }
    void setPen(const CButtonPen& value);
    const CButtonUnderLine& UnderLine() const { return FUnderLine; }
    void setUnderLine(const CButtonUnderLine& value);
    const CButtonGradientSet& GradientOptions() const { return FGradientSet; }
    void setGradientOptions(const CButtonGradientSet& value);
    const CButtonFontAutoSize& FontAutoSize() const { return FFontAutoSize; }
    void setFontAutoSize(const CButtonFontAutoSize& value);
    const CButtonAnimations& Animations() const { return FAnimations; }
    void setAnimations(const CButtonAnimations& value);

    // Fade progress in timer ticks, 0..FASpeed, and the weight it blends with.
    int TimeProg() const { return FTimeProg; }
    int FadeWeight() const;
    bool FadeRunning() const { return FFadeAnim.isActive(); }
    // One tick of the fade timer; the timer calls it every millisecond.
    void FadeTick();
    // How much the drawn face is shrunk by the press animation.
    QPoint Shrink() const { return {FShX, FShY}; }
    bool PressAnimationRunning() const { return FPressTimer.isActive(); }

    // The colours the face is painted with now: body, text, underline.
    TColor BodyColor() const;
    TColor CaptionColor() const;
    TColor LineColor() const;
    TColor ButtonColor() const;

    // Where the caption, the second line and the icon go for the current size.
    struct FaceLayout {
        QString Caption;
        QFont CaptionFont;
        QPoint TextPos; // top-left of the caption
        QPoint SubTextPos;
        QRect IconRect; // empty without icon or picture
    };
    FaceLayout Layout() const;

    // The ordinary repaint plus the process-wide preset and the accent colours.
    void Invalidate();
    // The click: OnClick, then the window's modal result.
    void Click();

  signals:
    void OnClick();
    void OnStateChange(CButton* Sender, CButtonState State);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ChangeState(CButtonState value, bool Notify);
    void ApplyAccentColors();
    void AdoptGlobalPreset();
    void ApplyPreset();
    void SyncPenColor();
    // Steps 1 and 2 of a paint: the colour sources that may change between paints.
    void PreparePaint();
    QImage RenderFace() const;
    void StartPress(bool Inwards);
    void PressStep();
    void WatchWindow();
    TColor Fade(const CButtonColors& colors) const;
    TColor Fade(TColor Leave, TColor Enter, TColor Down) const;

    CButtonPresets FPreset;
    CButtonColors FColors{0xD7821A, 0xC57517, 0x8E5611, 0x8E5611};
    bool FIsDestroy = false;
    CButtonPen FPen;
    QPixmap FBitmap;
    TColor FMBTColor = 0xFFFFFF;
    CButtonColors FTextColors{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000};
    CButtonAnimations FAnimations;
    int FTimeProg = 0;
    bool FTransparent = true;
    bool FCustTColor = false;
    bool FFlatBT = false;
    bool FFlatComplete = false;
    bool FEnableCaption = true;
    bool FCancel = false;
    bool FAutoExtendImage = false;
    bool FDefault = false;
    int w = 0, h = 0, fs = 0;
    CButtonGradientSet FGradientSet;
    CButtonFontAutoSize FFontAutoSize;
    CButtonUnderLine FUnderLine;
    CButtonIcon FCIcon = CButtonIcon::cicNone;
    int FModalResult = 0;
    int FRoundAmount = 10;
    QString FText = QStringLiteral("Click me");
    QString FSubText = QStringLiteral("Hello World!");
    bool FEnableSubText = false;
    CButtonState FState = CButtonState::mbsLeave;
    CButtonState FPreviousState = CButtonState::mbsLeave;
    QFont FFont;
    QFont FSubTextFont;
    CButtonAlignment FAlign = CButtonAlignment::taCenter;
    int FControlStyle = 0;
    int FShX = 0, FShY = 0;
    CPosition FImageLayout = CPosition::cpLeft;
    int FTxtWSpace = 10;
    QString FSegoeIcon = QString(QChar(0xE734));
    bool FSegoeMetro = false;
    CAccentColor FAccent = CAccentColor::AccentAdjust;
    QTimer FFadeAnim;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    // Press steps applied and the count the press animation walks toward:
    // PAShrinkAmount while the button is held, 0 after release.
    int FPressDone = 0;
    int FPressTarget = 0;
    QTimer FPressTimer;
    QPointer<QWidget> FWatchedWindow;
};
