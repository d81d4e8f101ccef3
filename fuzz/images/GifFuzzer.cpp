// GIF files of any shape through the whole decoding path: giflib and our frame and
// screen checks either give a picture or throw ConversionError, and the picture
// survives our writer and reads back at the same size.
#include "ConversionJob.h"
#include "FuzzLimits.h"
#include "GifCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TRaster raster = DecodeGif(QByteArrayView(data, qsizetype(size)));
        const TRaster again = DecodeGif(EncodeGif(raster));
        if (again.Width() != raster.Width() || again.Height() != raster.Height()) std::abort();
    } catch (const ConversionError&) {
    }
    return 0;
}
