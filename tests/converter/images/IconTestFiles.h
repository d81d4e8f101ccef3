#pragma once
// ICO files built byte by byte for the tests: BMP-form images at any depth with their
// masks, and PNG images.
#include "ByteIo.h"

#include <QByteArray>
#include <QImage>
#include <vector>

namespace imagetest {

// A BMP-form icon image of `image` at `bits` per pixel (its colours must fit the depth);
// the mask marks pixels with alpha below 128. With `alphaBytes` false, 32-bit pixels carry
// 0 in their fourth byte.
inline QByteArray DibEntry(const QImage& source, int bits, bool alphaBytes = true, bool withMask = true) {
    const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    const int w = image.width(), h = image.height();
    std::vector<QRgb> palette;
    if (bits <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = image.pixel(x, y) | 0xFF000000;
                if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
            }
        palette.resize(std::size_t(1) << bits, 0xFF000000);
    }
    QByteArray out;
    AppendU32(out, 40);
    AppendU32(out, std::uint32_t(w));
    AppendU32(out, std::uint32_t(h * 2));
    AppendU16(out, 1);
    AppendU16(out, std::uint32_t(bits));
    AppendU32(out, 0);
    const int stride = (w * bits + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
    AppendU32(out, std::uint32_t(stride * h));
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (QRgb c : palette)
        AppendU32(out, c & 0xFFFFFF);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (bits == 32) {
                row[x * 4] = char(qBlue(c));
                row[x * 4 + 1] = char(qGreen(c));
                row[x * 4 + 2] = char(qRed(c));
                row[x * 4 + 3] = char(alphaBytes ? qAlpha(c) : 0);
            } else if (bits == 24) {
                row[x * 3] = char(qBlue(c));
                row[x * 3 + 1] = char(qGreen(c));
                row[x * 3 + 2] = char(qRed(c));
            } else {
                const int index =
                    int(std::find(palette.begin(), palette.end(), c | 0xFF000000) - palette.begin());
                const int bit = x * bits;
                row[bit / 8] = char(row[bit / 8] | (index << (8 - bits - bit % 8)));
            }
        }
        out += row;
    }
    if (withMask) {
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x)
                if (qAlpha(image.pixel(x, y)) < 128) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            out += row;
        }
    }
    return out;
}

struct TIconEntry {
    QByteArray Data;
    int Width;
    int Height;
    int BitCount;
};

inline QByteArray IcoFile(const std::vector<TIconEntry>& entries) {
    QByteArray out;
    AppendU16(out, 0);
    AppendU16(out, 1);
    AppendU16(out, std::uint32_t(entries.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(entries.size());
    for (const TIconEntry& e : entries) {
        AppendU8(out, std::uint32_t(e.Width & 0xFF));
        AppendU8(out, std::uint32_t(e.Height & 0xFF));
        AppendU8(out, 0);
        AppendU8(out, 0);
        AppendU16(out, 1);
        AppendU16(out, std::uint32_t(e.BitCount));
        AppendU32(out, std::uint32_t(e.Data.size()));
        AppendU32(out, offset);
        offset += std::uint32_t(e.Data.size());
    }
    for (const TIconEntry& e : entries)
        out += e.Data;
    return out;
}

} // namespace imagetest
