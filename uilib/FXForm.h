#pragma once
// The themed top-level window: colours that follow the theme manager with a
// short fade, its own title bar, slight translucency, a dimming overlay while
// a modal task runs, full screen, a painting lock and move/resize notices to
// its child controls. Through it the theme manager reaches every control of
// the window.
#include "FXControl.h"
#include "FXFormReading.h"
#include "TitleBarColors.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <memory>

class FXColorSet;
class FXColorSets;
class FXTitleBar;
class TIntAni;

// The dimming overlay: black at alpha 150 over the whole form; it cannot be
// closed while the form's SmokeEffect is on.
class FXSmoke : public QWidget {
    Q_OBJECT

  public:
    explicit FXSmoke(QWidget* form);
    int Alpha() const { return FAlpha; }
    void setAlpha(int value);
    void setRefuseClose(bool value) { FRefuseClose = value; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

  private:
    int FAlpha = 150;
    bool FRefuseClose = false;
};

class FXForm : public QWidget, public FXControl, public TitleBarColorTarget {
    Q_OBJECT
    Q_PROPERTY(bool MicaEffect READ MicaEffect WRITE setMicaEffect)
    Q_PROPERTY(bool SmokeEffect READ SmokeEffect WRITE setSmokeEffect)
    Q_PROPERTY(bool FullScreen READ FullScreen WRITE setFullScreen)
    Q_PROPERTY(bool WindowUpdateLocked READ WindowUpdateLocked WRITE setWindowUpdateLocked)
    Q_PROPERTY(
        bool AllowThemeChangeAnimation READ AllowThemeChangeAnimation WRITE setAllowThemeChangeAnimation)
    Q_PROPERTY(bool Resizable READ IsResizable WRITE setResizable)

  public:
    explicit FXForm(QWidget* parent = nullptr);
    ~FXForm() override;

    FXColorSets* CustomColors() const { return FCustomColors; }
    const FXColorSet& DrawColors() const { return *FDrawColors; }
    bool MicaEffect() const { return FMicaEffect; }
    void setMicaEffect(bool value);
    bool SmokeEffect() const { return FSmokeEffect; }
    void setSmokeEffect(bool value);
    bool FullScreen() const { return FFullScreen; }
    void setFullScreen(bool value);
    bool WindowUpdateLocked() const { return FWindowUpdateLock; }
    void setWindowUpdateLocked(bool value);
    bool AllowThemeChangeAnimation() const { return FAllowThemeChangeAnim; }
    void setAllowThemeChangeAnimation(bool value) { FAllowThemeChangeAnim = value; }
    // Whether the user may resize the window by its edges (and maximise it).
    bool IsResizable() const { return FResizable; }
    void setResizable(bool value);

    FXTitleBar* TitleBar() const { return FTitleBar; }
    bool TitlebarEnabled() const { return FEnableTitlebar; }
    // The height of the title-bar panel; 0 without one.
    int GetTitlebarHeight() const;
    void SetBoundsRect(const QRect& Bounds) { setGeometry(Bounds); }
    // The colour the form is painted in now (mid-fade: the blended colour).
    TColor FormColor() const { return FFormColor; }
    // Colours the title bar for a background and a text colour.
    void SetTitleBarColors(TColor background, TColor foreground);
    FXSmoke* Smoke() const { return FSmoke; }
    // The overlay's latest fade-out, kept until the next change.
    TIntAni* SmokeAnimation() const { return FSmokeAnimation.get(); }
    // Whether the theme fade is running.
    bool ThemeAnimationRunning() const { return FThemeAnimations > 0; }

    // Applies a window layout made with the designer: the library's setters
    // store the designed values as they stand while it is read.
    template <class Design> void LoadDesign(Design& design) {
        {
            FXFormReading reading;
            design.setupUi(this);
        }
        UpdateTheme(true);
    }

    bool IsContainer() override { return true; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    void SetCustomTitleBarColors(const TitleBarColors& colors) override;

  signals:
    void OnThemeChange(FXThemeType Kind, bool DarkTheme, TColor Accent);
    void OnMove();

  protected:
    void InitForm();
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void InitializeTitlebar();
    void ApplyFormColors(TColor background, TColor foreground);
    void setFormColor(TColor value);
    void BroadcastToChildren(QEvent::Type type);
    void StopSmokeFade();
    Qt::Edges EdgesAt(const QPoint& point) const;
    void WatchWindowEdges();

    FXColorSets* FCustomColors = nullptr;
    std::unique_ptr<FXColorSet> FDrawColors;
    bool FWindowUpdateLock = false;
    bool FFullScreen = false;
    QRect FRestoredPosition;
    bool FRestoredBorder = true;
    bool FMicaEffect = false;
    bool FSmokeEffect = false;
    bool FAllowThemeChangeAnim = true;
    bool FTitlebarInitialized = false;
    bool FEnableTitlebar = false;
    bool FResizable = true;
    FXTitleBar* FTitleBar = nullptr;
    FXSmoke* FSmoke = nullptr;
    std::unique_ptr<TIntAni> FSmokeAnimation;
    TColor FFormColor = 0xFFFFFF;
    // A newer theme change makes the callbacks of an older fade do nothing.
    int FThemeGeneration = 0;
    int FThemeAnimations = 0;
    QSize FMinimumBeforeSmoke, FMaximumBeforeSmoke;
    QPointer<QWindow> FWatchedWindow;
    bool FEdgeCursor = false;
};

// A form's background and text: its own palette for the current theme when
// enabled, the system's otherwise (needs the theme manager).
void LoadFormColors(const FXColorSets& custom, FXColorSet& draw);

// The form's title-bar colours for a background and a foreground.
TitleBarColors FormTitleBarColors(TColor background, TColor foreground);
