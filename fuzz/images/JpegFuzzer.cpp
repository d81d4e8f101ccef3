// JPEG files of any shape through the whole decoding path (libjpeg with our error
// handling): a picture or ConversionError, and the picture survives our writer.
#include "ConversionJob.h"
#include "FuzzLimits.h"
#include "JpegCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TRaster raster = DecodeJpeg(QByteArrayView(data, qsizetype(size)));
        const TRaster again = DecodeJpeg(EncodeJpeg(raster));
        if (again.Width() != raster.Width() || again.Height() != raster.Height()) std::abort();
    } catch (const ConversionError&) {
    }
    return 0;
}
