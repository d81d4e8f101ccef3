#include "PngToIcon.h"

#include "BmpCodec.h"
#include "ByteIo.h"
#include "ConversionJob.h"

#include <algorithm>
#include <optional>

TIconImage::TIconImage(int width, int height, int bitCount)
    : Width(width), Height(height), BitCount(bitCount) {
    CheckPictureSize(width, height);
    ColourStride = qsizetype(DibStride(width, bitCount));
    MaskStride = qsizetype(DibStride(width, 1));
    Colour.assign(std::size_t(ColourStride * height), 0);
    Mask.assign(std::size_t(MaskStride * height), 0);
    if (bitCount <= 8) ColourTable.assign(std::size_t(1) << bitCount, {0, 0, 0, 0});
}

namespace {

using TEntry = std::array<std::uint8_t, 4>; // blue, green, red, 0

// The colour table a grey or palette image reads its pixels through: 256 entries, those
// past the palette (or past the grey ramp of the image's depth) black.
std::array<TEntry, 256> ColourTableOf(const TPngSamples& png) {
    std::array<TEntry, 256> table{};
    if (png.ColorType == 3) {
        for (std::size_t i = 0; i < png.Palette.size() && i < 256; ++i)
            table[i] = {png.Palette[i][2], png.Palette[i][1], png.Palette[i][0], 0};
    } else {
        const int depth = std::min(png.BitDepth, 8);
        const int levels = 1 << depth;
        for (int i = 0; i < levels; ++i) {
            const auto g = std::uint8_t(i * 255 / (levels - 1));
            table[std::size_t(i)] = {g, g, g, 0};
        }
    }
    return table;
}

// A palette image whose transparency is anything but one fully transparent entry (several
// of them, or partly transparent ones) keeps it as per-pixel alpha.
bool NeedsPaletteAlpha(const TPngSamples& png) {
    if (png.ColorType != 3 || png.PaletteAlpha.empty()) return false;
    const auto translucent = std::count_if(png.PaletteAlpha.begin(), png.PaletteAlpha.end(),
                                           [](std::uint8_t a) { return a != 255; });
    const auto clear = std::count(png.PaletteAlpha.begin(), png.PaletteAlpha.end(), 0);
    return !(translucent == 1 && clear == 1);
}

} // namespace

