#include "FileCatching.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

TFileCatcher::TFileCatcher(const QDropEvent& drop) : FDropPoint(drop.position().toPoint()) {
    if (!drop.mimeData()) return;
    for (const QUrl& url : drop.mimeData()->urls())
        FFiles << (url.isLocalFile() ? url.toLocalFile() : QString());
}

TFileCatcher::TFileCatcher(const QStringList& files, QPoint dropPoint)
    : FFiles(files), FDropPoint(dropPoint) {}
