#pragma once
// Presents the job list to a view: one row per file with its name, type and
// status badge. The list itself stays in the engine; this only reads it.
#include "JobList.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>

class TJobListModel : public QAbstractListModel {
public:
    enum Role { StatusRole = Qt::UserRole + 1, PercentRole, TypeRole };

    explicit TJobListModel(const TJobList& jobs, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Follows the job list after it changed: resets on a new count, else repaints.
    void Refresh();

private:
    const TJobList& FJobs;
    int FShownCount = 0;
};

// Draws a row: file name, its type, and the coloured status badge at the right.
class TJobRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
