#include "FileListBox.h"

#include "ColorFunctions.h"
#include "FXCompleteColorSet.h"
#include "FXDrawing.h"
#include "FXThemeManager.h"
#include "FileTypeIcons.h"
#include "ModifyProgress.h"
#include "SymbolFont.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

const QColor DeleteColor(204, 0, 0);
const QColor SaveColor(128, 0, 255);
const QString Separator = QStringLiteral(" | ");
// Symbol-font code points of the delete and save buttons.
constexpr char32_t DeleteGlyph = 0xE74D;
constexpr char32_t SaveGlyph = 0xE78C;
constexpr int IconSize = 26;
constexpr int IconMargin = 12;
constexpr int BadgeMinWidth = 125;
constexpr int BadgeMargin = 6;

QString Glyph(char32_t codePoint, const QString& iconFont) {
    const char32_t mapped = SymbolCodePoint(codePoint, iconFont);
    return QString::fromUcs4(&mapped, 1);
}

// White or black, whichever reads better on a badge's designed colour.
QColor BadgeTextColor(const QColor& badge) {
    const TColor fill = RGB(badge.red(), badge.green(), badge.blue());
    return ContrastRatio(fill, RGB(255, 255, 255)) >= ContrastRatio(fill, RGB(0, 0, 0)) ? Qt::white
                                                                                        : Qt::black;
}

TModifyProgress StatusOf(const TJobList& jobs, int row) {
    const auto at = static_cast<std::size_t>(row);
    return at < jobs.ItemStatus.size() ? jobs.ItemStatus[at] : TModifyProgress::Waiting;
}

int PercentOf(const TJobList& jobs, int row) {
    const auto at = static_cast<std::size_t>(row);
    return at < jobs.ItemPercent.size() ? jobs.ItemPercent[at] : 0;
}

} // namespace

QString FileTypeText(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    return extension.toUpper() + QStringLiteral(" File");
}

// The rows as one tall child of the scroll box, which moves it to scroll; it
// draws only what the paint asks for. The pointer passes through it to the
// list, so clicks and tips are handled in one place.
class TFileRows : public QWidget {
  public:
    explicit TFileRows(TFileListBox* list) : QWidget(list), FList(list) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        FList->PaintRows(painter, event->rect());
    }

  private:
    TFileListBox* FList;
};

namespace {

// One row as a screen reader sees it: a list item named by its file, type and state.
class TFileRowAccessible : public QAccessibleInterface {
  public:
    TFileRowAccessible(TFileListBox* list, int row) : FList(list), FRow(row) {}

    bool isValid() const override { return FList != nullptr && FRow < FList->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return FList->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FList); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return QString();
        if (t == QAccessible::Name) return FList->RowText(FRow);
        if (t == QAccessible::Description) return FList->RowToolTip(FRow);
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect row = FList->Layout(FRow).Row;
        return QRect(FList->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.selectable = true;
        const bool current = FRow == FList->CurrentRow();
        state.selected = current;
        state.focused = current && FList->hasFocus();
        const QRect row = FList->Layout(FRow).Row;
        state.offscreen = !FList->rect().intersects(row);
        return state;
    }

  private:
    TFileListBox* FList;
    int FRow;
};

// The list: its children are the rows, made when first asked for and
// dropped when the number of rows changes.
class TFileListAccessible : public QAccessibleWidget {
  public:
    explicit TFileListAccessible(TFileListBox* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~TFileListAccessible() override { Forget(); }

    TFileListBox* List() const { return static_cast<TFileListBox*>(widget()); }
    int childCount() const override { return List()->Count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= List()->Count()) return nullptr;
        if (FCachedCount != List()->Count()) Forget();
        FCachedCount = List()->Count();
        const auto known = FRows.constFind(index);
        if (known != FRows.constEnd()) return QAccessible::accessibleInterface(*known);
        auto* row = new TFileRowAccessible(List(), index);
        FRows.insert(index, QAccessible::registerAccessibleInterface(row));
        return row;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = FRows.cbegin(); it != FRows.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child) return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int row = List()->RowAt(List()->mapFromGlobal(QPoint(x, y)));
        return row < 0 ? nullptr : child(row);
    }
    QAccessibleInterface* focusChild() const override {
        return List()->hasFocus() && List()->CurrentRow() >= 0 ? child(List()->CurrentRow()) : nullptr;
    }

  private:
    void Forget() const {
        for (const QAccessible::Id id : std::as_const(FRows))
            QAccessible::deleteAccessibleInterface(id);
        FRows.clear();
    }

    mutable QHash<int, QAccessible::Id> FRows;
    mutable int FCachedCount = -1;
};

QAccessibleInterface* FileListFactory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<TFileListBox*>(object)) return new TFileListAccessible(list);
    return nullptr;
}

} // namespace

