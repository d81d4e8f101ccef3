#include "JobListModel.h"

#include "FileTypeIcons.h"
#include "FormatCatalogue.h"
#include "SymbolFont.h"

#include <QFileInfo>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

const QColor DeleteColor(204, 0, 0);
const QColor SaveColor(128, 0, 255);
const QString Separator = QStringLiteral(" | ");
// Symbol-font code points of the delete and save buttons.
constexpr char32_t DeleteGlyph = 0xE74D;
constexpr char32_t SaveGlyph = 0xE78C;

QString Glyph(char32_t codePoint, const QString& iconFont) {
    const char32_t mapped = SymbolCodePoint(codePoint, iconFont);
    return QString::fromUcs4(&mapped, 1);
}

QString BadgeOf(const QModelIndex& index) {
    const auto status = static_cast<TModifyProgress>(index.data(TJobListModel::StatusRole).toInt());
    return BadgeText(status, index.data(TJobListModel::PercentRole).toInt());
}

} // namespace

TJobListModel::TJobListModel(const TJobList& jobs, std::function<bool()> idle, QObject* parent)
    : QAbstractListModel(parent), FJobs(jobs), FIdle(std::move(idle)) {}

int TJobListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FShownCount;
}

QVariant TJobListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= FJobs.Count()) return {};
    const auto at = static_cast<std::size_t>(row);
    const TModifyProgress status =
        at < FJobs.ItemStatus.size() ? FJobs.ItemStatus[at] : TModifyProgress::Waiting;
    const int percent = at < FJobs.ItemPercent.size() ? FJobs.ItemPercent[at] : 0;
    switch (role) {
    case Qt::DisplayRole:
        return QFileInfo(FJobs.FileList[row]).fileName();
    case Qt::ToolTipRole:
        return FJobs.FileList[row];
    case Qt::AccessibleTextRole:
        // A screen reader hears the row as one line: name, type and state.
        return QStringLiteral("%1, %2, %3")
            .arg(QFileInfo(FJobs.FileList[row]).fileName(), FileTypeText(FJobs.FileList[row]),
                 BadgeText(status, percent).trimmed());
    case Qt::AccessibleDescriptionRole:
        return FJobs.FileList[row];
    case TypeRole:
        return FileTypeText(FJobs.FileList[row]);
    case StatusRole:
        return static_cast<int>(status);
    case PercentRole:
        return percent;
    case IdleRole:
        return FIdle ? FIdle() : true;
    default:
        return {};
    }
}

void TJobListModel::Refresh() {
    if (FShownCount != FJobs.Count()) {
        beginResetModel();
        FShownCount = FJobs.Count();
        endResetModel();
    } else if (FShownCount > 0) {
        emit dataChanged(index(0), index(FShownCount - 1));
    }
}

QString FileTypeText(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    return extension.toUpper() + QStringLiteral(" File");
}

TJobRowDelegate::RowLayout TJobRowDelegate::Layout(const QRect& row, const QFontMetrics& metrics,
                                                   const QString& badge, bool idle) const {
    RowLayout layout;
    layout.Icon = QRect(row.left() + 12, row.top() + (row.height() - 26) / 2, 26, 26);
    int right = row.right() + 1;
    if (idle) {
        layout.SaveBt = QRect(right - ButtonWidth, row.top(), ButtonWidth, row.height());
        layout.DelBt = QRect(layout.SaveBt.left() - ButtonWidth, row.top(), ButtonWidth, row.height());
        right = layout.DelBt.left();
    }
    const int badgeWidth = std::max(125, metrics.horizontalAdvance(badge) + 12);
    layout.Badge = QRect(right - 6 - badgeWidth, row.top() + 6, badgeWidth, row.height() - 12);
    layout.Text = QRect(layout.Icon.right() + 11, row.top(),
                        std::max(0, layout.Badge.left() - 6 - layout.Icon.right() - 11), row.height());
    return layout;
}

TJobRowDelegate::RowLayout TJobRowDelegate::Layout(const QStyleOptionViewItem& option,
                                                   const QModelIndex& index) const {
    return Layout(option.rect, QFontMetrics(option.font), BadgeOf(index),
                  index.data(TJobListModel::IdleRole).toBool());
}

QIcon TJobRowDelegate::TypeIcon(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto cached = FIcons.constFind(suffix);
    if (cached != FIcons.constEnd()) return *cached;
    const QIcon icon = RowIcon(path);
    FIcons.insert(suffix, icon);
    return icon;
}

void TJobRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear();
    base.icon = QIcon();
    option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, option.widget);

    const auto status = static_cast<TModifyProgress>(index.data(TJobListModel::StatusRole).toInt());
    const QString badge = BadgeOf(index);
    const QFontMetrics metrics(option.font);
    const RowLayout layout =
        Layout(option.rect, metrics, badge, index.data(TJobListModel::IdleRole).toBool());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    TypeIcon(index.data(Qt::ToolTipRole).toString()).paint(painter, layout.Icon);

    const QString type = index.data(TJobListModel::TypeRole).toString();
    const int fixedWidth = metrics.horizontalAdvance(Separator + type + Separator);
    const QString name = metrics.elidedText(index.data().toString(), Qt::ElideMiddle,
                                            std::max(0, layout.Text.width() - fixedWidth));
    const QColor text = option.palette.color(QPalette::Text);
    QRect place = layout.Text;
    const auto draw = [&](const QString& part, const QColor& colour) {
        painter->setPen(colour);
        painter->drawText(place, Qt::AlignVCenter | Qt::AlignLeft, part);
        place.setLeft(place.left() + metrics.horizontalAdvance(part));
    };
    draw(name, text);
    draw(Separator, option.palette.color(QPalette::PlaceholderText));
    draw(type, text);
    draw(Separator, option.palette.color(QPalette::PlaceholderText));

    painter->setPen(Qt::NoPen);
    painter->setBrush(BadgeColor(status));
    painter->drawRoundedRect(layout.Badge, 6, 6);
    painter->setPen(Qt::white);
    painter->drawText(layout.Badge, Qt::AlignCenter, badge);
    if (!layout.DelBt.isEmpty()) {
        painter->fillRect(layout.DelBt, DeleteColor);
        painter->fillRect(layout.SaveBt, SaveColor);
        static const QString iconFont = ChooseIconFont();
        QFont symbols(iconFont);
        symbols.setPixelSize(18);
        painter->setFont(symbols);
        painter->drawText(layout.DelBt, Qt::AlignCenter, Glyph(DeleteGlyph, iconFont));
        painter->drawText(layout.SaveBt, Qt::AlignCenter, Glyph(SaveGlyph, iconFont));
    }
    painter->restore();
}

QSize TJobRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(RowHeight);
    return size;
}

QString TJobRowDelegate::ButtonToolTip(const RowLayout& layout, int x) {
    const auto inside = [x](const QRect& r) { return !r.isEmpty() && r.left() < x && x < r.left() + r.width(); };
    if (inside(layout.DelBt)) return QStringLiteral("Remove this file from the list (Delete)");
    if (inside(layout.SaveBt)) return QStringLiteral("Convert this file to a file of your choice");
    return QString();
}

bool TJobRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && index.isValid()) {
        const QString tip = ButtonToolTip(Layout(option, index), event->pos().x());
        if (!tip.isEmpty()) {
            QToolTip::showText(event->globalPos(), tip, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
