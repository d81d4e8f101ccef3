// libpng reports a damaged file by a long jump back to the decoder's setjmp, which
// skips the destructor of every object made after it. Counting the C++ heap blocks
// a failed decode leaves behind shows such an object: each one leaks its memory.
#include "ConversionJob.h"
#include "PngCodec.h"
#include "PngTestFiles.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {

thread_local bool Counting = false;
thread_local long LiveBlocks = 0;

} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    if (Counting) ++LiveBlocks;
    return block;
}

void operator delete(void* block) noexcept {
    if (block && Counting) --LiveBlocks;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    if (block && Counting) --LiveBlocks;
    std::free(block);
}

// The library's temporary buffers come from the non-throwing form: it must
// take the same heap as the deletes above.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    void* block = std::malloc(size ? size : 1);
    if (block && Counting) ++LiveBlocks;
    return block;
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    if (block && Counting) --LiveBlocks;
    std::free(block);
}

void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

using namespace imagetest;

// A file whose image data fails its checksum, so libpng gives up half way
// through reading the rows.
QByteArray DamagedInTheRows(int colorType) {
    TPngFixture fixture;
    fixture.Width = 64;
    fixture.Height = 64;
    fixture.ColorType = colorType;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < 16; ++i)
            fixture.Palette.push_back(png_color{png_byte(i * 16), png_byte(255 - i * 16), png_byte(i)});
    QByteArray file = PngFile(fixture, [](int x, int y, int) { return unsigned((x * 7 + y * 3) % 16); });
    const qsizetype idat = file.indexOf("IDAT");
    if (idat < 4) return {};
    const qsizetype length = qsizetype(quint8(file[idat - 4])) << 24 |
                             qsizetype(quint8(file[idat - 3])) << 16 |
                             qsizetype(quint8(file[idat - 2])) << 8 | qsizetype(quint8(file[idat - 1]));
    file[idat + 4 + length] = char(file[idat + 4 + length] ^ 0x5A); // the chunk's checksum
    return file;
}

struct JumpCase {
    const char* Name;
    int ColorType;
    bool Samples; // DecodePngSamples rather than DecodePng
};

class PngErrorJumpTest : public testing::TestWithParam<JumpCase> {};

TEST_P(PngErrorJumpTest, AFailedDecodeLeavesNothingBehind) {
    const QByteArray file = DamagedInTheRows(GetParam().ColorType);
    ASSERT_FALSE(file.isEmpty());
    LiveBlocks = 0;
    Counting = true;
    bool threw = false;
    try {
        if (GetParam().Samples)
            DecodePngSamples(file);
        else
            DecodePng(file);
    } catch (const ConversionError&) {
        threw = true;
    }
    Counting = false;
    EXPECT_TRUE(threw);
    EXPECT_EQ(LiveBlocks, 0);
}

INSTANTIATE_TEST_SUITE_P(Decoders, PngErrorJumpTest,
                         testing::Values(JumpCase{"SamplesRgb", PNG_COLOR_TYPE_RGB, true},
                                         JumpCase{"SamplesPalette", PNG_COLOR_TYPE_PALETTE, true},
                                         JumpCase{"PicturePalette", PNG_COLOR_TYPE_PALETTE, false},
                                         JumpCase{"PictureRgb", PNG_COLOR_TYPE_RGB, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
