#include "BmpCodec.h"

#include "ByteIo.h"
#include "ConversionJob.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

enum : std::uint32_t { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitFields = 3, BiAlphaBitFields = 6 };

[[noreturn]] void Fail(const char* what) {
    throw ConversionError(std::string("BMP: ") + what);
}

// Turns a masked field into an 8-bit value; fields wider than 8 bits keep their top 8.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(std::uint32_t mask) : Mask(mask) {
        if (!mask) return;
        Shift = std::countr_zero(mask);
        Bits = std::popcount(mask >> Shift);
        // A mask with holes counts as its lowest contiguous run.
        if (Bits > 0 && ((mask >> Shift) & ((mask >> Shift) + 1)) != 0) Bits = std::countr_one(mask >> Shift);
        Mask = Bits >= 32 ? 0xFFFFFFFFu << Shift : ((1u << Bits) - 1) << Shift;
    }
    std::uint8_t Value(std::uint32_t pixel, std::uint8_t absent) const {
        if (!Mask) return absent;
        const std::uint32_t v = (pixel & Mask) >> Shift;
        if (Bits >= 8) return std::uint8_t(v >> (Bits - 8));
        return std::uint8_t(v * 255 / ((1u << Bits) - 1));
    }
};

void StorePaletteColour(const TDibFormat& format, std::uint32_t index, std::uint8_t* out) {
    const std::uint32_t c = index < format.Palette.size() ? format.Palette[index] : 0;
    out[0] = std::uint8_t(c >> 16);
    out[1] = std::uint8_t(c >> 8);
    out[2] = std::uint8_t(c);
    out[3] = 255;
}

} // namespace

qint64 DibStride(qint64 width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

bool DecodeDibPixels(const TDibFormat& format, QByteArrayView pixels, TRaster& out) {
    const int w = format.Width, h = format.Height, bits = format.BitCount;
    const qint64 stride = DibStride(w, bits);
    if (stride * h > pixels.size()) Fail("the pixel rows are cut short");
    const auto* base = reinterpret_cast<const std::uint8_t*>(pixels.data());

    std::array<std::uint32_t, 4> masks = format.Masks;
    const bool noMasks = masks == std::array<std::uint32_t, 4>{0, 0, 0, 0};
    if (bits == 16 && noMasks) masks = {0x7C00, 0x03E0, 0x001F, 0};
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    // 16- and 32-bit pixels with bit fields; a missing alpha field means opaque.
    const auto StoreMasked = [&](std::uint32_t p, std::uint8_t* to) {
        to[0] = red.Value(p, 0);
        to[1] = green.Value(p, 0);
        to[2] = blue.Value(p, 0);
        to[3] = alpha.Value(p, 255);
    };
    bool alphaBytes = false;

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = base + stride * (format.BottomUp ? h - 1 - y : y);
        std::uint8_t* dst = out.Row(y);
        switch (bits) {
        case 1:
        case 2:
        case 4:
        case 8: {
            const int perByte = 8 / bits;
            const std::uint32_t valueMask = (1u << bits) - 1;
            for (int x = 0; x < w; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);
                StorePaletteColour(format, (src[x / perByte] >> shift) & valueMask, dst + x * 4);
            }
            break;
        }
        case 16:
            for (int x = 0; x < w; ++x, dst += 4)
                StoreMasked(ReadU16(src + x * 2), dst);
            break;
        case 24:
            for (int x = 0; x < w; ++x, src += 3, dst += 4) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
                dst[3] = 255;
            }
            break;
        case 32:
            if (noMasks) {
                for (int x = 0; x < w; ++x, src += 4, dst += 4) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                    dst[3] = src[3];
                    alphaBytes |= src[3] != 0;
                }
            } else {
                for (int x = 0; x < w; ++x, dst += 4) {
                    StoreMasked(ReadU32(src + x * 4), dst);
                    alphaBytes |= alpha.Mask && dst[3] != 0;
                }
            }
            break;
        default:
            Fail("unsupported bit count");
        }
    }
    return alphaBytes;
}

namespace {

// Run-length data: the picture starts as palette entry 0, as if drawn into zeroed memory,
// and runs, literal groups and jumps paint over it. Data past the rows is ignored.
void DecodeRle(const TDibFormat& format, bool four, QByteArrayView data, TRaster& out) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
    const auto* end = p + data.size();
    std::uint8_t background[4];
    StorePaletteColour(format, 0, background);
    out.Fill(background[0], background[1], background[2], 255);

