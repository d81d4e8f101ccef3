#pragma once
// The pixels of a decoded picture: red, green, blue and alpha bytes per pixel,
// not premultiplied, rows top-down without padding. Copies share the pixels
// until one of them writes, so handing a picture from class to class is free.
#include <QtGlobal>
#include <cstdint>
#include <memory>

class TRaster {
  public:
    TRaster() = default;
    // Pixels start undefined. Throws ConversionError for sizes beyond MaxPicturePixels().
    TRaster(int width, int height, bool hasAlpha);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }
    // Whether the alpha bytes carry transparency; when false they are all 255.
    bool HasAlpha() const { return FHasAlpha; }
    void SetHasAlpha(bool value) { FHasAlpha = value; }
    qsizetype Stride() const { return qsizetype(FWidth) * 4; }
    qsizetype ByteCount() const { return Stride() * FHeight; }

    const std::uint8_t* Bits() const { return FPixels.get(); }
    const std::uint8_t* Row(int y) const { return FPixels.get() + Stride() * y; }
    // Writing access makes the pixels this raster's own first.
    std::uint8_t* Bits();
    std::uint8_t* Row(int y) { return Bits() + Stride() * y; }

    void Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    // Sets every alpha byte to 255 and HasAlpha to false.
    void MakeOpaque();
    // True when some alpha byte is below 255.
    bool AnyTransparency() const;
    // The picture composited over an opaque colour; itself when it has no alpha.
    TRaster FlattenedOver(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const;

  private:
    int FWidth = 0;
    int FHeight = 0;
    bool FHasAlpha = false;
    std::shared_ptr<std::uint8_t[]> FPixels;
};

// Every decoder checks declared sizes against this before allocating anything.
qint64 MaxPicturePixels();
// Lowered by the fuzz targets so that a hostile header cannot make them allocate much.
void SetMaxPicturePixels(qint64 pixels);
// Throws ConversionError unless both sides are positive and the area is within the limit.
void CheckPictureSize(qint64 width, qint64 height);
