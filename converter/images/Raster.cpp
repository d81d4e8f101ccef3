#include "Raster.h"

#include "ConversionJob.h"
#include "LargeBlocks.h"

#include <atomic>
#include <cstring>

namespace {

// 256 megapixels: 1 GiB of pixels, beyond any photograph a camera makes today.
std::atomic<qint64> PixelLimit{qint64(1) << 28};

} // namespace

qint64 MaxPicturePixels() {
    return PixelLimit.load();
}

void SetMaxPicturePixels(qint64 pixels) {
    PixelLimit.store(pixels);
}

void CheckPictureSize(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) throw ConversionError("the picture has no pixels");
    if (width > PixelLimit.load() / height) throw ConversionError("the picture is too large");
}

TRaster::TRaster(int width, int height, bool hasAlpha) : FWidth(width), FHeight(height), FHasAlpha(hasAlpha) {
    CheckPictureSize(width, height);
    FPixels = AllocateBlock(std::size_t(ByteCount()));
}

std::uint8_t* TRaster::Bits() {
    if (FPixels && FPixels.use_count() > 1) {
        auto own = AllocateBlock(std::size_t(ByteCount()));
        std::memcpy(own.get(), FPixels.get(), std::size_t(ByteCount()));
        FPixels = std::move(own);
    }
    return FPixels.get();
}

void TRaster::Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha) {
    std::uint8_t* p = Bits();
    const std::uint8_t pixel[4] = {red, green, blue, alpha};
    for (qsizetype i = 0, n = qsizetype(FWidth) * FHeight; i < n; ++i, p += 4)
        std::memcpy(p, pixel, 4);
}

void TRaster::MakeOpaque() {
    if (FHasAlpha) {
        std::uint8_t* p = Bits();
        for (qsizetype i = 0, n = qsizetype(FWidth) * FHeight; i < n; ++i)
            p[i * 4 + 3] = 255;
    }
    FHasAlpha = false;
}

bool TRaster::AnyTransparency() const {
    const std::uint8_t* p = Bits();
    for (qsizetype i = 0, n = qsizetype(FWidth) * FHeight; i < n; ++i)
        if (p[i * 4 + 3] != 255) return true;
    return false;
}

TRaster TRaster::FlattenedOver(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
    if (!FHasAlpha || IsEmpty()) return *this;
    TRaster out(FWidth, FHeight, false);
    const std::uint8_t* s = Bits();
    std::uint8_t* d = out.Bits();
    const int back[3] = {red, green, blue};
    for (qsizetype i = 0, n = qsizetype(FWidth) * FHeight; i < n; ++i, s += 4, d += 4) {
        const int a = s[3];
        for (int c = 0; c < 3; ++c) {
            // Rounded (s·a + b·(255−a)) / 255.
            const int v = s[c] * a + back[c] * (255 - a) + 128;
            d[c] = std::uint8_t((v + (v >> 8)) >> 8);
        }
        d[3] = 255;
    }
    return out;
}
