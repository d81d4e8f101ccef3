#pragma once
// Presents the job list to a view: one row per file with its name, type and
// status badge. The list itself stays in the engine; this only reads it.
#include "JobList.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>
#include <functional>

class TJobListModel : public QAbstractListModel {
  public:
    enum Role { StatusRole = Qt::UserRole + 1, PercentRole, TypeRole, IdleRole };

    // `idle` tells whether the list may be edited (no run active).
    TJobListModel(const TJobList& jobs, std::function<bool()> idle, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Follows the job list after it changed: resets on a new count, else repaints.
    void Refresh();

  private:
    const TJobList& FJobs;
    std::function<bool()> FIdle;
    int FShownCount = 0;
};

// "PNG File" for photo.png; " File" for a name without extension.
QString FileTypeText(const QString& path);

// Draws a row: icon, file name, type, and at the right the status badge, the
// delete button and the save button (the buttons only while no run is active).
class TJobRowDelegate : public QStyledItemDelegate {
  public:
    static constexpr int RowHeight = 50;
    static constexpr int ButtonWidth = 42;

    // The places of a row's parts; painting and clicks both use it.
    struct RowLayout {
        QRect Icon;
        QRect Text; // name, separators and type
        QRect Badge;
        QRect DelBt;  // empty while a run is active
        QRect SaveBt; // empty while a run is active
    };

    using QStyledItemDelegate::QStyledItemDelegate;
    RowLayout Layout(const QRect& row, const QFontMetrics& metrics, const QString& badge, bool idle) const;
    RowLayout Layout(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The glyph buttons say what they do: the row's own tip elsewhere.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    // The tip of the row's part at x; empty outside the buttons.
    static QString ButtonToolTip(const RowLayout& layout, int x);

  private:
    QIcon TypeIcon(const QString& path) const;

    mutable QHash<QString, QIcon> FIcons;
};
