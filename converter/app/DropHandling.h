#pragma once
// What a drop on the main window brings, and the drop zone's flash when a drop
// misses it.
#include "FileCatching.h"

#include <QColor>
#include <QObject>
#include <QTimer>

#include <functional>

// The paths a drop offers for the list, in the catcher's order: each item, and
// after a folder the files directly inside it (not those of its sub-folders).
// Whether each names an existing file is the list's own check.
QStringList DroppedPaths(const TFileCatcher& catcher);

// The flash colour: each of red, green and blue moved 25/255 of the way from
// `current` towards orange (255, 128, 64), rounded towards zero.
QColor DropFlashColor(const QColor& current);

// Flashes the drop zone three times over two seconds (five ticks of 400 ms)
// and leaves it in its normal colour.
class TDropZoneFlash : public QObject {
    Q_OBJECT

  public:
    // `paint` colours the zone; `normal` tells its normal colour at each tick,
    // so a theme change during the flash is followed.
    TDropZoneFlash(std::function<void(const QColor&)> paint, std::function<QColor()> normal,
                   QObject* parent = nullptr);

    void Start(const QColor& current);
    bool Active() const { return FTimer.isActive(); }
    void Tick();

  private:
    std::function<void(const QColor&)> FPaint;
    std::function<QColor()> FNormal;
    QTimer FTimer;
    QColor FFlashColor;
    int FTicks = 0;
};
