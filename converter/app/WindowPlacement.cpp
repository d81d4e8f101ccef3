#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect FitIntoArea(const QRect& bounds, const QRect& area) {
    if (area.isEmpty()) return bounds;
    const int width = std::min(bounds.width(), area.width());
    const int height = std::min(bounds.height(), area.height());
    const int left = std::clamp(bounds.x(), area.x(), area.x() + area.width() - width);
    const int top = std::clamp(bounds.y(), area.y(), area.y() + area.height() - height);
    return {left, top, width, height};
}

void FitOntoScreen(QWidget* window) {
    if (window == nullptr || window->isMaximized() || window->isFullScreen()) return;
    const QRect bounds = window->geometry();
    QScreen* screen = QGuiApplication::screenAt(bounds.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect fitted = FitIntoArea(bounds, screen->availableGeometry());
    if (fitted != bounds) window->setGeometry(fitted);
}
