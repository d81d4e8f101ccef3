// IMG-BASE text files of any content: the text reading, Base64, the Windows-1252 mapping and
// the BMP reader behind them either give a bitmap or throw ConversionError. The mapping
// must also give every byte back.
#include "ConversionJob.h"
#include "FuzzLimits.h"
#include "ImgBase.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    if (Utf8ToWindows1252(Windows1252ToUtf8(bytes)) != bytes) std::abort();
    try {
        (void)Base64ToBitmap(ImgBaseFileText(bytes));
    } catch (const ConversionError&) {
    }
    try {
        (void)Utf8ToWindows1252(bytes);
    } catch (const ConversionError&) {
    }
    return 0;
}
