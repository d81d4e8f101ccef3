#pragma once
// A look into the boxes of a HEIF file, for what the decoding tool does to its pixels.
#include <QByteArrayView>
#include <QString>

// Whether the properties of the file's primary picture turn or mirror it (irot, imir).
// The decoder applies those, so the EXIF orientation the file also carries must not be
// applied a second time. False for files that cannot be read or parsed.
bool HeifHasTransformations(const QString& path);
// The same for the first bytes of a file, which hold its 'meta' box.
bool HeifHasTransformations(QByteArrayView head);
