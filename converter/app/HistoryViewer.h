#pragma once
// The export-folder history: the recently used folders, oldest first, kept in
// "folderhistory.txt", and the borderless popup that lists them above the main
// window's folder label. The list is read on first use.
#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class HistView;
}

class THistView : public QWidget {
    Q_OBJECT

  public:
    // At most this many entries survive loading the file.
    static constexpr int MaxLoaded = 50;

    explicit THistView(const QString& historyFile, QWidget* parent = nullptr);
    ~THistView() override;

    bool Loaded() const { return FLoaded; }
    const QStringList& History() const { return FHistory; }
    const QString& HistoryFile() const { return FHistoryFile; }

    // Moves an entry equal to `path` (ignoring case) to the end, or appends it.
    void AddHistory(const QString& path);
    void ReLoadHistory();
    // Replaces the file by the list when the list was loaded in this process.
    // Returns an empty text, or the reason the file could not be written.
    QString SaveHistory();
    void SyncBlock();
    // Loads the history when needed and opens the popup right above `anchor`.
    void OpenAbove(QWidget* anchor);
    // "✖️ Clear History": empties the list and the file at once.
    void dirlabelClick();

  signals:
    // An entry was double-clicked; the popup has closed.
    void PathChosen(const QString& path);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void HistoryBlockDblClick();

    std::unique_ptr<Ui::HistView> FUi;
    QString FHistoryFile;
    QStringList FHistory;
    bool FLoaded = false;
    // A file that exists but could not be read is never replaced behind the user's back.
    bool FReadFailed = false;
};
