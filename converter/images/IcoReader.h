#pragma once
// ICO files, read by our own code: the directory, BMP images with their AND mask and
// PNG images alike.
#include "Raster.h"

#include <QByteArrayView>

// The icon size a desktop shows by default; the picture of an icon is the image nearest to it.
constexpr int StandardIconSize = 32;

// Decodes the image nearest to StandardIconSize: exact size first, then the nearest
// larger, then the nearest smaller; among equals the one with the most colours. Colours
// come from the colour image, alpha is 0 where the mask marks a pixel and 255 elsewhere,
// and 32-bit images whose alpha bytes are not all 0 take those bytes as alpha instead.
// Throws ConversionError for damaged, truncated or oversized files.
TRaster DecodeIco(QByteArrayView file);
