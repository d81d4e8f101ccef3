#pragma once
// The freedesktop base and user folders, read from the environment and
// user-dirs.dirs on every call, so a changed HOME or XDG_* variable takes effect
// at once. Paths come without a trailing delimiter.
#include <QString>

QString HomeFolder();
QString XdgDataHome();   // $XDG_DATA_HOME or ~/.local/share
QString XdgConfigHome(); // $XDG_CONFIG_HOME or ~/.config
QString XdgCacheHome();  // $XDG_CACHE_HOME or ~/.cache
QString XdgStateHome();  // $XDG_STATE_HOME or ~/.local/state

// A user folder of user-dirs.dirs by its key ("DESKTOP", "DOCUMENTS", "DOWNLOAD",
// "MUSIC", "PICTURES", "VIDEOS", "TEMPLATES", "PUBLICSHARE"). Without an entry
// the conventional folder below the home folder is returned ("~/Desktop").
QString XdgUserFolder(const QString& key);
