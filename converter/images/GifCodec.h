#pragma once
// GIF files through giflib: the first frame of a file, placed on its logical screen;
// written with a palette that libimagequant builds and dithers to.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>

// Throws ConversionError for damaged, truncated or oversized files.
TRaster DecodeGif(QByteArrayView file);
// Pixels less than half opaque become the transparent colour; the others are flattened
// over white, since a GIF pixel is either fully opaque or fully transparent.
QByteArray EncodeGif(const TRaster& raster);
