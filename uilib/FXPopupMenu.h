#pragma once
// The library's themed context menu: a borderless popup with rounded corners
// whose background is a blur material (the screen behind it, blurred and
// tinted) and whose rows it draws itself: check and radio marks, icons,
// captions, shortcut texts, separators and a chevron before sub-menus, which
// open as windows of the same kind. It opens with one of four animations and
// never beyond the screen's available area.
//
// Keyboard navigation, sub-menu opening and closing on a click outside are
// QMenu's; rows measure 35 pixels (separators 1) through the menu's own
// style, so Qt's hit-testing and this painter share one geometry.
#include "FXControl.h"
#include "FXPopupItems.h"

#include <QMenu>
#include <QPointer>

#include <cstdint>
#include <functional>

class FXBlurMaterial;
class FXColorSet;
class FXColorSets;
class FXPopupItem;
class QPainter;

enum class FXAnimateSelection : std::uint8_t { Instant = 0, Opacity = 1, Linear = 2, Square = 3 };

// Where a popup of Size opens: its top-left at Point, flipped to the other
// side of Avoid (the pointer as an empty rectangle at Point, or the control it
// opens under) where it would leave Available, then shifted into Available.
struct FXPopupPlacement {
    QPoint TopLeft;
    // Opened above Point: the menu then grows upwards while it opens.
    bool Above = false;
};
FXPopupPlacement PlacePopup(const QPoint& Point, const QSize& Size, const QRect& Available,
                            const QRect& Avoid);

