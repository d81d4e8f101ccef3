#pragma once
// The main window's file list: one 50-pixel row per file of the job list, drawn
// on the themed scroll box. A row shows the file's icon, name and type, its
// status badge and, while no run is active, a delete and a save button. Only
// the rows in view are drawn, so ten thousand files cost what ten do. The list
// takes the keyboard focus (arrows move the current row, Delete removes it,
// Ctrl+S converts it to a chosen file) and shows each row to screen readers
// with its name, type and state.
#include "FXScrollBox.h"
#include "JobList.h"

#include <QHash>
#include <QPixmap>
#include <functional>
#include <vector>

class TFileRows;

// "PNG File" for photo.png; " File" for a name without extension.
QString FileTypeText(const QString& path);

// The designed colour of a status badge; its text is black or white, whichever reads.
QColor BadgeColor(TModifyProgress state);

class TFileListBox : public FXScrollBox {
    Q_OBJECT

  public:
    static constexpr int RowHeight = 50;
    static constexpr int ButtonWidth = 42;

    // Where a row's parts lie, in the list's own coordinates; painting,
    // clicks and tooltips all take them from Layout.
    struct RowLayout {
        QRect Row;
        QRect Icon;
        QRect Text; // name, separators and type
        QRect Badge;
        QRect DelBt;  // empty while a run is active
        QRect SaveBt; // empty while a run is active
    };
    enum class RowPart : std::uint8_t { None, Row, Delete, Save };

    explicit TFileListBox(QWidget* parent = nullptr);
    ~TFileListBox() override;

    // The list shown, and whether its rows may be changed now (no run active).
    void setJobs(const TJobList* jobs, std::function<bool()> idle);
    // Follows the job list after it changed: the number of rows, their states,
    // the current row and the scroll range. Cheap enough for every tick of a run.
    void Refresh();

    int Count() const;
    int CurrentRow() const { return FCurrentRow; }
    // Moves the current row (clamped to the list) and scrolls it into view.
    void setCurrentRow(int row);
    bool Idle() const { return !FIdle || FIdle(); }

    RowLayout Layout(int row) const;
    // The row under a point of the list, or -1.
    int RowAt(const QPoint& point) const;
    // The part of a row's layout a point lies in; the buttons only count
    // strictly inside their horizontal extent.
    static RowPart PartAt(const RowLayout& layout, const QPoint& point);
    // What a screen reader says for a row: "song.FLAC, FLAC File, Waiting".
    QString RowText(int row) const;
    // The row's tip: its full path, then why it failed or what its output lost.
    QString RowToolTip(int row) const;
    static QString ButtonToolTip(RowPart part);
    // The rows the last paint drew, for checking that only visible rows are drawn.
    int PaintedRows() const { return FPaintedRows; }

    void UpdateTheme(bool UpdateChildren) override;

  signals:
    // A row's delete or save button, or its key, was used while the list was idle.
    void DeleteRequested(int row);
    void SaveRequested(int row);
    void CurrentRowChanged(int row);

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    friend class TFileRows;
    void PaintRows(QPainter& painter, const QRect& area);
    void FitContent();
    void ScrollIntoView(int row);
    int RowsPerPage() const;
    const QPixmap& TypeIcon(const QString& path);
    void NotifyAccessibleRows();
    void SetHover(int row, RowPart part);

    const TJobList* FJobs = nullptr;
    std::function<bool()> FIdle;
    TFileRows* FRows = nullptr;
    int FShownCount = 0;
    int FCurrentRow = -1;
    int FHoverRow = -1;
    RowPart FHoverPart = RowPart::None;
    int FPaintedRows = 0;
    QHash<QString, QPixmap> FIcons;
    // What screen readers were last told of each row, to announce changes only.
    std::vector<QString> FSpoken;
};
