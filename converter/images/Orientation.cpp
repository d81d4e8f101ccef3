#include "Orientation.h"

#include <cstdint>

namespace {

// Where an upright picture's pixels lie among the stored ones: the stored index of its
// top-left pixel, and how far the index moves one pixel right and one row down.
struct TWalk {
    qsizetype Start;
    qsizetype Right;
    qsizetype Down;
};

TWalk WalkFor(int orientation, qsizetype w, qsizetype h) {
    const qsizetype last = (h - 1) * w;
    // 2 mirrored left to right, 3 upside down, 4 mirrored top to bottom, 5 transposed,
    // 6 to be turned 90 degrees clockwise, 7 transversed, 8 to be turned 90 degrees back.
    switch (orientation) {
    case 2:
        return {w - 1, -1, w};
    case 3:
        return {last + w - 1, -1, -w};
    case 4:
        return {last, 1, -w};
    case 5:
        return {0, w, 1};
    case 6:
        return {last, -w, 1};
    case 7:
        return {last + w - 1, -w, -1};
    case 8:
        return {w - 1, w, -1};
    default:
        return {0, 1, w};
    }
}

} // namespace

TRaster UprightRaster(const TRaster& raster, int orientation) {
    if (orientation < 2 || orientation > 8 || raster.IsEmpty()) return raster;
    const int w = raster.Width(), h = raster.Height();
    const bool swaps = orientation >= 5;
    TRaster out(swaps ? h : w, swaps ? w : h, raster.HasAlpha());
    const TWalk walk = WalkFor(orientation, w, h);
    const auto* source = reinterpret_cast<const std::uint32_t*>(raster.Bits());
    for (int y = 0; y < out.Height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(out.Row(y));
        qsizetype at = walk.Start + walk.Down * y;
        for (int x = 0; x < out.Width(); ++x, at += walk.Right)
            row[x] = source[at];
    }
    return out;
}