TFileListBox::TFileListBox(QWidget* parent) : FXScrollBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(FileListFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setBackgroundColor(FXBackgroundColor::Content);
    setScrollExtendY(0);
    setScrollbarEnableHorizontal(false);
    FRows = new TFileRows(this);
    FRows->setGeometry(0, 0, width(), 0);
}

TFileListBox::~TFileListBox() = default;

void TFileListBox::setJobs(const TJobList* jobs, std::function<bool()> idle) {
    FJobs = jobs;
    FIdle = std::move(idle);
    Refresh();
}

int TFileListBox::Count() const {
    return FJobs ? FJobs->Count() : 0;
}

void TFileListBox::Refresh() {
    const int count = Count();
    if (count != FShownCount) {
        FShownCount = count;
        FRows->resize(FRows->width(), count * RowHeight);
        FitContent();
        if (QAccessible::isActive()) {
            QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
            QAccessible::updateAccessibility(&reset);
        }
        FSpoken.clear();
        if (FCurrentRow >= count) FCurrentRow = count - 1;
        if (FCurrentRow < 0 && count > 0) FCurrentRow = 0;
        if (FHoverRow >= count) FHoverRow = -1;
    }
    FRows->update();
    NotifyAccessibleRows();
}

void TFileListBox::NotifyAccessibleRows() {
    if (!QAccessible::isActive()) return;
    const int count = Count();
    FSpoken.resize(static_cast<std::size_t>(count));
    // The rows in view and the current one: a change far out of sight is read
    // once its row is looked at, and a run of ten thousand files stays cheap.
    const int first = std::max(0, -FRows->y() / RowHeight);
    const int last = std::min(count - 1, (-FRows->y() + height()) / RowHeight);
    const auto check = [&](int row) {
        const QString text = RowText(row);
        QString& spoken = FSpoken[static_cast<std::size_t>(row)];
        if (spoken == text) return;
        const bool unheard = spoken.isEmpty();
        spoken = text;
        if (unheard) return;
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        changed.setChild(row);
        QAccessible::updateAccessibility(&changed);
    };
    for (int row = first; row <= last; ++row)
        check(row);
    if (FCurrentRow >= 0 && FCurrentRow < count && (FCurrentRow < first || FCurrentRow > last))
        check(FCurrentRow);
}

void TFileListBox::FitContent() {
    // The rows end beside the vertical bar, so it never covers a row's buttons.
    const int viewport = height() - ScrollBarVert()->width();
    const int limit = std::max(0, FRows->height() - viewport);
    if (PosY() > limit) ScrollBarVert()->setPosition(limit);
    UpdateRanges();
    const int bar = ScrollBarVert()->isVisibleTo(this) ? ScrollBarVert()->width() : 0;
    FRows->resize(std::max(0, width() - bar), FRows->height());
}

void TFileListBox::resizeEvent(QResizeEvent* event) {
    FXScrollBox::resizeEvent(event);
    FitContent();
}

void TFileListBox::UpdateTheme(bool UpdateChildren) {
    FXScrollBox::UpdateTheme(UpdateChildren);
    FRows->update();
}

void TFileListBox::setCurrentRow(int row) {
    const int count = Count();
    if (count == 0) return;
    row = std::clamp(row, 0, count - 1);
    ScrollIntoView(row);
    if (row == FCurrentRow) return;
    FCurrentRow = row;
    FRows->update();
    emit CurrentRowChanged(row);
    if (QAccessible::isActive() && hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(row);
        QAccessible::updateAccessibility(&focus);
    }
}

void TFileListBox::ScrollIntoView(int row) {
    const int top = row * RowHeight;
    const int bottom = top + RowHeight;
    const int shown = height();
    if (top < PosY())
        ScrollBarVert()->setPosition(top);
    else if (bottom > PosY() + shown)
        ScrollBarVert()->setPosition(bottom - shown);
}

int TFileListBox::RowsPerPage() const {
    return std::max(1, height() / RowHeight);
}

TFileListBox::RowLayout TFileListBox::Layout(int row) const {
    RowLayout layout;
    layout.Row = QRect(FRows->x(), FRows->y() + row * RowHeight, FRows->width(), RowHeight);
    const QRect& r = layout.Row;
    layout.Icon = QRect(r.left() + IconMargin, r.top() + (RowHeight - IconSize) / 2, IconSize, IconSize);
    int right = r.left() + r.width();
    // From the right: save, delete, badge; the buttons only while no run is active.
    if (Idle()) {
        layout.SaveBt = QRect(right - ButtonWidth, r.top(), ButtonWidth, RowHeight);
        layout.DelBt = QRect(layout.SaveBt.left() - ButtonWidth, r.top(), ButtonWidth, RowHeight);
        right = layout.DelBt.left();
    }
    QString badge;
    if (FJobs && row >= 0 && row < Count()) badge = BadgeText(StatusOf(*FJobs, row), PercentOf(*FJobs, row));
    const int badgeWidth = std::max(BadgeMinWidth, fontMetrics().horizontalAdvance(badge) + 2 * BadgeMargin);
    layout.Badge = QRect(right - BadgeMargin - badgeWidth, r.top() + BadgeMargin, badgeWidth,
                         RowHeight - 2 * BadgeMargin);
    const int textLeft = layout.Icon.right() + 1 + IconMargin;
    layout.Text =
        QRect(textLeft, r.top(), std::max(0, layout.Badge.left() - BadgeMargin - textLeft), RowHeight);
    return layout;
}

