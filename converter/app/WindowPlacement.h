#pragma once
// Keeps a window where the user can reach it. A stored position comes from
// another session, perhaps another monitor or another scale factor, and may no
// longer fit the screen it lands on.
#include <QRect>

class QWidget;

// The window's bounds moved, and shrunk where they are larger, so that they lie
// inside area. An empty area leaves the bounds as they are.
QRect FitIntoArea(const QRect& bounds, const QRect& area);

// Fits the window into the available area (without panels and docks) of the
// screen that holds its centre, or of the primary screen when none does.
void FitOntoScreen(QWidget* window);
