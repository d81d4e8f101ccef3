#pragma once
// Saving and restoring a top-level window's bounds and state in an INI file:
// section "Positions", keys "Left", "Top", "Width", "Height" (the window's normal
// bounds, never those of its maximised or minimised state) and "State" (0 normal,
// 1 minimised, 2 maximised).
#include <QString>

class QWidget;

// Loading without the file centres the window on its screen and keeps its size.
// A window is never restored minimised. Saving a maximised or minimised window
// writes its normal bounds without showing it restored; with leaveNormal it is
// left in the normal state. Returns whether the file could be read or written.
bool PersistFormPosition(QWidget* form, const QString& iniFileName, bool load, bool leaveNormal);