int TFileListBox::RowAt(const QPoint& point) const {
    if (!FRows->geometry().contains(point)) return -1;
    const int row = (point.y() - FRows->y()) / RowHeight;
    return row < Count() ? row : -1;
}

TFileListBox::RowPart TFileListBox::PartAt(const RowLayout& layout, const QPoint& point) {
    if (!layout.Row.contains(point)) return RowPart::None;
    const int x = point.x();
    const auto inside = [x](const QRect& r) {
        return !r.isEmpty() && r.left() < x && x < r.left() + r.width();
    };
    if (inside(layout.DelBt)) return RowPart::Delete;
    if (inside(layout.SaveBt)) return RowPart::Save;
    return RowPart::Row;
}

QString TFileListBox::RowText(int row) const {
    if (!FJobs || row < 0 || row >= Count()) return QString();
    const QString& path = FJobs->FileList[row];
    return QStringLiteral("%1, %2, %3")
        .arg(QFileInfo(path).fileName(), FileTypeText(path).trimmed(),
             BadgeText(StatusOf(*FJobs, row), PercentOf(*FJobs, row)).trimmed());
}

QString TFileListBox::RowToolTip(int row) const {
    if (!FJobs || row < 0 || row >= Count()) return QString();
    const QString remarks = FJobs->ItemRemarks.value(row);
    return remarks.isEmpty() ? FJobs->FileList[row] : FJobs->FileList[row] + QLatin1Char('\n') + remarks;
}

QString TFileListBox::ButtonToolTip(RowPart part) {
    switch (part) {
    case RowPart::Delete:
        return QStringLiteral("Remove this file from the list (Delete)");
    case RowPart::Save:
        return QStringLiteral("Convert this file to a file of your choice (Ctrl+S)");
    default:
        return QString();
    }
}

const QPixmap& TFileListBox::TypeIcon(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    auto cached = FIcons.find(suffix);
    if (cached == FIcons.end())
        cached = FIcons.insert(suffix, RowIcon(path).pixmap(QSize(IconSize, IconSize), devicePixelRatioF()));
    return *cached;
}

void TFileListBox::PaintRows(QPainter& painter, const QRect& area) {
    const FXCompleteColorSet& colours = DrawColors();
    const QColor background = ToQColor(Background());
    const QColor text = ToQColor(colours.ForeGround());
    painter.fillRect(area, background);
    FPaintedRows = 0;
    if (!FJobs) return;
    const int count = Count();
    const int first = std::max(0, area.top() / RowHeight);
    const int last = std::min(count - 1, area.bottom() / RowHeight);
    const bool dark = ThemeManager && ThemeManager->DarkTheme();
    const QFontMetrics metrics = fontMetrics();
    static const QString iconFont = ChooseIconFont();
    QFont symbols(iconFont);
    symbols.setPixelSize(18);
    // Layout works in the list's coordinates; the rows draw in their own.
    const QPoint offset = -FRows->pos();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = first; row <= last; ++row) {
        ++FPaintedRows;
        RowLayout layout = Layout(row);
        for (QRect* part :
             {&layout.Row, &layout.Icon, &layout.Text, &layout.Badge, &layout.DelBt, &layout.SaveBt})
            if (!part->isEmpty()) part->translate(offset);

        const bool focused = row == FCurrentRow && hasFocus();
        if (focused) painter.fillRect(layout.Row, ToQColor(ChangeLightness(Background(), dark ? 14 : -10)));
        const QString& path = FJobs->FileList[row];
        painter.drawPixmap(layout.Icon, TypeIcon(path));

        const QString type = FileTypeText(path);
        const int fixedWidth = metrics.horizontalAdvance(Separator + type + Separator);
        const QString name = metrics.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle,
                                                std::max(0, layout.Text.width() - fixedWidth));
        painter.setFont(font());
        painter.setPen(text);
        QRect place = layout.Text;
        for (const QString& part : {name, Separator, type, Separator}) {
            painter.drawText(place, Qt::AlignVCenter | Qt::AlignLeft, part);
            place.setLeft(place.left() + metrics.horizontalAdvance(part));
        }

        const TModifyProgress status = StatusOf(*FJobs, row);
        const QColor badge = BadgeColor(status);
        painter.setPen(Qt::NoPen);
        painter.setBrush(badge);
        painter.drawRoundedRect(layout.Badge, 6, 6);
        painter.setPen(BadgeTextColor(badge));
        painter.drawText(layout.Badge, Qt::AlignCenter, BadgeText(status, PercentOf(*FJobs, row)));

        if (!layout.DelBt.isEmpty()) {
            const auto button = [&](const QRect& place, QColor colour, char32_t glyph, RowPart part) {
                if (row == FHoverRow && part == FHoverPart) colour = colour.lighter(120);
                painter.fillRect(place, colour);
                painter.setPen(Qt::white);
                painter.setFont(symbols);
                painter.drawText(place, Qt::AlignCenter, Glyph(glyph, iconFont));
            };
            button(layout.DelBt, DeleteColor, DeleteGlyph, RowPart::Delete);
            button(layout.SaveBt, SaveColor, SaveGlyph, RowPart::Save);
        }
        // Last, so that the buttons do not cover the outline.
        if (focused) {
            painter.setPen(QPen(text, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(layout.Row).adjusted(1, 1, -1, -1), 4, 4);
        }
    }
}

