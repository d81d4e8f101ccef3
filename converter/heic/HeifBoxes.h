#pragma once
// A look into the boxes of a HEIF file, for what the decoding tool does to its pixels.
#include <QString>

// Whether the file's item properties turn or mirror the picture (irot, imir). The
// decoder applies those, so the EXIF orientation the file also carries must not be
// applied a second time. False for files that cannot be read or parsed.
bool HeifHasTransformations(const QString& path);
