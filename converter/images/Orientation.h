#pragma once
// Turning a picture upright by its EXIF orientation (1..8), as viewers show it.
#include "Raster.h"

// The picture as it is meant to be seen; itself for orientation 1 or a value outside 1..8.
TRaster UprightRaster(const TRaster& raster, int orientation);
