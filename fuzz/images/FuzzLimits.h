#pragma once
// Shared set-up of the image fuzz targets: a pixel limit low enough that a hostile header
// cannot make an input slow or large, high enough for every seed.
#include "Raster.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMaxPicturePixels(std::int64_t(1) << 22);
    return 0;
}
