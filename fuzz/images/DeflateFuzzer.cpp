// Our run-length deflate encoder on any bytes, split into any number of parts: zlib must
// inflate the joined stream to exactly those bytes.
#include "RunDeflate.h"

#include <cstdlib>
#include <vector>
#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int parts = 1 + data[0] % 4;
    const std::uint8_t* bytes = data + 1;
    const qsizetype count = qsizetype(size - 1);
    std::vector<std::uint8_t> stream;
    for (int k = 0; k < parts; ++k) {
        const auto piece = DeflateRuns(bytes, count * k / parts, count * (k + 1) / parts, k + 1 == parts);
        stream.insert(stream.end(), piece.begin(), piece.end());
    }
    std::vector<std::uint8_t> out(std::size_t(count) + 1);
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = stream.data();
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_FINISH);
    const bool same = result == Z_STREAM_END && z.total_out == uLong(count) && z.avail_in == 0 &&
                      std::equal(bytes, bytes + count, out.begin());
    inflateEnd(&z);
    if (!same) std::abort();
    return 0;
}
