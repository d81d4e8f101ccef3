#pragma once
// Icons in memory and in ICO files: the own-size icon of a PNG image, and the writer of
// one-image ICO files.
#include "PngCodec.h"

#include <QByteArray>
#include <QIODevice>
#include <array>
#include <cstdint>
#include <vector>

// One icon image: a colour image (1, 4, 8, 24 or 32 bits per pixel, with a colour table
// of blue, green, red, 0 entries up to 8 bits) and a 1-bit mask in which 1 marks a
// transparent pixel. Rows are top-down, each padded to a multiple of four bytes.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 32;
    std::vector<std::array<std::uint8_t, 4>> ColourTable;
    qsizetype ColourStride = 0;
    std::vector<std::uint8_t> Colour;
    qsizetype MaskStride = 0;
    std::vector<std::uint8_t> Mask;

    // Zeroed colour and mask images of the given size and depth.
    TIconImage(int width, int height, int bitCount);
    bool MaskBit(int x, int y) const {
        return (Mask[std::size_t(MaskStride * y + x / 8)] >> (7 - x % 8)) & 1;
    }
    void SetMaskBit(int x, int y) {
        Mask[std::size_t(MaskStride * y + x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    }
};

// An icon of the PNG's own size and, as far as the format allows, its own depth; throws
// ConversionError when the images cannot be created.
TIconImage CreateIconFromPng(const TPngSamples& png);

// The complete ICO file of one image.
QByteArray IcoFileBytes(const TIconImage& icon);
// Writes IcoFileBytes(icon) to `out`. Throws ConversionError.
void WriteIcoFile(QIODevice& out, const TIconImage& icon);
