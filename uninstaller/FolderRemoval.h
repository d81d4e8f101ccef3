#pragma once
// Removal of an installed folder tree. Symbolic links are removed, never
// followed, so nothing outside the tree is touched; folders of another file
// system mounted inside the tree are left alone. An entry that cannot be removed
// stays where it is and the walk goes on.
#include <QString>

// `path` must be a full path. True when nothing is left there afterwards. A
// symbolic link at `path` itself is removed as a link.
bool DeleteFolderTree(const QString& path);
