#pragma once
// GIF files through giflib: the first frame of a file, placed on its logical screen;
// written with a palette that libimagequant builds and dithers to.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <functional>

// Throws ConversionError for damaged, truncated or oversized files.
TRaster DecodeGif(QByteArrayView file);
// Pixels less than half opaque become the transparent colour; the others are flattened
// over white, since a GIF pixel is either fully opaque or fully transparent.
// `mapColours`, when given, turns the palette's red, green, blue triples into the colours
// written: pixels meant in a colour profile are reduced as they are and only the few
// palette colours are converted, which costs nothing next to converting every pixel.
using TColourMap = std::function<void(std::uint8_t* rgb, int count)>;
QByteArray EncodeGif(const TRaster& raster, const TColourMap& mapColours = {});
