#pragma once
// The user-interface library's own lookup of the user's special folders: the
// same registry values as the system library reads, through the library's
// quick registry helper, with only the fixed default names expanded.
#include "SpecialFolders.h"

namespace FXShellFolders {
// The folder of kind without a trailing delimiter; empty when the desktop has none.
QString UserShellFolder(UserFolderKind kind);
} // namespace FXShellFolders
