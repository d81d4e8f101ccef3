#pragma once
// The library's image blur: a separable Gaussian on 24-bit pictures, a cheap
// large-picture variant that blurs a reduced copy, and the scaled drawing both
// rely on. Plain functions without state.
//
// QImage::Format_RGB888 is the library's 24-bit bitmap: three bytes a pixel,
// no alpha. The channel order does not matter to the blur.
#include <QImage>
#include <QRectF>

#include <array>

class QPainter;

// The trimmed, normalised weights of one Gaussian. Weight(j) is defined for
// -Size <= j <= Size; Size never exceeds 50.
struct FXGaussianKernel {
    static constexpr int MaxSize = 50;

    int Size = 0;
    std::array<float, 2 * MaxSize + 1> Weights{};

    float Weight(int j) const { return Weights[std::size_t(j + MaxSize)]; }
};

// The kernel for a radius (the standard deviation in pixels), trimmed once the
// two dropped tails together weigh half a grey level. A radius that is not a
// positive number gives the identity kernel (Size 0, weight 1).
FXGaussianKernel MakeGaussianKernel(double radius);

// Blurs a Format_RGB888 image in place, rows first, then columns; pixels
// beyond an edge repeat the edge pixel. Any other format throws
// std::invalid_argument("GaussianBlur only works for 24-bit bitmaps"). The cost
// is proportional to the pixel count times the kernel's width (at most 101).
void GaussianBlur(QImage& bitmap, double radius);

// How DrawBitmap samples the pixels beyond the picture's border.
enum class FXBitmapEdges : bool {
    Plain = false,
    // As if the picture were mirrored at its borders: an enlarged picture keeps
    // its edge colour up to the rectangle's edge instead of fading out.
    Mirrored = true,
};

enum class FXBitmapQuality : bool {
    Bilinear = false,
    // Also averages every source pixel when the picture is drawn smaller.
    High = true,
};

// How FastBlur shrinks the picture before blurring it.
enum class FXBlurReduction : bool {
    Plain = false, // nearest pixel, as a plain stretch copy
    High = true,   // DrawBitmap with mirrored edges and high quality
};

// Draws bitmap scaled into rect without shape anti-aliasing. Pictures with an
// alpha channel keep it, others are opaque; Alpha (0..255) scales the result's
// opacity. A null or empty bitmap draws nothing.
void DrawBitmap(QPainter& target, const QRectF& rect, const QImage& bitmap, FXBitmapEdges edges,
                FXBitmapQuality quality, int Alpha);

// The size of FastBlur's reduced copy: each side divided by factor (at least 1),
// but never under 4 pixels.
QSize FastBlurReducedSize(QSize size, int factor);

// Blurs a reduced copy of bitmap with GaussianBlur(radius) and draws it back
// over the whole of bitmap. Any paintable format is accepted; one a painter
// cannot draw on (indexed, monochrome) is converted to Format_RGB888 first.
void FastBlur(QImage& bitmap, int factor, FXBlurReduction reduction, double radius);
