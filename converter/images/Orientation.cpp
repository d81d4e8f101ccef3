#include "Orientation.h"

#include <cstring>

TRaster UprightRaster(const TRaster& raster, int orientation) {
    if (orientation < 2 || orientation > 8 || raster.IsEmpty()) return raster;
    const int w = raster.Width(), h = raster.Height();
    const bool swaps = orientation >= 5;
    TRaster out(swaps ? h : w, swaps ? w : h, raster.HasAlpha());
    const int ow = out.Width(), oh = out.Height();
    // Each output pixel names the stored pixel it shows: column sx, row sy.
    for (int y = 0; y < oh; ++y) {
        std::uint8_t* dst = out.Row(y);
        for (int x = 0; x < ow; ++x, dst += 4) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;                   // mirrored left to right
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;   // upside down
            case 4: sy = h - 1 - y; break;                   // mirrored top to bottom
            case 5: sx = y; sy = x; break;                   // transposed
            case 6: sx = y; sy = h - 1 - x; break;           // shown turned 90 degrees clockwise
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;   // transversed
            case 8: sx = w - 1 - y; sy = x; break;           // shown turned 90 degrees anticlockwise
            default: break;
            }
            std::memcpy(dst, raster.Row(sy) + qsizetype(sx) * 4, 4);
        }
    }
    return out;
}
