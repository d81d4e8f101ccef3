#pragma once
// Reading and writing whole picture files, and the choice of image class by extension.
#include "Graphic.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <memory>

// The largest file a picture is read from; nothing we decode needs more.
constexpr qint64 MaxPictureFileBytes = qint64(1) << 31;

// Throws ConversionError when the file cannot be read or is larger than MaxPictureFileBytes.
QByteArray ReadPictureFile(const QString& path);
// Creates or replaces the file with exactly `data`. Throws ConversionError.
void WritePictureFile(const QString& path, QByteArrayView data);
// The same for a file made of parts, written one after the other.
void WritePictureFile(const QString& path, std::initializer_list<QByteArrayView> parts);

// The class for a path's extension: bitmap for "bmp" and anything unknown, PNG image,
// JPEG image ("jpg", "jpeg") or GIF image; compared ignoring case.
std::unique_ptr<TGraphic> PictureClassFor(const QString& path);
// Reads the whole file and decodes it with the class its extension names.
std::unique_ptr<TGraphic> LoadPictureFile(const QString& path);
