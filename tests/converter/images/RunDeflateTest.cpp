#include "RunDeflate.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

// zlib's inflate, independent of our encoder, over a raw deflate stream.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& stream, std::size_t expected,
                                  bool* ended) {
    std::vector<std::uint8_t> out(expected + 16);
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    *ended = inflate(&z, Z_FINISH) == Z_STREAM_END && z.avail_in == 0;
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

std::vector<std::uint8_t> Data(const char* kind, std::size_t size) {
    std::vector<std::uint8_t> data(size);
    QRandomGenerator random(7);
    const std::string name = kind;
    for (std::size_t i = 0; i < size; ++i) {
        if (name == "Random")
            data[i] = std::uint8_t(random.generate());
        else if (name == "Zeros")
            data[i] = 0;
        else if (name == "SmallNoise")
            data[i] = std::uint8_t(random.bounded(5) - 2);
        else if (name == "RunsOfEveryLength")
            data[i] = std::uint8_t((i / (1 + i % 300)) % 3);
        else
            data[i] = std::uint8_t(i % 251 < 40 ? 9 : random.bounded(256));
    }
    return data;
}

struct TCase {
    const char* Kind;
    std::size_t Size;
    int Parts;
};

class RunDeflate : public testing::TestWithParam<TCase> {};

TEST_P(RunDeflate, InflatesToTheSameBytes) {
    const auto [kind, size, parts] = GetParam();
    const std::vector<std::uint8_t> data = Data(kind, size);
    std::vector<std::uint8_t> stream;
    for (int k = 0; k < parts; ++k) {
        const auto piece = DeflateRuns(data.data(), qsizetype(size * k / parts),
                                       qsizetype(size * (k + 1) / parts), k + 1 == parts);
        stream.insert(stream.end(), piece.begin(), piece.end());
    }
    bool ended = false;
    EXPECT_EQ(Inflate(stream, size, &ended), data);
    EXPECT_TRUE(ended);
    if (std::string(kind) == "Zeros" && size > 1000) {
        EXPECT_LT(stream.size(), size / 50);
    }
    if (std::string(kind) == "Random") { // stored blocks: little more than the data itself
        EXPECT_LT(stream.size(), size + size / 100 + 64);
    }
}

INSTANTIATE_TEST_SUITE_P(Data, RunDeflate,
                         testing::Values(TCase{"Random", 0, 1}, TCase{"Random", 1, 1}, TCase{"Random", 2, 2},
                                         TCase{"Zeros", 3, 1}, TCase{"Zeros", 259, 1},
                                         TCase{"Zeros", 100000, 3}, TCase{"Random", 300000, 2},
                                         TCase{"SmallNoise", 700000, 1}, TCase{"SmallNoise", 700000, 4},
                                         TCase{"RunsOfEveryLength", 200000, 2}, TCase{"Mixed", 600000, 2}),
                         [](const auto& info) {
                             return std::string(info.param.Kind) + std::to_string(info.param.Size) + "In" +
                                    std::to_string(info.param.Parts);
                         });

} // namespace
