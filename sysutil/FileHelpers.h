#pragma once
// Small file helpers.
#include <QIcon>
#include <QString>

// The icon of the file name's type as the desktop's icon theme draws it (the MIME
// type by the name alone: the file need not exist), 32 pixels when `large`, else
// 16; the theme's generic icon when the theme has none
// for the type, and a drawn blank page when there is no theme at all. A null icon
// without a GUI application.
QIcon ShellFileIcon(const QString& fileName, bool large);

// The size in bytes of the file, 0 for a folder, -1 when nothing of that name exists.
qint64 FileByteSize(const QString& fileName);
