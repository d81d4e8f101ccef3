#pragma once
// Fixtures and comparisons shared by the image tests. Pictures are made with QImage and
// outputs are read back with Qt's own image readers, independent of our decoders.
#include "Raster.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>
#include <cmath>
#include <cstring>

namespace imagetest {

// A smooth, colourful picture with some detail, like a small photograph; with alpha, a
// ramp from transparent (left) to opaque (right).
inline QImage PhotoLike(int width, int height, bool alpha = false) {
    QImage image(width, height, QImage::Format_RGBA8888);
    for (int y = 0; y < height; ++y) {
        auto* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 4) {
            const double fx = double(x) / width, fy = double(y) / height;
            p[0] = std::uint8_t(127.5 + 127.5 * std::sin(6.0 * fx + 2.0 * fy));
            p[1] = std::uint8_t(127.5 + 127.5 * std::cos(4.0 * fy - 3.0 * fx));
            p[2] = std::uint8_t(255.0 * fx * fy);
            p[3] = alpha ? std::uint8_t(255.0 * fx) : 255;
        }
    }
    return image;
}

inline TRaster RasterOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    TRaster raster(image.width(), image.height(), true);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(raster.Row(y), image.constScanLine(y), std::size_t(raster.Stride()));
    raster.SetHasAlpha(raster.AnyTransparency());
    return raster;
}

inline QImage ImageOf(const TRaster& raster) {
    QImage image(raster.Width(), raster.Height(), QImage::Format_RGBA8888);
    for (int y = 0; y < raster.Height(); ++y)
        std::memcpy(image.scanLine(y), raster.Row(y), std::size_t(raster.Stride()));
    return image;
}

// Qt's reading of encoded bytes as non-premultiplied RGBA; a null image when Qt cannot read them.
inline QImage QtRead(const QByteArray& data, const char* format = nullptr) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGBA8888);
}

inline QImage QtReadFile(const QString& path, const char* format = nullptr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    return QtRead(file.readAll(), format);
}

inline QByteArray QtWrite(const QImage& image, const char* format, int quality = -1) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.write(image);
    return data;
}

struct TDiff {
    int Max = 0;
    double Mean = 0;
};

// Colour differences over all pixels; alpha is compared only when `withAlpha`.
inline TDiff Compare(const QImage& a, const QImage& b, bool withAlpha = true) {
    TDiff diff;
    if (a.size() != b.size()) return {255, 255};
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888),
                 y = b.convertToFormat(QImage::Format_RGBA8888);
    double sum = 0;
    qint64 count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = x.constScanLine(row);
        const auto* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 4; ++i) {
            if (i % 4 == 3 && !withAlpha) continue;
            const int d = std::abs(int(p[i]) - int(q[i]));
            diff.Max = std::max(diff.Max, d);
            sum += d;
            ++count;
        }
    }
    diff.Mean = count ? sum / double(count) : 0;
    return diff;
}

inline bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace imagetest

#include <gif_lib.h>
#include <vector>

namespace imagetest {

// Snaps every colour to a 6 × 6 × 6 cube: a picture a GIF holds exactly.
inline QImage CubeColours(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y) {
        auto* p = image.scanLine(y);
        for (int x = 0; x < image.width() * 4; ++x)
            if (x % 4 != 3) p[x] = std::uint8_t((p[x] + 25) / 51 * 51);
    }
    return image;
}

struct TGifFrame {
    QImage Image; // colours of the 6 × 6 × 6 cube; alpha 0 marks transparent pixels
    int Left = 0;
    int Top = 0;
    bool Interlaced = false;
};

// A GIF written by giflib itself: the frames in order over a screen of the given size,
// the cube as global colour table, index 216 as transparent colour when a frame has one.
inline QByteArray GifFile(int screenWidth, int screenHeight, const std::vector<TGifFrame>& frames) {
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(
        &out,
        [](GifFileType* g, const GifByteType* data, int length) {
            static_cast<QByteArray*>(g->UserData)->append(reinterpret_cast<const char*>(data), length);
            return length;
        },
        &error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) {
        map->Colors[i].Red = std::uint8_t(i < 216 ? i / 36 * 51 : 0);
        map->Colors[i].Green = std::uint8_t(i < 216 ? i / 6 % 6 * 51 : 0);
        map->Colors[i].Blue = std::uint8_t(i < 216 ? i % 6 * 51 : 0);
    }
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, map);
    for (const TGifFrame& frame : frames) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 10, 216};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        const int w = frame.Image.width(), h = frame.Image.height();
        EGifPutImageDesc(gif, frame.Left, frame.Top, w, h, frame.Interlaced, nullptr);
        std::vector<int> order;
        if (frame.Interlaced) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < h; y += step[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < h; ++y)
                order.push_back(y);
        }
        std::vector<GifPixelType> line(static_cast<std::size_t>(w));
        for (int y : order) {
            const auto* p = frame.Image.constScanLine(y);
            for (int x = 0; x < w; ++x, p += 4)
                line[std::size_t(x)] =
                    GifPixelType(p[3] < 128 ? 216 : p[0] / 51 * 36 + p[1] / 51 * 6 + p[2] / 51);
            EGifPutLine(gif, line.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace imagetest
