#include "JobListModel.h"

#include "FormatCatalogue.h"

#include <QFileInfo>
#include <QPainter>

TJobListModel::TJobListModel(const TJobList& jobs, QObject* parent) : QAbstractListModel(parent), FJobs(jobs) {}

int TJobListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FShownCount; }

QVariant TJobListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= FJobs.Count()) return {};
    const auto at = static_cast<std::size_t>(row);
    const TModifyProgress status = at < FJobs.ItemStatus.size() ? FJobs.ItemStatus[at] : TModifyProgress::Waiting;
    const int percent = at < FJobs.ItemPercent.size() ? FJobs.ItemPercent[at] : 0;
    switch (role) {
    case Qt::DisplayRole: return QFileInfo(FJobs.FileList[row]).fileName();
    case Qt::ToolTipRole: return FJobs.FileList[row];
    case TypeRole: return QFileInfo(FJobs.FileList[row]).suffix().toUpper();
    case StatusRole: return static_cast<int>(status);
    case PercentRole: return percent;
    default: return {};
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

void TJobRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    const auto status = static_cast<TModifyProgress>(index.data(TJobListModel::StatusRole).toInt());
    const QString badge = BadgeText(status, index.data(TJobListModel::PercentRole).toInt());
    const QFontMetrics metrics(option.font);
    const int badgeWidth = metrics.horizontalAdvance(badge) + 8;
    const QRect badgeRect(option.rect.right() - badgeWidth - 6, option.rect.top() + 4, badgeWidth,
                          option.rect.height() - 8);

    base.text.clear();
    option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, option.widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect textRect = option.rect.adjusted(8, 0, -badgeWidth - 14, 0);
    const QString type = index.data(TJobListModel::TypeRole).toString();
    const QString name = metrics.elidedText(index.data().toString(), Qt::ElideMiddle,
                                            textRect.width() - metrics.horizontalAdvance(type) - 12);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, name);
    painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignRight, type);
    painter->setPen(Qt::NoPen);
    painter->setBrush(BadgeColor(status));
    painter->drawRoundedRect(badgeRect, 6, 6);
    painter->setPen(Qt::white);
    painter->drawText(badgeRect, Qt::AlignCenter, badge);
    painter->restore();
}

QSize TJobRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), QFontMetrics(option.font).height() + 16));
    return size;
}
