#pragma once
// IMG-BASE: a picture stored as Base64 text of the UTF-8 form of its BMP file's bytes
// read as Windows-1252 text. The five bytes Windows-1252 leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090 and U+009D, so every
// byte value survives the trip both ways.
#include "Bitmap.h"

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

// Each byte as the UTF-8 form of its Windows-1252 character.
QByteArray Windows1252ToUtf8(QByteArrayView bytes);
// The reverse; also takes U+0080–U+009F as the bytes of the same value (text written by
// a system that read the bytes as Latin-1). Throws ConversionError for invalid UTF-8 and
// for characters Windows-1252 cannot hold.
QByteArray Utf8ToWindows1252(QByteArrayView utf8);

QByteArray BitmapToBase64(const TBitmap& bitmap);
// Throws ConversionError when the text does not hold a BMP file.
std::unique_ptr<TBitmap> Base64ToBitmap(QByteArrayView text);

// The text of an IMG-BASE file as single bytes: a UTF-8 byte-order mark is dropped, UTF-16
// (by its byte-order mark) keeps the characters below 128; other files are taken as they are.
QByteArray ImgBaseFileText(QByteArrayView file);
