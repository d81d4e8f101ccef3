// BMP files of any shape: DecodeBmp either returns a picture or throws ConversionError.
#include "BmpCodec.h"
#include "ConversionJob.h"
#include "FuzzLimits.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TRaster raster = DecodeBmp(QByteArrayView(data, qsizetype(size)));
        // Whatever was read must write back and read again the same.
        const TRaster again = DecodeBmp(EncodeBmp(raster));
        if (again.Width() != raster.Width() || again.Height() != raster.Height()) std::abort();
    } catch (const ConversionError&) {
    }
    return 0;
}
