#pragma once
// Colour profiles through Little CMS: formats that hold no profile get their pixels in
// sRGB, which is what viewers assume for them, so colours look as they did.
#include "Raster.h"

#include <QByteArrayView>
#include <cstdint>

// Whether the profile parses and describes RGB pixels, as our decoders deliver them.
bool IsRgbProfile(QByteArrayView icc);
// Converts the colours from the profile to sRGB; alpha stays. Throws ConversionError
// when the profile cannot be used.
void ConvertToSrgb(TRaster& raster, QByteArrayView icc);
// The same for `count` red, green, blue triples.
void ConvertToSrgb(std::uint8_t* rgb, int count, QByteArrayView icc);
