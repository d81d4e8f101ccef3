#pragma once
// One drop of files or folders onto a window: the dropped items in the order the
// desktop gave them, and where they were dropped.
#include <QPoint>
#include <QString>
#include <QStringList>

class QDropEvent;

class TFileCatcher {
  public:
    explicit TFileCatcher(const QDropEvent& drop);
    TFileCatcher(const QStringList& files, QPoint dropPoint);

    int FileCount() const { return int(FFiles.size()); }
    // The local path of the Idx-th item; empty for an item that is no local file.
    QString Files(int Idx) const { return FFiles.value(Idx); }
    // In client coordinates of the window that received the drop.
    QPoint DropPoint() const { return FDropPoint; }

  private:
    QStringList FFiles;
    QPoint FDropPoint;
};
