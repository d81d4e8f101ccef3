#pragma once
// JPEG files through libjpeg-turbo: baseline, progressive, greyscale, RGB, CMYK and YCCK
// in; baseline YCbCr 4:2:0 out.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>

// The quality a JPEG is written at unless the user chose another.
constexpr int JpegQuality = 90;

// Throws ConversionError for damaged, truncated or oversized files.
TRaster DecodeJpeg(QByteArrayView file);
// Alpha is ignored: callers flatten first.
QByteArray EncodeJpeg(const TRaster& raster, int quality = JpegQuality);
