#include "IcoReader.h"

#include "BmpCodec.h"
#include "ByteIo.h"
#include "ConversionJob.h"
#include "PngCodec.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ConversionError(std::string("ICO: ") + what);
}

struct TEntry {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    std::uint32_t Size = 0;
    std::uint32_t Offset = 0;
};

// Smaller is better: distance from the standard size, and a larger image before a smaller
// one at the same distance. Equal ranks go to the image with more colours.
int Rank(const TEntry& e) {
    const int side = std::max(e.Width, e.Height);
    return std::abs(side - StandardIconSize) * 2 + (side < StandardIconSize ? 1 : 0);
}

TRaster DecodeDibEntry(QByteArrayView data) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(data.data());
    if (data.size() < 40) Fail("the image header is cut short");
    const std::uint32_t headerSize = ReadU32(d);
    if (headerSize < 40 || headerSize > data.size()) Fail("bad image header");
    const qint64 width = ReadI32(d + 4), doubleHeight = ReadI32(d + 8);
    const int bits = ReadU16(d + 14);
    const std::uint32_t compression = ReadU32(d + 16);
    const std::uint32_t coloursUsed = ReadU32(d + 32);
    // The header's height counts the colour rows and the mask rows.
    const qint64 height = doubleHeight / 2;
    CheckPictureSize(width, height);
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32)))
        Fail("unsupported compression");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail("unsupported bit count");

    TDibFormat format;
    format.Width = int(width);
    format.Height = int(height);
    format.BitCount = bits;
    qint64 at = headerSize;
    if (compression == 3) {
        if (at + 12 > data.size()) Fail("the colour masks are cut short");
        for (int i = 0; i < 3; ++i)
            format.Masks[i] = ReadU32(d + at + 4 * i);
        at += 12;
    }
    if (bits <= 8) {
        const qint64 entries = coloursUsed == 0 || coloursUsed > (1u << bits) ? (1 << bits) : coloursUsed;
        if (at + entries * 4 > data.size()) Fail("the colour table is cut short");
        for (qint64 i = 0; i < entries; ++i) {
            const std::uint8_t* e = d + at + i * 4;
            format.Palette.push_back((std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0]);
        }
        at += entries * 4;
    }

    const qint64 colourBytes = DibStride(width, bits) * height;
    if (at + colourBytes > data.size()) Fail("the colour rows are cut short");
    TRaster out(format.Width, format.Height, false);
    const bool alphaBytes = DecodeDibPixels(format, data.sliced(at, colourBytes), out);
    at += colourBytes;

    const qint64 maskStride = DibStride(width, 1);
    const bool hasMask = at + maskStride * height <= data.size();
    // Some 32-bit icons leave the mask out and rely on their alpha alone.
    if (!hasMask && !(bits == 32 && alphaBytes)) Fail("the mask rows are cut short");
    bool masked = false;
    for (int y = 0; y < format.Height; ++y) {
        std::uint8_t* dst = out.Row(y);
        const std::uint8_t* mask = hasMask ? d + at + maskStride * (format.Height - 1 - y) : nullptr;
        for (int x = 0; x < format.Width; ++x) {
            const bool clear = mask && (mask[x / 8] >> (7 - x % 8)) & 1;
            masked |= clear;
            // The 32-bit alpha bytes, when used, replace the whole alpha channel.
            if (!(bits == 32 && alphaBytes)) dst[x * 4 + 3] = clear ? 0 : 255;
        }
    }
    out.SetHasAlpha(masked || (bits == 32 && alphaBytes));
    return out;
}

} // namespace

TRaster DecodeIco(QByteArrayView file) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(file.data());
    if (file.size() < 6 || ReadU16(d) != 0 || (ReadU16(d + 2) != 1 && ReadU16(d + 2) != 2))
        Fail("not an icon file");
    const int count = ReadU16(d + 4);
    if (count == 0) Fail("the icon holds no image");
    if (6 + qint64(count) * 16 > file.size()) Fail("the directory is cut short");

    const TEntry* best = nullptr;
    std::vector<TEntry> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = d + 6 + i * 16;
        TEntry& entry = entries[std::size_t(i)];
        entry.Width = e[0] ? e[0] : 256;
        entry.Height = e[1] ? e[1] : 256;
        entry.BitCount = ReadU16(e + 6);
        if (entry.BitCount == 0 && e[2]) entry.BitCount = e[2] <= 2 ? 1 : e[2] <= 16 ? 4 : 8;
        entry.Size = ReadU32(e + 8);
        entry.Offset = ReadU32(e + 12);
        if (entry.Offset >= file.size() || entry.Size == 0) continue;
        if (!best || Rank(entry) < Rank(*best) ||
            (Rank(entry) == Rank(*best) && entry.BitCount > best->BitCount))
            best = &entry;
    }
    if (!best) Fail("no image lies inside the file");
    const qint64 size = std::min<qint64>(best->Size, file.size() - best->Offset);
    const QByteArrayView data = file.sliced(best->Offset, size);
    if (LooksLikePng(data)) return DecodePng(data);
    return DecodeDibEntry(data);
}
