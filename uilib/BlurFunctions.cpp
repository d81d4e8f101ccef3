#include "BlurFunctions.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// The two passes are built twice, for the baseline and for AVX2 with FMA, and
// the loader picks the one the processor runs; twice the lanes nearly halve a
// large blur. Sanitizer builds keep one: the loader's pick runs before their
// run-time is up.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BLUR_CLONES
#endif
#if !defined(BLUR_CLONES) && defined(__GNUC__) && defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define BLUR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
#endif
#ifndef BLUR_CLONES
#define BLUR_CLONES
#endif

constexpr int MaxData = 255;
constexpr int Channels = 3;
// Columns are blurred in strips this many bytes wide, so that the rows of one
// kernel window stay in the first-level cache while a strip is worked on.
constexpr int StripWidth = 64;

// Weights are single precision; the sums run in the same precision, in the
// kernel's order, which the 0.000001 added to the centre weight allows for.
void Accumulate(float* __restrict sum, const float* __restrict source, float weight, int count) {
    for (int k = 0; k < count; ++k)
        sum[k] += weight * source[k];
}

// 0 below 0, 255 from 255 on, the sum truncated in between.
void Store(uchar* __restrict target, const float* __restrict sum, int count) {
    for (int k = 0; k < count; ++k)
        target[k] = uchar(std::clamp(sum[k], 0.0f, float(MaxData)));
}

// Each row as one line: the row is widened to floats with the edge pixels
// repeated Size times on either side, so every tap is one pass over the row.
BLUR_CLONES void BlurRows(uchar* bits, qsizetype stride, int width, int height,
                          const FXGaussianKernel& kernel) {
    const int s = kernel.Size;
    const int values = width * Channels;
    std::vector<float> padded(std::size_t(width + 2 * s) * Channels);
    std::vector<float> sum(static_cast<std::size_t>(values));
    for (int y = 0; y < height; ++y) {
        uchar* row = bits + y * stride;
        float* out = padded.data();
        for (int p = -s; p < width + s; ++p) {
            const uchar* pixel = row + std::clamp(p, 0, width - 1) * Channels;
            *out++ = pixel[0];
            *out++ = pixel[1];
            *out++ = pixel[2];
        }
        std::fill(sum.begin(), sum.end(), 0.0f);
        // Pixel i - j lies at padded position i - j + s.
        for (int j = -s; j <= s; ++j)
            Accumulate(sum.data(), padded.data() + (s - j) * Channels, kernel.Weight(j), values);
        Store(row, sum.data(), values);
    }
}

// Each column as one line, worked on a strip of neighbouring columns at a time:
// the same per-column result as gathering every column, without strided reads
// in the inner loop.
BLUR_CLONES void BlurColumns(uchar* bits, qsizetype stride, int width, int height,
                             const FXGaussianKernel& kernel) {
    const int s = kernel.Size;
    const int values = width * Channels;
    std::vector<float> strip(std::size_t(height + 2 * s) * StripWidth, 0.0f);
    alignas(64) float sum[StripWidth];
    for (int x = 0; x < values; x += StripWidth) {
        const int count = std::min(StripWidth, values - x);
        for (int p = -s; p < height + s; ++p) {
            const uchar* source = bits + std::clamp(p, 0, height - 1) * stride + x;
            float* target = strip.data() + std::size_t(p + s) * StripWidth;
            for (int k = 0; k < count; ++k)
                target[k] = source[k];
        }
        for (int y = 0; y < height; ++y) {
            std::fill(std::begin(sum), std::end(sum), 0.0f);
            for (int j = -s; j <= s; ++j)
                Accumulate(sum, strip.data() + std::size_t(y - j + s) * StripWidth, kernel.Weight(j),
                           StripWidth);
            Store(bits + y * stride + x, sum, count);
        }
    }
}

// The picture with one more pixel on every side repeating its edge, which is
// what mirroring at the border gives for the one neighbour bilinear sampling
// reaches. 32 bits a pixel, the formats Qt scales fastest.
QImage MirrorPadded(const QImage& source) {
    const QImage pixels = source.convertToFormat(
        source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    QImage padded(width + 2, height + 2, pixels.format());
    for (int y = 0; y < height + 2; ++y) {
        const auto* from =
            reinterpret_cast<const quint32*>(pixels.constScanLine(std::clamp(y - 1, 0, height - 1)));
        auto* to = reinterpret_cast<quint32*>(padded.scanLine(y));
        to[0] = from[0];
        std::memcpy(to + 1, from, std::size_t(width) * sizeof(quint32));
        to[width + 1] = from[width - 1];
    }
    return padded;
}

bool Paintable(QImage::Format format) {
    return format != QImage::Format_Invalid && format != QImage::Format_Mono &&
           format != QImage::Format_MonoLSB && format != QImage::Format_Indexed8;
}

} // namespace