void TFileListBox::SetHover(int row, RowPart part) {
    if (part != RowPart::Delete && part != RowPart::Save) row = -1;
    if (row == FHoverRow && part == FHoverPart) return;
    FHoverRow = row;
    FHoverPart = part;
    FRows->update();
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    if (row < 0) {
        FXScrollBox::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    // The parts are taken before anything changes, so a deleted row cannot
    // move another under the pointer.
    const RowLayout layout = Layout(row);
    const RowPart part = PartAt(layout, point);
    setCurrentRow(row);
    if (event->button() != Qt::LeftButton || !Idle()) return;
    if (part == RowPart::Delete) emit DeleteRequested(row);
    if (part == RowPart::Save) emit SaveRequested(row);
}

void TFileListBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    SetHover(row, row < 0 ? RowPart::None : PartAt(Layout(row), point));
    FXScrollBox::mouseMoveEvent(event);
}

void TFileListBox::leaveEvent(QEvent* event) {
    SetHover(-1, RowPart::None);
    FXScrollBox::leaveEvent(event);
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
    const int count = Count();
    const int current = FCurrentRow;
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentRow(current - 1);
        break;
    case Qt::Key_Down:
        setCurrentRow(current + 1);
        break;
    case Qt::Key_PageUp:
        setCurrentRow(current - RowsPerPage());
        break;
    case Qt::Key_PageDown:
        setCurrentRow(current + RowsPerPage());
        break;
    case Qt::Key_Home:
        setCurrentRow(0);
        break;
    case Qt::Key_End:
        setCurrentRow(count - 1);
        break;
    case Qt::Key_Delete:
        if (current >= 0 && Idle()) emit DeleteRequested(current);
        break;
    case Qt::Key_S:
        if (event->modifiers() != Qt::ControlModifier) {
            FXScrollBox::keyPressEvent(event);
            return;
        }
        if (current >= 0 && Idle()) emit SaveRequested(current);
        break;
    default:
        FXScrollBox::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TFileListBox::focusInEvent(QFocusEvent* event) {
    FXScrollBox::focusInEvent(event);
    if (FCurrentRow < 0 && Count() > 0) FCurrentRow = 0;
    FRows->update();
    if (QAccessible::isActive() && FCurrentRow >= 0) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(FCurrentRow);
        QAccessible::updateAccessibility(&focus);
    }
}

void TFileListBox::focusOutEvent(QFocusEvent* event) {
    FXScrollBox::focusOutEvent(event);
    FRows->update();
}

bool TFileListBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = RowAt(help->pos());
        if (row < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const RowLayout layout = Layout(row);
        const RowPart part = PartAt(layout, help->pos());
        const QString button = ButtonToolTip(part);
        const QRect area = part == RowPart::Delete ? layout.DelBt
                           : part == RowPart::Save ? layout.SaveBt
                                                   : layout.Row;
        QToolTip::showText(help->globalPos(), button.isEmpty() ? RowToolTip(row) : button, this, area);
        return true;
    }
    return FXScrollBox::event(event);
}

QColor BadgeColor(TModifyProgress state) {
    switch (state) {
    case TModifyProgress::Waiting:
        return QColor(0, 128, 255);
    case TModifyProgress::Converting:
        return QColor(255, 128, 0);
    case TModifyProgress::Finalised:
        return QColor(0, 202, 0);
    case TModifyProgress::FormatErr:
        return QColor(125, 2, 5);
    case TModifyProgress::Error:
    case TModifyProgress::Cancelled:
        return QColor(204, 0, 0);
    }
    return QColor();
}
