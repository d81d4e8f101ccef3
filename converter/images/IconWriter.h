#pragma once
// The icon target: turns any decoded picture into a one-image ICO file, either scaled
// to a standard square with a key colour for transparency, or (PNG sources with
// "Ultra-High Rez Icons") at the PNG's own size with its own transparency.
#include "Graphic.h"
#include "PngToIcon.h"

#include <QString>
#include <array>
#include <optional>

struct ConversionSettings;

// The edge lengths of scaled icons, in the order they are tried.
constexpr std::array<int, 5> IconSizes = {256, 128, 64, 32, 16};
// The largest entry of IconSizes that fits into both sides; 32 when a side is below 16.
int ChooseIconEdge(int width, int height);

// Scales the opaque work image to edge × edge by nearest neighbour; pixels of the key
// colour (magenta when given, else the work image's bottom-left pixel) become black and
// transparent in the mask.
TIconImage CreateIconFromBitmap(const TRaster& work, int edge,
                                std::optional<std::array<std::uint8_t, 3>> fixedKey = std::nullopt);

// Writes the ICO file for `picture` at `path`, reading UltraIcoRes, FixWhitePng and
// SmoothSize from `settings`. Throws ConversionError.
void WriteIconTarget(const TGraphic& picture, bool sourceIsPng, const QString& path,
                     const ConversionSettings& settings);
