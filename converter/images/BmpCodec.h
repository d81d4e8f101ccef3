#pragma once
// BMP files, read and written by our own code. Reading takes the usual variants:
// core, info and V2–V5 headers, 1/2/4/8/16/24/32 bits per pixel, RLE4 and RLE8, bit
// fields, bottom-up and top-down rows. Writing gives 24 bits per pixel, or 32 bits
// with an alpha mask (V4 header) for pictures with transparency.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <vector>

// The layout of uncompressed device-independent pixel rows, as BMP files and icon
// images store them.
struct TDibFormat {
    int Width = 0;
    int Height = 0;
    bool BottomUp = true;
    int BitCount = 0;
    // Red, green, blue, alpha masks for 16 and 32 bits; all zero means the default layout.
    std::array<std::uint32_t, 4> Masks = {0, 0, 0, 0};
    // 0x00RRGGBB entries for 8 bits or fewer; indices beyond its end read as black.
    std::vector<std::uint32_t> Palette;
};

// Bytes of one row, padded to a multiple of four.
qint64 DibStride(qint64 width, int bitCount);
// Decodes Height rows from `pixels` into `out` (already sized). Without masks, 32-bit pixels
// keep their fourth byte as alpha; returns whether any such byte was not 0, so callers can
// tell a real alpha channel from an unused byte. Throws ConversionError when `pixels` is short.
bool DecodeDibPixels(const TDibFormat& format, QByteArrayView pixels, TRaster& out);

// Throws ConversionError for anything that is not a BMP file we can read.
TRaster DecodeBmp(QByteArrayView file);
QByteArray EncodeBmp(const TRaster& raster);
