#pragma once
// The Windows environment names that paths of the programs are written with,
// mapped to this desktop's folders:
//   LOCALAPPDATA = XDG data home, APPDATA = XDG config home,
//   TEMP and TMP = the per-user temporary folder, USERPROFILE = the home folder,
//   SYSTEMROOT = "/".
#include <QList>
#include <QPair>
#include <QString>

// The per-user temporary folder, $XDG_CACHE_HOME/tmp: private to the user (0700)
// rather than the shared /tmp, so nobody can plant a file under a name the
// programs will use. Created when missing.
QString UserTempFolder();

// The names above with the values they get when missing.
QList<QPair<QString, QString>> WindowsEnvironmentDefaults();

// Sets every name of WindowsEnvironmentDefaults() that is unset or empty; a value
// the user set stays. Programs call it at start, before any thread runs.
void EnsureWindowsEnvironment();