    const int w = format.Width, h = format.Height;
    int x = 0, row = 0; // row counts from the bottom
    auto put = [&](std::uint32_t index) {
        if (x < w && row < h) StorePaletteColour(format, index, out.Row(h - 1 - row) + x * 4);
        ++x;
    };
    while (row < h) {
        if (end - p < 2) Fail("the run-length data is cut short");
        const int count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? (i % 2 ? value & 15 : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (end - p < 2) Fail("the run-length data is cut short");
            x += p[0];
            row += p[1];
            p += 2;
        } else {
            const int bytes = four ? (value + 1) / 2 : value;
            const int padded = (bytes + 1) & ~1;
            if (end - p < padded) Fail("the run-length data is cut short");
            for (int i = 0; i < value; ++i)
                put(four ? (i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += padded;
        }
        x = std::min(x, w + 256); // pixels past the row's end are dropped; keeps the count in range
    }
}

} // namespace

TRaster DecodeBmp(QByteArrayView file) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(file.data());
    const qint64 size = file.size();
    if (size < 14 + 12 || d[0] != 'B' || d[1] != 'M') Fail("not a BMP file");
    const std::uint32_t pixelOffset = ReadU32(d + 10);
    const std::uint32_t headerSize = ReadU32(d + 14);
    if (headerSize < 12 || headerSize > size - 14) Fail("bad header size");
    const std::uint8_t* h = d + 14;

    TDibFormat format;
    qint64 width, height;
    int planes;
    std::uint32_t compression = BiRgb, coloursUsed = 0;
    const bool core = headerSize == 12;
    if (core) {
        width = ReadU16(h + 4);
        height = std::int16_t(ReadU16(h + 6));
        planes = ReadU16(h + 8);
        format.BitCount = ReadU16(h + 10);
    } else {
        if (headerSize < 16) Fail("bad header size");
        width = ReadI32(h + 4);
        height = ReadI32(h + 8);
        planes = ReadU16(h + 12);
        format.BitCount = ReadU16(h + 14);
        if (headerSize >= 20) compression = ReadU32(h + 16);
        if (headerSize >= 36) coloursUsed = ReadU32(h + 32);
    }
    (void)planes; // some writers store 0; nothing depends on it
    // OS/2 headers reuse compression 3 and 4 for Huffman and RLE24, which we do not read.
    const bool os2 = headerSize == 16 || headerSize == 64;
    if (os2 && compression > BiRle4) Fail("unsupported OS/2 compression");

    format.BottomUp = height > 0;
    height = height < 0 ? -height : height;
    CheckPictureSize(width, height);
    format.Width = int(width);
    format.Height = int(height);

    const int bits = format.BitCount;
    switch (compression) {
    case BiRgb:
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            Fail("unsupported bit count");
        break;
    case BiRle8:
        if (bits != 8 || !format.BottomUp) Fail("bad RLE8 layout");
        break;
    case BiRle4:
        if (bits != 4 || !format.BottomUp) Fail("bad RLE4 layout");
        break;
    case BiBitFields:
    case BiAlphaBitFields:
        if (bits != 16 && bits != 32) Fail("bit fields need 16 or 32 bits");
        break;
    default:
        Fail("unsupported compression");
    }

    qint64 tableAt = 14 + headerSize;
    if (compression == BiBitFields || compression == BiAlphaBitFields) {
        const int count = compression == BiAlphaBitFields ? 4 : 3;
        if (headerSize >= 52) {
            // V2 and later headers hold the masks themselves.
            for (int i = 0; i < 3; ++i)
                format.Masks[i] = ReadU32(h + 40 + 4 * i);
            if (headerSize >= 56) format.Masks[3] = ReadU32(h + 52);
        } else {
            if (tableAt + 4 * count > size) Fail("the colour masks are cut short");
            for (int i = 0; i < count; ++i)
                format.Masks[i] = ReadU32(d + tableAt + 4 * i);
            tableAt += 4 * count;
        }
        if (!format.Masks[0] && !format.Masks[1] && !format.Masks[2]) Fail("empty colour masks");
    }

