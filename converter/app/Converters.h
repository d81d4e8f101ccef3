#pragma once
// Plugs the image and audio converters into the driver.
#include "ConversionDriver.h"

void InstallConverters(TConverterSet& converters);