class FXPopupMenu : public QMenu, public FXControl {
    Q_OBJECT
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE setFlatMenu)
    Q_PROPERTY(FXAnimateSelection AnimationType READ AnimationType WRITE setAnimationType)
    Q_PROPERTY(bool EnableBorder READ EnableBorder WRITE setEnableBorder)
    Q_PROPERTY(bool EnableRadius READ EnableRadius WRITE setEnableRadius)
    Q_PROPERTY(bool CloseOnCheck READ CloseOnCheck WRITE setCloseOnCheck)
    Q_PROPERTY(bool CloseOnExecute READ CloseOnExecute WRITE setCloseOnExecute)
    Q_PROPERTY(bool CloseOnNoExecuteClick READ CloseOnNoExecuteClick WRITE setCloseOnNoExecuteClick)

  public:
    // May veto the popup or move its point.
    using BeforePopupHandler = std::function<void(FXPopupMenu* Sender, bool& CanPopup, QPoint& Point)>;

    explicit FXPopupMenu(QWidget* parent = nullptr);
    ~FXPopupMenu() override;

    FXPopupItems* Items() { return &FItems; }
    // Used instead of the theme's colours when enabled.
    FXColorSets* CustomColors() const { return FCustomColors; }
    const FXColorSet& DrawColors() const { return *FDrawColors; }

    // No blur: the material shows its plain tint colour.
    bool FlatMenu() const { return FFlatMenu; }
    void setFlatMenu(bool value);
    FXAnimateSelection AnimationType() const { return FAnimType; }
    void setAnimationType(FXAnimateSelection value) { FAnimType = value; }
    bool EnableBorder() const { return FEnableBorder; }
    void setEnableBorder(bool value);
    bool EnableRadius() const { return FEnableRadius; }
    void setEnableRadius(bool value);
    // Whether executing a row closes the menus: an AutoCheck row, a row with
    // a click handler, any other row.
    bool CloseOnCheck() const { return FCloseOnCheck; }
    void setCloseOnCheck(bool value) { FCloseOnCheck = value; }
    bool CloseOnExecute() const { return FCloseOnExecute; }
    void setCloseOnExecute(bool value) { FCloseOnExecute = value; }
    bool CloseOnNoExecuteClick() const { return FCloseOnNoExecuteClick; }
    void setCloseOnNoExecuteClick(bool value) { FCloseOnNoExecuteClick = value; }
    void setOnBeforePopup(BeforePopupHandler value) { FOnBeforePopup = std::move(value); }

    // Shows the menu with its top-left at a screen point, at the pointer, or
    // under a control (above it where there is no room below).
    void Popup(int X, int Y) { PopupAtPoint(QPoint(X, Y)); }
    void PopupAtPoint(QPoint Point);
    void PopupAtCursor();
    void PopupUnder(const QWidget* Control);

    // The measured size of the window: the widest row (at least 215) and
    // 5 + 35 a row + 1 a separator + 5.
    int NormalWidth() const { return FNormalWidth; }
    int NormalHeight() const { return FNormalHeight; }
    // The row under the pointer or the keyboard (index in Items), -1 for none.
    int HoverIndex() const;
    bool ItemPressed() const { return FItemPressed; }
    QPoint DropPoint() const { return FDropPoint; }
    // The menu window this one was opened from, and the menu at the top.
    FXPopupMenu* ParentPopup() const { return FParentPopup; }
    FXPopupMenu* ParentMenu() const {
        return FParentMenu ? FParentMenu.data() : const_cast<FXPopupMenu*>(this);
    }
    // The item whose sub-menu this is, null for a top menu.
    FXPopupItem* OwnerItem() const { return FOwnerItem; }
    bool AnimationRunning() const { return FAnimRunning; }
    FXBlurMaterial* GlassBlur() const { return FGlassBlur; }

    // Runs a row as a click does: toggles an AutoCheck mark, closes the menus
    // when the top menu's Close flags say so, then reports the click.
    void Execute(FXPopupItem* Item);
    // Hides this window and every window it was opened from.
    void CloseBackwards();

    bool IsContainer() override { return true; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;

  signals:
    void OnPopup(FXPopupMenu* Sender);
    void OnItemClick(FXPopupMenu* Sender, FXPopupItem* Item, int Index);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    bool event(QEvent* event) override;

  private:
    friend class FXPopupItems;
    friend class FXPopupItem;

    // The window's actions follow the item list.
    void SyncActions();
    // A row's look changed: measure again and repaint.
    void ItemChanged();
    // Measures the rows: NormalWidth, NormalHeight.
    void Layout();
    // Links a sub-menu to the menu it opens from, takes over its settings and colours.
    void PrepareShowing();
    void ShowAt(const QPoint& Point, const QRect& Avoid);
    void StartOpeningAnimation();
    void PaintRows(QPainter& painter);
    void RefreshHover();
    void SelectByLetter(const QString& letter);
    void UpdateMask();
    FXPopupMenu* OpeningMenu() const;

    FXPopupItems FItems{this};
    FXAnimateSelection FAnimType = FXAnimateSelection::Linear;
    QPointer<FXPopupMenu> FParentPopup;
    QPointer<FXPopupMenu> FParentMenu;
    FXPopupItem* FOwnerItem = nullptr;
    int FNormalHeight = 0;
    int FNormalWidth = 0;
    QPoint FDropPoint;
    bool FPlacedAbove = false;
    // Inside ShowAt, which placed the window itself.
    bool FPlacing = false;
    bool FPreparing = false;
    FXBlurMaterial* FGlassBlur = nullptr;
    FXColorSets* FCustomColors = nullptr;
    FXColorSet* FDrawColors = nullptr;
    QPointer<QAction> FShownHover;
    bool FItemPressed = false;
    bool FFlatMenu = false;
    bool FEnableRadius = true;
    bool FEnableBorder = true;
    bool FCloseOnCheck = false;
    bool FCloseOnExecute = true;
    bool FCloseOnNoExecuteClick = true;
    BeforePopupHandler FOnBeforePopup;
    // The opening animation frees itself; a later opening makes an earlier
    // one's steps stale, so each step checks its generation.
    int FAnimGeneration = 0;
    bool FAnimRunning = false;
};
