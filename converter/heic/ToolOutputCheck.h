#pragma once
// The outside tools report success for some failures (a full disk among them) and
// leave a file cut short behind; what they wrote is only accepted once its own
// structure says it is whole.
#include <QString>

// A HEIF file whose top-level boxes begin with "ftyp" of a HEIF brand, include
// "meta" and "mdat", and end exactly where the file ends.
bool IsCompleteHeifFile(const QString& path);
// A PNG file whose chunks run from the signature to IEND and the end of the file.
bool IsCompletePngFile(const QString& path);
// A JPEG file that begins with a start-of-image and ends with an end-of-image marker.
bool IsCompleteJpegFile(const QString& path);
// The check that fits the file's extension (.heic/.heif, .png, .jpg/.jpeg); a
// non-empty file for any other extension.
bool IsCompleteToolOutput(const QString& path);
