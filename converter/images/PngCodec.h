#pragma once
// PNG files: libpng reads every kind (interlaced, 16-bit, palette with transparency, grey),
// with a libdeflate fast path for the plain RGB and RGBA files photographs are saved as.
// Our own writer filters rows adaptively and compresses them with run-length deflate in
// parallel parts that join into one zlib stream.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <vector>

bool LooksLikePng(QByteArrayView data);

// Throws ConversionError for damaged, truncated or oversized files.
TRaster DecodePng(QByteArrayView file);

enum class TPngTransparency { None, Bit, Partial };

// A PNG image as stored, for icons that keep its own colour type and depth.
struct TPngSamples {
    int Width = 0;
    int Height = 0;
    int ColorType = 6; // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    int BitDepth = 8;  // as in the header: 1, 2, 4, 8 or 16
    // Bits per colour sample in Colour: 16 arrives as 8, 2 as 4 (one value per nibble).
    int SampleBits = 8;
    std::vector<std::array<std::uint8_t, 3>> Palette; // red, green, blue
    std::vector<std::uint8_t> PaletteAlpha;           // the palette's transparency entries
    TPngTransparency Transparency = TPngTransparency::None;
    bool HasTransparentColour = false;
    std::array<std::uint8_t, 3> TransparentColour = {0, 0, 0}; // red, green, blue
    // Rows top-down: blue, green, red triples for colour types 2 and 6, packed samples
    // (most significant bits first) for the others.
    qsizetype ColourStride = 0;
    std::vector<std::uint8_t> Colour;
    // One byte per pixel for colour types 4 and 6.
    std::vector<std::uint8_t> Alpha;
};

TPngSamples DecodePngSamples(QByteArrayView file);
// What a PNG encoder would store for the pixels: RGB, or RGB + alpha when they have alpha.
TPngSamples PngSamplesFromRaster(const TRaster& raster);

// Palette images take as few bits per pixel as their colours allow, unless a reader that
// cannot take fewer than eight is to get the file.
enum class TPngBits { Smallest, AtLeastEight };
QByteArray EncodePng(const TRaster& raster, TPngBits bits = TPngBits::Smallest);
