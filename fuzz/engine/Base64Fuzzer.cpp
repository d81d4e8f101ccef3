// Base64 text of any content: decoding never fails, gives the same bytes however the
// text is split into pieces, and encoding those bytes gives text that decodes to them.
#include "Base64.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView text(data, qsizetype(size));
    const QByteArray whole = Base64Decode(text);

    // Pieces of sizes taken from the input itself.
    Base64Decoder decoder;
    QByteArray pieces;
    qsizetype at = 0, step = size ? qsizetype(data[0] % 7) + 1 : 1;
    while (at < text.size()) {
        const qsizetype length = std::min(step, text.size() - at);
        decoder.Update(text.sliced(at, length), pieces);
        at += length;
        step = step % 5 + 1;
    }
    decoder.Finish(pieces);
    if (pieces != whole) std::abort();

    if (Base64Decode(Base64Encode(text)) != text.toByteArray()) std::abort();
    return 0;
}
