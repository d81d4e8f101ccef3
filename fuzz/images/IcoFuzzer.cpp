// ICO files of any shape: DecodeIco either returns a picture or throws ConversionError.
#include "ConversionJob.h"
#include "FuzzLimits.h"
#include "IcoReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)DecodeIco(QByteArrayView(data, qsizetype(size)));
    } catch (const ConversionError&) {
    }
    return 0;
}
