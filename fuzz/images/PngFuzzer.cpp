// PNG files of any shape. Our own fast path reads plain RGB and RGBA files and leaves the
// rest to libpng; either way DecodePng returns a picture or throws ConversionError, and the
// picture survives our writer. Every input also goes through libpng's full decoder
// (DecodePngSamples, which the icon writer reads with), so plain files reach it too.
#include "ConversionJob.h"
#include "FuzzLimits.h"
#include "PngCodec.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TRaster raster = DecodePng(QByteArrayView(data, qsizetype(size)));
        const TRaster again = DecodePng(EncodePng(raster));
        if (again.Width() != raster.Width() || again.Height() != raster.Height() ||
            std::memcmp(again.Bits(), raster.Bits(), std::size_t(raster.ByteCount())) != 0)
            std::abort();
    } catch (const ConversionError&) {
    }
    try {
        const TPngSamples samples = DecodePngSamples(QByteArrayView(data, qsizetype(size)));
        if (samples.Width <= 0 || samples.Height <= 0) std::abort();
    } catch (const ConversionError&) {
    }
    return 0;
}
