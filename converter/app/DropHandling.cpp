#include "DropHandling.h"

#include <QDir>
#include <QFileInfo>

QStringList DroppedPaths(const TFileCatcher& catcher) {
    QStringList paths;
    for (int i = 0; i < catcher.FileCount(); ++i) {
        const QString item = catcher.Files(i);
        paths << item;
        if (item.isEmpty() || !QFileInfo(item).isDir()) continue;
        const QDir folder(item);
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name))
            paths << folder.filePath(name);
    }
    return paths;
}

QColor DropFlashColor(const QColor& current) {
    const auto toward = [](int c, int target) { return c + 25 * (target - c) / 255; };
    return QColor(toward(current.red(), 255), toward(current.green(), 128), toward(current.blue(), 64));
}

TDropZoneFlash::TDropZoneFlash(std::function<void(const QColor&)> paint, std::function<QColor()> normal,
                               QObject* parent)
    : QObject(parent), FPaint(std::move(paint)), FNormal(std::move(normal)) {
    FTimer.setInterval(400);
    connect(&FTimer, &QTimer::timeout, this, &TDropZoneFlash::Tick);
}

void TDropZoneFlash::Start(const QColor& current) {
    FFlashColor = DropFlashColor(current);
    FPaint(FFlashColor);
    FTicks = 0;
    FTimer.start();
}

void TDropZoneFlash::Tick() {
    const int before = FTicks;
    FPaint(before % 2 == 1 ? FFlashColor : FNormal());
    ++FTicks;
    if (before >= 4) {
        FPaint(FNormal());
        FTimer.stop();
    }
}