    if (bits <= 8) {
        const qint64 entrySize = core ? 3 : 4;
        qint64 entries = coloursUsed == 0 || coloursUsed > (1u << bits) ? (1 << bits) : coloursUsed;
        // Files that declare more entries than fit before their pixels keep the ones that fit.
        if (pixelOffset > tableAt && tableAt + entries * entrySize > pixelOffset)
            entries = (pixelOffset - tableAt) / entrySize;
        if (tableAt + entries * entrySize > size) Fail("the colour table is cut short");
        format.Palette.resize(std::size_t(entries));
        for (qint64 i = 0; i < entries; ++i) {
            const std::uint8_t* e = d + tableAt + i * entrySize;
            format.Palette[std::size_t(i)] = (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
        }
        tableAt += entries * entrySize;
    }

    // A zero or impossible offset is taken to mean "right after the colour table".
    const qint64 pixelsAt = pixelOffset >= 14 + 12 && pixelOffset < size ? pixelOffset : tableAt;
    if (pixelsAt >= size) Fail("no pixel data");
    const QByteArrayView pixels = file.sliced(pixelsAt);

    if (compression == BiRle8 || compression == BiRle4) {
        // A pair of bytes paints at most 255 pixels. Jumps and an early end leave
        // pixels that no data pays for, so beyond a modest picture the data must be
        // able to paint it: a few kilobytes must not claim a gigabyte.
        if (width * height > pixels.size() * 128 + (qint64(1) << 24))
            throw ConversionError("BMP: the run-length data is far too short for the picture's size");
        TRaster out(format.Width, format.Height, false);
        DecodeRle(format, compression == BiRle4, pixels, out);
        return out;
    }
    if (DibStride(width, bits) * height > pixels.size()) Fail("the pixel rows are cut short");
    TRaster out(format.Width, format.Height, true);
    const bool alphaBytes = DecodeDibPixels(format, pixels, out);
    // A 32-bit file whose fourth bytes are all 0 does not use them: it is opaque.
    const bool alphaField = bits == 32 || format.Masks[3] != 0;
    if (alphaField && alphaBytes)
        out.SetHasAlpha(out.AnyTransparency());
    else
        out.MakeOpaque();
    return out;
}

QByteArray EncodeBmp(const TRaster& raster) {
    const bool alpha = raster.HasAlpha();
    const int w = raster.Width(), h = raster.Height();
    const int bits = alpha ? 32 : 24;
    const qint64 stride = DibStride(w, bits);
    const std::uint32_t headerSize = alpha ? 108 : 40;
    const qint64 imageSize = stride * h;
    const qint64 fileSize = 14 + headerSize + imageSize;
    if (fileSize > 0xFFFFFFFFLL) throw ConversionError("BMP: the picture is too large for a BMP file");

    QByteArray out;
    out.reserve(fileSize);
    out.append("BM", 2);
    AppendU32(out, std::uint32_t(fileSize));
    AppendU32(out, 0);
    AppendU32(out, 14 + headerSize);
    AppendU32(out, headerSize);
    AppendU32(out, std::uint32_t(w));
    AppendU32(out, std::uint32_t(h)); // bottom-up, the layout every reader knows
    AppendU16(out, 1);
    AppendU16(out, std::uint32_t(bits));
    AppendU32(out, alpha ? BiBitFields : BiRgb);
    AppendU32(out, std::uint32_t(imageSize));
    AppendU32(out, 2835); // 72 dots per inch
    AppendU32(out, 2835);
    AppendU32(out, 0);
    AppendU32(out, 0);
    if (alpha) {
        AppendU32(out, 0x00FF0000);
        AppendU32(out, 0x0000FF00);
        AppendU32(out, 0x000000FF);
        AppendU32(out, 0xFF000000);
        AppendU32(out, 0x73524742); // 'sRGB'
        out.append(36 + 12, '\0');  // endpoints and gamma, unused with sRGB
    }
    const qsizetype start = out.size();
    out.resize(start + imageSize);
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data() + start);
    for (int y = h - 1; y >= 0; --y, dst += stride) {
        const std::uint8_t* src = raster.Row(y);
        std::uint8_t* p = dst;
        if (alpha) {
            for (int x = 0; x < w; ++x, src += 4, p += 4) {
                p[0] = src[2];
                p[1] = src[1];
                p[2] = src[0];
                p[3] = src[3];
            }
        } else {
            for (int x = 0; x < w; ++x, src += 4, p += 3) {
                p[0] = src[2];
                p[1] = src[1];
                p[2] = src[0];
            }
            std::memset(p, 0, std::size_t(stride - qint64(w) * 3));
        }
    }
    return out;
}
