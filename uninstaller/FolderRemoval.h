#pragma once
// Removal of an installed folder tree. Symbolic links are removed, never
// followed, so nothing outside the tree is touched; the walk never crosses a
// mount point (a bind mount of a folder of the same file system included), and a
// folder that is itself a mount point is left alone. An entry that cannot be removed
// stays where it is and the walk goes on.
#include <QString>

// `path` must be a full path. True when nothing is left there afterwards. A
// symbolic link at `path` itself is removed as a link.
bool DeleteFolderTree(const QString& path);