TIconImage CreateIconFromPng(const TPngSamples& png) {
    const int type = png.ColorType;
    const int d = png.BitDepth == 2 ? 4 : png.BitDepth == 16 ? 8 : png.BitDepth;
    if (type != 0 && type != 2 && type != 3 && type != 4 && type != 6)
        throw ConversionError("ICO: bad colour type");
    if ((type == 0 || type == 3) && d != png.SampleBits) throw ConversionError("ICO: bad sample layout");
    const std::array<TEntry, 256> table = ColourTableOf(png);
    const bool paletteAlpha = NeedsPaletteAlpha(png);

    int bits = d;
    std::optional<TEntry> key;
    if (type == 2) {
        bits = 24;
        if (png.Transparency == TPngTransparency::Bit && png.HasTransparentColour)
            key = TEntry{png.TransparentColour[2], png.TransparentColour[1], png.TransparentColour[0], 0};
    } else if (type == 4 || type == 6 || paletteAlpha) {
        bits = 32;
    } else if (png.Transparency == TPngTransparency::Bit && png.HasTransparentColour) {
        key = TEntry{png.TransparentColour[2], png.TransparentColour[1], png.TransparentColour[0], 0};
        const auto first = table.begin(), last = table.begin() + (1 << d);
        if (std::find(first, last, TEntry{0, 0, 0, 0}) == last) bits = d == 1 ? 4 : d == 4 ? 8 : 24;
    }

    TIconImage icon(png.Width, png.Height, bits);
    int blackIndex = 0;
    if (bits <= 8) {
        std::copy(table.begin(), table.begin() + (1 << bits), icon.ColourTable.begin());
        blackIndex = int(std::find(icon.ColourTable.begin(), icon.ColourTable.end(), TEntry{0, 0, 0, 0}) -
                         icon.ColourTable.begin());
    }

    const int w = png.Width;
    const std::size_t needed = std::size_t(png.ColourStride) * std::size_t(png.Height);
    if (png.Colour.size() < needed ||
        ((type == 4 || type == 6) && png.Alpha.size() < std::size_t(w) * png.Height))
        throw ConversionError("ICO: the PNG samples are incomplete");
    for (int y = 0; y < png.Height; ++y) {
        const std::uint8_t* row = png.Colour.data() + png.ColourStride * y;
        const std::uint8_t* alphaRow = png.Alpha.empty() ? nullptr : png.Alpha.data() + qsizetype(w) * y;
        std::uint8_t* out = icon.Colour.data() + icon.ColourStride * y;
        for (int x = 0; x < w; ++x) {
            TEntry colour;
            int index = 0;
            if (type == 2 || type == 6) {
                colour = {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 0};
            } else {
                const int bit = x * d;
                index = (row[bit / 8] >> (8 - d - bit % 8)) & ((1 << d) - 1);
                colour = table[std::size_t(index)];
            }
            int alpha = 255;
            bool keyed = false;
            if (alphaRow) {
                alpha = alphaRow[x];
            } else if (paletteAlpha) {
                alpha =
                    std::size_t(index) < png.PaletteAlpha.size() ? png.PaletteAlpha[std::size_t(index)] : 255;
            } else if (key && colour == *key) {
                keyed = true;
                colour = {0, 0, 0, 0};
                alpha = 0;
            }
            switch (bits) {
            case 32:
                out[x * 4] = colour[0];
                out[x * 4 + 1] = colour[1];
                out[x * 4 + 2] = colour[2];
                out[x * 4 + 3] = std::uint8_t(alpha);
                break;
            case 24:
                out[x * 3] = colour[0];
                out[x * 3 + 1] = colour[1];
                out[x * 3 + 2] = colour[2];
                break;
            default: {
                const int value = keyed ? blackIndex : index;
                const int bit = x * bits;
                out[bit / 8] |= std::uint8_t(value << (8 - bits - bit % 8));
            }
            }
            if (alpha <= 127) icon.SetMaskBit(x, y);
        }
    }
    return icon;
}

QByteArray IcoFileBytes(const TIconImage& icon) {
    const qint64 tableBytes = qint64(icon.ColourTable.size()) * 4;
    const qint64 colourBytes = qint64(icon.ColourStride) * icon.Height;
    const qint64 dataBytes = 40 + tableBytes + colourBytes + qint64(icon.MaskStride) * icon.Height;
    if (22 + dataBytes > 0xFFFFFFFFLL) throw ConversionError("ICO: the picture is too large for an icon");

    QByteArray out;
    out.reserve(22 + dataBytes);
    AppendU16(out, 0);
    AppendU16(out, 1);
    AppendU16(out, 1);
    AppendU8(out, std::uint32_t(icon.Width));
    AppendU8(out, std::uint32_t(icon.Height));
    AppendU16(out, std::uint32_t(icon.BitCount)); // planes (1) × bits per pixel
    AppendU16(out, 0);
    AppendU16(out, 0);
    AppendU32(out, std::uint32_t(dataBytes));
    AppendU32(out, 22);

    AppendU32(out, 40);
    AppendU32(out, std::uint32_t(icon.Width));
    AppendU32(out, std::uint32_t(icon.Height) * 2);
    AppendU16(out, 1);
    AppendU16(out, std::uint32_t(icon.BitCount));
    AppendU32(out, 0);
    AppendU32(out, std::uint32_t(colourBytes));
    AppendU32(out, 0);
    AppendU32(out, 0);
    const std::uint32_t used = icon.BitCount <= 8 ? 1u << icon.BitCount : 0;
    AppendU32(out, used);
    AppendU32(out, used);
    for (const auto& entry : icon.ColourTable)
        out.append(reinterpret_cast<const char*>(entry.data()), 4);
    for (int y = icon.Height - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(icon.Colour.data() + icon.ColourStride * y),
                   icon.ColourStride);
    for (int y = icon.Height - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(icon.Mask.data() + icon.MaskStride * y), icon.MaskStride);
    return out;
}

void WriteIcoFile(QIODevice& out, const TIconImage& icon) {
    const QByteArray bytes = IcoFileBytes(icon);
    if (out.write(bytes) != bytes.size()) throw ConversionError("ICO: " + out.errorString().toStdString());
}
