#pragma once
// The uninstaller cannot delete its own file while it runs, so a detached shell
// waits three seconds, by which time the program has ended, and deletes it.
#include <QString>

// The name of the private folder a relocated copy runs from; the delayed
// deletion removes that folder too once it is empty.
inline constexpr const char* RelocationFolderPrefix = "brenvale-uninstaller-";

// Starts `sh -c 'sleep 3; rm -f -- "$1"'` for `executable`, detached, hidden,
// in "/". False when the shell could not be started.
bool StartDelayedSelfDelete(const QString& executable);
