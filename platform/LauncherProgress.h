#pragma once
// Progress on the program's taskbar or dock button: the Unity LauncherEntry
// signal on the session bus, which KDE's task manager and the common docks read.
// Does nothing without a session bus.
#include <QString>

// `desktopFile` names the program's .desktop file ("com.brenvale.Formshift.desktop").
void SetLauncherProgress(const QString& desktopFile, int percent, bool visible);
