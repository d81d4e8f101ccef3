#include "FXPopupMenu.h"

#include "FXBlurMaterial.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXIconSelect.h"
#include "FXPopupItem.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"
#include "TIntAni.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

namespace {

constexpr int RowHeight = 35;
constexpr int SeparatorHeight = 1;
constexpr int Margin = 5; // above the first row and below the last
constexpr int MinimumWidth = 215;
constexpr int CornerSize = 29;
constexpr TColor DisabledColor = 0x808080;
constexpr char16_t CheckMark = 0xE73E;
constexpr char16_t RadioMark = 0xE915;
constexpr char16_t Chevron = 0xE76C;

// Gives QMenu the rows' geometry, so its hit-testing, keyboard navigation and
// sub-menu placement agree with what the menu paints.
class FXPopupMenuStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        switch (metric) {
        case PM_MenuVMargin:
            return Margin;
        case PM_MenuHMargin:
        case PM_MenuPanelWidth:
        case PM_MenuDesktopFrameWidth:
            return 0;
        case PM_SubMenuOverlap:
            return 10;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* menu = qobject_cast<const FXPopupMenu*>(widget);
        if (menu != nullptr && type == CT_MenuItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            const bool separator = item != nullptr && item->menuItemType == QStyleOptionMenuItem::Separator;
            return QSize(menu->NormalWidth(), separator ? SeparatorHeight : RowHeight);
        }
        if (menu != nullptr && type == CT_Menu) return size;
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        switch (hint) {
        case SH_Menu_SubMenuPopupDelay:
            return 0;
        case SH_Menu_Scrollable:
        case SH_Menu_FlashTriggeredItem:
        case SH_Menu_FadeOutOnHide:
        case SH_Menu_KeyboardSearch:
        case SH_Menu_AllowActiveAndDisabled:
            return 0;
        case SH_Menu_MouseTracking:
        case SH_Menu_SpaceActivatesItem:
            return 1;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

QStyle* PopupMenuStyle() {
    static QPointer<FXPopupMenuStyle> style;
    if (!style) {
        style = new FXPopupMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

bool Dark() {
    return ThemeManager != nullptr && ThemeManager->DarkTheme();
}

QFont WindowFont() {
    if (ThemeManager == nullptr) return FXFont(QStringLiteral("Segoe UI"), -16);
    return FXFont(ThemeManager->FormFont(), ThemeManager->FormFontHeight());
}

QString IconFace() {
    return ThemeManager ? ThemeManager->IconFont() : ChooseIconFont();
}

// A font of the window font's face scaled by factor, as the shortcut and the chevron are.
QFont Scaled(QFont font, double factor) {
    font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    return font;
}

QString Caption(const FXPopupItem& item) {
    QString text = item.Text();
    return text.replace(QLatin1String("&&"), QLatin1String("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Which of the shared columns the rows of a menu use.
struct Columns {
    bool Check = false;
    bool Icon = false;
};

Columns ColumnsOf(const FXPopupItems& items) {
    Columns columns;
    for (const FXPopupItem* item : items.List()) {
        if (!item->HasSubItems() && (item->AutoCheck() || item->RadioItem() || item->Checked()))
            columns.Check = true;
        if (item->Image()->Enabled()) columns.Icon = true;
    }
    return columns;
}

// Where the parts of one row go, for painting and for measuring alike.
struct RowParts {
    QRect Mark;
    QRect Icon;
    QRect Caption;
    QRect Shortcut;
    QRect Chevron;
    int NaturalWidth = MinimumWidth;
};

RowParts LayoutRow(const FXPopupItem& item, int y, int width, const Columns& columns) {
    RowParts parts;
    int x = 20;
    if (!item.HasSubItems() && item.Checked() && (item.AutoCheck() || item.Checked() || item.RadioItem()))
        parts.Mark = QRect(x, y, 20, RowHeight);
    if (columns.Check) x += 35;
    if (item.Image()->Enabled()) parts.Icon = QRect(x, y, 20, RowHeight);
    if (item.Image()->Enabled() || (columns.Icon && !columns.Check)) x += 35;
    QFont font = WindowFont();
    font.setBold(item.IsDefault());
    const int captionWidth = QFontMetrics(font).horizontalAdvance(Caption(item));
    parts.Caption = QRect(x, y, captionWidth, RowHeight);
    x += captionWidth + 20;
    if (!item.HasSubItems() && !item.Shortcut().isEmpty()) {
        const int shortcutWidth =
            QFontMetrics(Scaled(WindowFont(), 2.5 / 3)).horizontalAdvance(item.Shortcut());
        parts.Shortcut = QRect(width - 20 - shortcutWidth, y, shortcutWidth, RowHeight);
        x += shortcutWidth + 20;
    }
    if (item.HasSubItems()) {
        const QFont chevronFont = Scaled(FXFont(IconFace(), WindowFont().pixelSize()), 2.8 / 3);
        const int chevronWidth =
            QFontMetrics(chevronFont).horizontalAdvance(SymbolText(QString(QChar(Chevron)), IconFace()));
        parts.Chevron = QRect(width - 20 - chevronWidth, y, chevronWidth, RowHeight);
        x += chevronWidth + 20;
    }
    parts.NaturalWidth = std::max(x, MinimumWidth);
    return parts;
}

} // namespace

FXPopupPlacement PlacePopup(const QPoint& Point, const QSize& Size, const QRect& Available,
                            const QRect& Avoid) {
    const int right = Available.x() + Available.width();
    const int bottom = Available.y() + Available.height();
    int left = Point.x();
    int top = Point.y();
    if (left + Size.width() > right) left = Avoid.x() + Avoid.width() - Size.width();
    if (top + Size.height() > bottom) top = Avoid.y() - Size.height();
    // A menu that fits neither way keeps as much of itself on the screen as it can.
    left = std::max(std::min(left, right - Size.width()), Available.x());
    top = std::max(std::min(top, bottom - Size.height()), Available.y());
    return {QPoint(left, top), top < Point.y()};
}

FXPopupMenu::FXPopupMenu(QWidget* parent) : QMenu(parent) {
    setStyle(PopupMenuStyle());
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlag(Qt::NoDropShadowWindowHint);
    setSeparatorsCollapsible(false);
    setWindowTitle(QStringLiteral("Popup Menu"));
    setFont(WindowFont());
    FCustomColors = new FXColorSets(this, false);
    FDrawColors = new FXColorSet(this);
    FGlassBlur = new FXBlurMaterial(this);
    FGlassBlur->setAttribute(Qt::WA_TransparentForMouseEvents);
    FGlassBlur->setRefreshMode(FXGlassRefreshMode::Manual);
    FGlassBlur->setVersion(FXBlurVersion::Screenshot);
    FGlassBlur->setOnPaintBuffer([this](QPainter& painter) { PaintRows(painter); });
    connect(this, &QMenu::aboutToShow, this, &FXPopupMenu::PrepareShowing);
    connect(this, &QMenu::hovered, this, [this](QAction* action) {
        RefreshHover();
        if (auto* item = qobject_cast<FXPopupItem*>(action)) emit item->OnHover(item);
    });
    UpdateTheme(false);
    Layout();
}

FXPopupMenu::~FXPopupMenu() {
    // The rows go first, while the list they report to still exists.
    FItems.Clear(FXItemRelease::Free);
}

void FXPopupMenu::setFlatMenu(bool value) {
    if (FFlatMenu == value) return;
    FFlatMenu = value;
    FGlassBlur->setVersion(value ? FXBlurVersion::None : FXBlurVersion::Screenshot);
}

void FXPopupMenu::setEnableBorder(bool value) {
    if (FEnableBorder == value) return;
    FEnableBorder = value;
    FGlassBlur->Invalidate();
}

void FXPopupMenu::setEnableRadius(bool value) {
    if (FEnableRadius == value) return;
    FEnableRadius = value;
    UpdateMask();
    FGlassBlur->Invalidate();
}

int FXPopupMenu::HoverIndex() const {
    return FItems.IndexOf(qobject_cast<FXPopupItem*>(activeAction()));
}

FXPopupMenu* FXPopupMenu::OpeningMenu() const {
    if (FOwnerItem == nullptr || FOwnerItem->OwnerList() == nullptr) return nullptr;
    return FOwnerItem->OwnerList()->Window();
}

// Items ---------------------------------------------------------------------

void FXPopupMenu::SyncActions() {
    for (QAction* action : actions())
        if (qobject_cast<FXPopupItem*>(action)) removeAction(action);
    for (FXPopupItem* item : FItems.List())
        addAction(item);
    if (FOwnerItem) FOwnerItem->SubItemsChanged();
    ItemChanged();
}

void FXPopupMenu::ItemChanged() {
    Layout();
    FGlassBlur->Invalidate();
}

void FXPopupMenu::Layout() {
    const Columns columns = ColumnsOf(FItems);
    int width = MinimumWidth;
    int y = Margin;
    for (const FXPopupItem* item : FItems.List()) {
        if (!item->isVisible()) continue;
        if (item->IsSeparator()) {
            y += SeparatorHeight;
            continue;
        }
        width = std::max(width, LayoutRow(*item, y, width, columns).NaturalWidth);
        y += RowHeight;
    }
    FNormalHeight = y + Margin;
    if (width == FNormalWidth) return;
    FNormalWidth = width;
    // QMenu measures its rows again only after a change it knows of.
    QEvent restyled(QEvent::StyleChange);
    QCoreApplication::sendEvent(this, &restyled);
}

// Showing -------------------------------------------------------------------

void FXPopupMenu::PopupAtPoint(QPoint Point) {
    bool canPopup = true;
    if (FOnBeforePopup) FOnBeforePopup(this, canPopup, Point);
    if (!canPopup) return;
    ShowAt(Point, QRect(Point, QSize(0, 0)));
    emit OnPopup(this);
}

void FXPopupMenu::PopupAtCursor() {
    PopupAtPoint(QCursor::pos());
}

void FXPopupMenu::PopupUnder(const QWidget* Control) {
    if (Control == nullptr) return;
    QPoint point = Control->mapToGlobal(QPoint(0, Control->height()));
    bool canPopup = true;
    if (FOnBeforePopup) FOnBeforePopup(this, canPopup, point);
    if (!canPopup) return;
    ShowAt(point, QRect(Control->mapToGlobal(QPoint(0, 0)), Control->size()));
    emit OnPopup(this);
}

void FXPopupMenu::ShowAt(const QPoint& Point, const QRect& Avoid) {
    PrepareShowing();
    const QScreen* screen = QGuiApplication::screenAt(Point);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect available =
        screen ? screen->availableGeometry() : QRect(Point, QSize(FNormalWidth, FNormalHeight));
    const FXPopupPlacement placement =
        PlacePopup(Point, QSize(FNormalWidth, FNormalHeight), available, Avoid);
    FDropPoint = Point;
    FPlacedAbove = placement.Above;
    FPlacing = true;
    popup(placement.TopLeft);
    FPlacing = false;
}

void FXPopupMenu::PrepareShowing() {
    if (FPreparing) return;
    FPreparing = true;
    if (FXPopupMenu* opener = OpeningMenu()) {
        FParentPopup = opener;
        FParentMenu = opener->ParentMenu();
        FEnableRadius = opener->FEnableRadius;
        FEnableBorder = opener->FEnableBorder;
        FAnimType = ParentMenu()->FAnimType;
    }
    FXPopupMenu* top = ParentMenu();
    FGlassBlur->setVersion(top->FFlatMenu ? FXBlurVersion::None : FXBlurVersion::Screenshot);
    {
        FXFormReading copying;
        FGlassBlur->CustomColors()->Assign(top->FCustomColors);
    }
    UpdateTheme(false);
    Layout();
    FPreparing = false;
}

void FXPopupMenu::showEvent(QShowEvent* event) {
    QMenu::showEvent(event);
    if (!FPlacing) {
        FDropPoint = pos();
        FPlacedAbove = false;
    }
    FItemPressed = false;
    StartOpeningAnimation();
}

void FXPopupMenu::hideEvent(QHideEvent* event) {
    QMenu::hideEvent(event);
    FItemPressed = false;
}

void FXPopupMenu::StartOpeningAnimation() {
    const int width = FNormalWidth;
    const int height = FNormalHeight;
    const int bottom = y() + height;
    const bool above = FPlacedAbove;
    const int generation = ++FAnimGeneration;
    const QPointer<FXPopupMenu> self(this);
    const auto current = [self, generation] { return self && self->FAnimGeneration == generation; };

    TAniSyncProc step;
    int start = 0;
    int delta = 0;
    int steps = 25;
    int duration = 400;
    switch (FAnimType) {
    case FXAnimateSelection::Instant:
        setWindowOpacity(1.0);
        FAnimRunning = false;
        return;
    case FXAnimateSelection::Opacity:
        setWindowOpacity(0.0);
        start = 0;
        delta = 255;
        step = [self, current](int value) {
            if (current()) self->setWindowOpacity(value / 255.0);
        };
        break;
    case FXAnimateSelection::Linear:
    case FXAnimateSelection::Square: {
        setWindowOpacity(1.0);
        start = height / 8;
        delta = height - start;
        steps = 10;
        duration = 10;
        const bool square = FAnimType == FXAnimateSelection::Square;
        step = [self, current, width, height, bottom, above, square](int value) {
            if (!current() || height <= 0) return;
            const int stepWidth = square ? int(value / double(height) * (width - 50)) + 50 : width;
            self->setGeometry(self->x(), above ? bottom - value : self->y(), stepWidth, value);
        };
        step(start);
        break;
    }
    }
    FAnimRunning = true;
    auto* animation =
        new TIntAni(true, TAniKind::akIn, TAniFunctionKind::afkQuadratic, start, delta, step,
                    [self, current, width, height, bottom, above] {
                        // The engine may stop short of the end: the end state is set here.
                        if (!current()) return;
                        self->setWindowOpacity(1.0);
                        self->setGeometry(self->x(), above ? bottom - height : self->y(), width, height);
                        self->FAnimRunning = false;
                    });
    animation->setStep(steps);
    animation->setDuration(duration);
    animation->Start();
}

// Closing and executing -------------------------------------------------------

void FXPopupMenu::CloseBackwards() {
    QPointer<FXPopupMenu> menu(this);
    while (menu) {
        QPointer<FXPopupMenu> opener = menu->FParentPopup;
        menu->hide();
        menu = opener;
    }
}

void FXPopupMenu::Execute(FXPopupItem* Item) {
    if (Item == nullptr || Item->HasSubItems() || Item->IsSeparator() || !Item->isEnabled()) return;
    const QPointer<FXPopupItem> item(Item);
    const QPointer<FXPopupMenu> top(ParentMenu());
    if (Item->AutoCheck() && !(Item->RadioItem() && Item->Checked())) {
        Item->setChecked(!Item->Checked());
        emit Item->OnCheck(Item);
        if (!item || !top) return;
    }
    const bool close = Item->HasClickHandler() ? top->FCloseOnExecute
                       : Item->AutoCheck()     ? top->FCloseOnCheck
                                               : top->FCloseOnNoExecuteClick;
    if (close)
        CloseBackwards();
    else
        FGlassBlur->Invalidate();
    const int index = Item->MenuIndex();
    emit top->OnItemClick(top, Item, index);
    if (!item) return;
    emit item->OnClick(item);
    if (item) item->activate(QAction::Trigger);
}

// Input ---------------------------------------------------------------------

void FXPopupMenu::keyPressEvent(QKeyEvent* event) {
    auto* active = qobject_cast<FXPopupItem*>(activeAction());
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (active && active->isEnabled() && !active->IsSeparator() && !active->HasSubItems()) {
            event->accept();
            Execute(active);
            return;
        }
        break;
    case Qt::Key_Left:
        // The top menu has nothing to go back to.
        if (!FParentPopup) {
            event->accept();
            return;
        }
        break;
    default: {
        const QString text = event->text();
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && text.size() == 1 && text.at(0).isLetterOrNumber()) {
            event->accept();
            SelectByLetter(text);
            return;
        }
    }
    }
    QMenu::keyPressEvent(event);
    RefreshHover();
}

void FXPopupMenu::SelectByLetter(const QString& letter) {
    QList<FXPopupItem*> matches;
    for (FXPopupItem* item : FItems.List())
        if (item->isVisible() && item->isEnabled() && !item->IsSeparator() &&
            Caption(*item).startsWith(letter, Qt::CaseInsensitive))
            matches.append(item);
    if (matches.isEmpty()) return;
    if (matches.size() == 1) {
        FXPopupItem* only = matches.first();
        setActiveAction(only);
        RefreshHover();
        // A single match runs, as a menu's access key does; a sub-menu opens
        // instead, the way the Right key opens it.
        if (only->HasSubItems()) {
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QMenu::keyPressEvent(&right);
        } else {
            Execute(only);
        }
        return;
    }
    const int current = int(matches.indexOf(qobject_cast<FXPopupItem*>(activeAction())));
    setActiveAction(matches[(current + 1) % matches.size()]);
    RefreshHover();
}

void FXPopupMenu::mousePressEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    QMenu::mousePressEvent(event);
    if (!inside) return;
    FItemPressed = true;
    FGlassBlur->Invalidate();
}

void FXPopupMenu::mouseReleaseEvent(QMouseEvent* event) {
    // Only a press that began in this menu clicks: the release of the click
    // that opened the menu must not run the row it happens to land on.
    const bool pressedHere = FItemPressed;
    FItemPressed = false;
    auto* item = qobject_cast<FXPopupItem*>(actionAt(event->position().toPoint()));
    if (item && item->isEnabled() && !item->IsSeparator() && !item->HasSubItems()) {
        event->accept();
        const QPointer<FXPopupMenu> self(this);
        if (pressedHere) Execute(item);
        if (self) FGlassBlur->Invalidate();
        return;
    }
    QMenu::mouseReleaseEvent(event);
    FGlassBlur->Invalidate();
}

void FXPopupMenu::enterEvent(QEnterEvent* event) {
    QMenu::enterEvent(event);
    FItemPressed = false;
    FGlassBlur->Invalidate();
}

bool FXPopupMenu::event(QEvent* event) {
    const bool handled = QMenu::event(event);
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Leave:
    case QEvent::Timer:
    case QEvent::Show:
        RefreshHover();
        break;
    default:
        break;
    }
    return handled;
}

void FXPopupMenu::RefreshHover() {
    if (activeAction() == FShownHover) return;
    FShownHover = activeAction();
    FGlassBlur->Invalidate();
}

// Theme and painting ----------------------------------------------------------

void FXPopupMenu::UpdateTheme(bool UpdateChildren) {
    FXPopupMenu* opener = FParentPopup ? FParentPopup.data() : OpeningMenu();
    if (opener != nullptr) {
        FAnimType = opener->ParentMenu()->FAnimType;
        FDrawColors->Assign(opener->FDrawColors);
    } else if (FCustomColors->Enabled()) {
        FDrawColors->LoadFrom(*FCustomColors, Dark());
    } else if (ThemeManager != nullptr) {
        FDrawColors->setBackGround(ThemeManager->SystemColor()->BackGroundInterior());
        FDrawColors->setForeGround(ThemeManager->SystemColor()->ForeGround());
        FDrawColors->setAccent(ThemeManager->AccentColor());
    }
    FGlassBlur->UpdateColors();
    if (!FXFormReading::Active()) FGlassBlur->Invalidate();
    if (!UpdateChildren || !isVisible()) return;
    for (FXPopupItem* item : FItems.List())
        if (item->SubMenu() && item->SubMenu()->isVisible()) item->SubMenu()->UpdateTheme(true);
}

TColor FXPopupMenu::Background() {
    return FDrawColors->BackGround();
}

void FXPopupMenu::resizeEvent(QResizeEvent* event) {
    QMenu::resizeEvent(event);
    FGlassBlur->setGeometry(rect());
    UpdateMask();
}

void FXPopupMenu::moveEvent(QMoveEvent* event) {
    QMenu::moveEvent(event);
    // The material shows what lies under its new place on the screen.
    FGlassBlur->ReDraw();
}

void FXPopupMenu::paintEvent(QPaintEvent*) {
    // The blur material covers the whole window and draws the rows.
}

void FXPopupMenu::UpdateMask() {
    if (!FEnableRadius || width() <= 0 || height() <= 0) {
        clearMask();
        return;
    }
    // Where the desktop composes no transparency, the corners are cut off instead.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), CornerSize / 2.0, CornerSize / 2.0);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void FXPopupMenu::PaintRows(QPainter& painter) {
    const int width = FGlassBlur->width();
    const int height = FGlassBlur->height();
    const TColor foreground = FDrawColors->ForeGround();
    const QColor highlight = ToQColor(foreground, FItemPressed != Dark() ? 40 : 20);
    const Columns columns = ColumnsOf(FItems);
    const QFont font = WindowFont();
    QFont bold = font;
    bold.setBold(true);
    const QFont shortcutFont = Scaled(font, 2.5 / 3);
    const QString iconFace = IconFace();
    const QFont chevronFont = Scaled(FXFont(iconFace, font.pixelSize()), 2.8 / 3);
    const FXTextFlags left = FXTextFlag::Left | FXTextFlag::VerticalCenter | FXTextFlag::NoClip;
    const FXTextFlags right = FXTextFlag::Right | FXTextFlag::VerticalCenter | FXTextFlag::NoClip;
    const QAction* hover = activeAction();

    painter.save();
    for (FXPopupItem* item : FItems.List()) {
        if (!item->isVisible()) continue;
        const QRect row = actionGeometry(item);
        const int y = row.y();
        if (item->IsSeparator()) {
            painter.fillRect(QRect(10, y, width - 20, SeparatorHeight), ToQColor(foreground, 100));
            continue;
        }
        if (item == hover) DrawRoundRect(painter, QRectF(10, y + 2, width - 20, 31), 15, highlight);
        const QColor colour = ToQColor(item->isEnabled() ? foreground : DisabledColor);
        const RowParts parts = LayoutRow(*item, y, width, columns);
        if (!parts.Mark.isEmpty())
            DrawSymbol(painter, parts.Mark, QString(QChar(item->RadioItem() ? RadioMark : CheckMark)),
                       colour);
        painter.setPen(colour);
        if (!parts.Icon.isEmpty()) item->Image()->DrawIcon(painter, parts.Icon);
        painter.setFont(item->IsDefault() ? bold : font);
        DrawTextRect(painter, parts.Caption, Caption(*item), left);
        if (!parts.Shortcut.isEmpty()) {
            painter.setFont(shortcutFont);
            DrawTextRect(painter, parts.Shortcut, item->Shortcut(), right);
        }
        if (!parts.Chevron.isEmpty()) {
            painter.setFont(chevronFont);
            painter.drawText(parts.Chevron, Qt::AlignCenter | Qt::TextSingleLine,
                             SymbolText(QString(QChar(Chevron)), iconFace));
        }
    }
    painter.restore();

    if (!FEnableRadius) return;
    const QRect whole(0, 0, width, height);
    QPainterPath corners;
    corners.setFillRule(Qt::OddEvenFill);
    corners.addRect(QRectF(whole));
    corners.addRoundedRect(QRectF(whole), CornerSize / 2.0, CornerSize / 2.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(corners, Qt::transparent);
    painter.restore();
    if (FEnableBorder) DrawBorder(painter, whole, ToQColor(FDrawColors->Accent()), CornerSize, 1);
}
