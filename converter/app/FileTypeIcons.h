#pragma once
// The icons of the list's rows. The desktop's icon theme answers when one is
// installed; otherwise the program's own small set keeps rows from showing a
// blank page: a picture, a note, or a plain page.
#include <QIcon>
#include <QString>

enum class FileKind : std::uint8_t { Image, Audio, Generic };

// By the format the extension names, then by the file's MIME type.
FileKind FileKindOf(const QString& path);

// The program's own icon of a kind, drawn for every device-pixel ratio in use.
QIcon FallbackFileIcon(FileKind kind);

// The theme's icon for the file's type when the theme has one, else the fallback.
QIcon RowIcon(const QString& path);