FXGaussianKernel MakeGaussianKernel(double radius) {
    constexpr int Max = FXGaussianKernel::MaxSize;
    FXGaussianKernel kernel;
    // exp(-(j / 0)^2 / 2) has no value; no blur is the only sensible reading.
    if (!(radius > 0.0)) {
        kernel.Weights[Max] = 1.0f;
        return kernel;
    }
    std::array<double, 2 * Max + 1> w{};
    double total = 0.0;
    for (int j = -Max; j <= Max; ++j) {
        const double x = j / radius;
        w[std::size_t(j + Max)] = std::exp(-x * x / 2.0);
        total += w[std::size_t(j + Max)];
    }
    for (double& weight : w)
        weight /= total;

    // Drop the tails whose weight together could not move a channel by half a level.
    const double delta = 1.0 / (2.0 * MaxData);
    double tail = 0.0;
    int s = Max;
    while (tail < delta && s > 1) {
        tail += 2.0 * w[std::size_t(s + Max)];
        --s;
    }
    kernel.Size = s;

    total = 0.0;
    for (int j = -s; j <= s; ++j)
        total += w[std::size_t(j + Max)];
    for (int j = -s; j <= s; ++j)
        kernel.Weights[std::size_t(j + Max)] = float(w[std::size_t(j + Max)] / total);
    // A uniform area of 255 must convolve to a little more than 255, not to 254.99.
    kernel.Weights[Max] += 0.000001f;
    return kernel;
}

void GaussianBlur(QImage& bitmap, double radius) {
    if (bitmap.format() != QImage::Format_RGB888)
        throw std::invalid_argument("GaussianBlur only works for 24-bit bitmaps");
    const FXGaussianKernel kernel = MakeGaussianKernel(radius);
    if (kernel.Size == 0 || bitmap.isNull()) return;
    uchar* bits = bitmap.bits();
    const qsizetype stride = bitmap.bytesPerLine();
    BlurRows(bits, stride, bitmap.width(), bitmap.height(), kernel);
    BlurColumns(bits, stride, bitmap.width(), bitmap.height(), kernel);
}

void DrawBitmap(QPainter& target, const QRectF& rect, const QImage& bitmap, FXBitmapEdges edges,
                FXBitmapQuality quality, int Alpha) {
    if (bitmap.isNull() || rect.isEmpty()) return;
    target.save();
    target.setRenderHint(QPainter::Antialiasing, false);
    target.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (edges == FXBitmapEdges::Mirrored || Alpha != MaxData)
        target.setOpacity(target.opacity() * std::clamp(Alpha, 0, MaxData) / double(MaxData));

    QImage source = bitmap;
    // Bilinear sampling alone skips most pixels of a picture drawn much smaller.
    // The size that counts is in device pixels, which a high-density screen doubles.
    const QRectF device = target.deviceTransform().mapRect(rect);
    const QSize deviceSize(std::max(1, qRound(device.width())), std::max(1, qRound(device.height())));
    if (quality == FXBitmapQuality::High &&
        (deviceSize.width() < source.width() || deviceSize.height() < source.height()))
        source = source.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    if (edges == FXBitmapEdges::Mirrored)
        target.drawImage(rect, MirrorPadded(source), QRectF(1, 1, source.width(), source.height()));
    else
        target.drawImage(rect, source, QRectF(source.rect()));
    target.restore();
}

QSize FastBlurReducedSize(QSize size, int factor) {
    factor = std::max(factor, 1);
    return {std::max(size.width() / factor, 4), std::max(size.height() / factor, 4)};
}

void FastBlur(QImage& bitmap, int factor, FXBlurReduction reduction, double radius) {
    if (bitmap.isNull()) return;
    if (!Paintable(bitmap.format())) bitmap.convertTo(QImage::Format_RGB888);

    const QSize reducedSize = FastBlurReducedSize(bitmap.size(), factor);
    QImage reduced;
    if (reduction == FXBlurReduction::High) {
        reduced = QImage(reducedSize, QImage::Format_RGB888);
        reduced.fill(Qt::black);
        QPainter painter(&reduced);
        DrawBitmap(painter, QRectF(reduced.rect()), bitmap, FXBitmapEdges::Mirrored, FXBitmapQuality::High,
                   MaxData);
    } else {
        reduced = bitmap.scaled(reducedSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_RGB888);
    }
    GaussianBlur(reduced, radius);

    QPainter painter(&bitmap);
    DrawBitmap(painter, QRectF(bitmap.rect()), reduced, FXBitmapEdges::Mirrored, FXBitmapQuality::Bilinear,
               MaxData);
}
