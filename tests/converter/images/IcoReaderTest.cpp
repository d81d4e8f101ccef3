#include "IcoReader.h"
#include "ConversionJob.h"
#include "IconTestFiles.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace imagetest;

namespace {

// A picture of few colours with a transparent diagonal band.
QImage Sprite(int size, int colours, bool translucent = false) {
    QImage image(size, size, QImage::Format_RGBA8888);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int i = (x / 3 + y / 4) % colours;
            const int alpha = std::abs(x - y) < size / 6 ? 0 : translucent ? 40 + (x * 200 / size) : 255;
            image.setPixelColor(
                x, y, QColor(i * 255 / std::max(1, colours - 1), 255 - i * 40 % 256, i * 70 % 256, alpha));
        }
    return image;
}

// What a picture reads as through an icon's colour image and mask: alpha 0 or 255, and
// black where the mask marks it (the colour is irrelevant there).
QImage Masked(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            image.setPixel(x, y, qAlpha(c) < 128 ? qRgba(0, 0, 0, 0) : (c | 0xFF000000));
        }
    return image;
}

QImage Transparent(const QImage& image) {
    // Colour of fully transparent pixels does not matter: compare them as transparent black.
    QImage out = image.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(out.pixel(x, y)) == 0) out.setPixel(x, y, qRgba(0, 0, 0, 0));
    return out;
}

TEST(IcoReader, TakesTheImageNearestTheStandardSize) {
    const QImage small = Sprite(16, 200, true), standard = Sprite(32, 16), large = Sprite(48, 200, true);
    const QByteArray file = IcoFile({{DibEntry(small, 32), 16, 16, 32},
                                     {DibEntry(standard, 8), 32, 32, 8},
                                     {QtWrite(large, "png"), 48, 48, 32}});
    const TRaster raster = DecodeIco(file);
    ASSERT_EQ(raster.Width(), 32);
    EXPECT_TRUE(raster.HasAlpha());
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Masked(standard)).Max, 0);
    // Qt reads the same image from an icon holding only it.
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)),
                      Transparent(QtRead(IcoFile({{DibEntry(standard, 8), 32, 32, 8}}), "ico")))
                  .Max,
              0);
}

struct TChoice {
    const char* Name;
    std::vector<std::pair<int, int>> Entries; // side, bits
    int Chosen;                               // index of the entry taken
};

class IcoChoice : public testing::TestWithParam<TChoice> {};

TEST_P(IcoChoice, PicksTheRightEntry) {
    std::vector<TIconEntry> entries;
    for (std::size_t i = 0; i < GetParam().Entries.size(); ++i) {
        const auto [side, bits] = GetParam().Entries[i];
        // Entries told apart by their colour count.
        entries.push_back({DibEntry(Sprite(side, int(i) + 2), bits), side, side, bits});
    }
    const auto [side, bits] = GetParam().Entries[std::size_t(GetParam().Chosen)];
    const TRaster raster = DecodeIco(IcoFile(entries));
    ASSERT_EQ(raster.Width(), side);
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Masked(Sprite(side, GetParam().Chosen + 2))).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, IcoChoice,
                         testing::Values(TChoice{"ExactSize", {{16, 32}, {32, 8}, {48, 32}}, 1},
                                         TChoice{"LargerWinsATie", {{16, 32}, {48, 32}}, 1},
                                         TChoice{"NearestSmaller", {{24, 32}, {64, 32}}, 0},
                                         TChoice{"OnlyHuge", {{256, 32}, {128, 32}}, 1},
                                         TChoice{
                                             "MoreColoursAtTheSameSize", {{32, 4}, {32, 32}, {32, 8}}, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

class IcoDepth : public testing::TestWithParam<int> {};

// Every depth of BMP-form image, with its mask, reads as Qt reads it.
TEST_P(IcoDepth, MatchesQtsReading) {
    const int bits = GetParam();
    const QImage sprite = Sprite(24, bits == 1 ? 2 : bits == 4 ? 16 : 40);
    const QByteArray file = IcoFile({{DibEntry(sprite, bits), 24, 24, bits}});
    const TRaster raster = DecodeIco(file);
    EXPECT_TRUE(raster.HasAlpha());
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Masked(sprite)).Max, 0);
    if (bits == 24) {
        // Qt leaves the mask of 24-bit images unread; the colours still agree.
        EXPECT_EQ(Compare(QtRead(file, "ico"), sprite, false).Max, 0);
    } else {
        EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Transparent(QtRead(file, "ico"))).Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Bits, IcoDepth, testing::Values(1, 4, 8, 24));

TEST(IcoReader, ThirtyTwoBitAlphaReplacesTheMask) {
    const QImage sprite = Sprite(20, 50, true);
    const TRaster raster = DecodeIco(IcoFile({{DibEntry(sprite, 32), 20, 20, 32}}));
    EXPECT_TRUE(raster.HasAlpha());
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Transparent(sprite)).Max, 0);
}

TEST(IcoReader, ThirtyTwoBitsWithoutAlphaUseTheMask) {
    const QImage sprite = Sprite(20, 50, true);
    const TRaster raster = DecodeIco(IcoFile({{DibEntry(sprite, 32, false), 20, 20, 32}}));
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Masked(sprite)).Max, 0);
}

TEST(IcoReader, AnOpaqueIconHasNoAlpha) {
    QImage opaque = Sprite(16, 10);
    opaque.fill(QColor(1, 2, 3));
    const TRaster raster = DecodeIco(IcoFile({{DibEntry(opaque, 24), 16, 16, 24}}));
    EXPECT_FALSE(raster.HasAlpha());
}

TEST(IcoReader, PngImagesKeepTheirAlpha) {
    const QImage sprite = Sprite(32, 100, true);
    const TRaster raster = DecodeIco(IcoFile({{QtWrite(sprite, "png"), 32, 32, 32}}));
    EXPECT_TRUE(raster.HasAlpha());
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Transparent(sprite)).Max, 0);
}

TEST(IcoReader, ThirtyTwoBitsMayLeaveTheMaskOut) {
    const QImage sprite = Sprite(20, 50, true);
    const TRaster raster = DecodeIco(IcoFile({{DibEntry(sprite, 32, true, false), 20, 20, 32}}));
    EXPECT_EQ(Compare(Transparent(ImageOf(raster)), Transparent(sprite)).Max, 0);
}

struct TBadIco {
    const char* Name;
    std::function<QByteArray()> File;
};

class BadIco : public testing::TestWithParam<TBadIco> {};

TEST_P(BadIco, IsRefused) {
    EXPECT_THROW(DecodeIco(GetParam().File()), ConversionError);
}

QByteArray Valid() {
    return IcoFile({{DibEntry(Sprite(16, 4), 8), 16, 16, 8}});
}

QByteArray WithOffset(QByteArray file, std::uint32_t offset) {
    for (int i = 0; i < 4; ++i)
        file[18 + i] = char(offset >> (8 * i));
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadIco,
    testing::Values(TBadIco{"Empty", [] { return QByteArray(); }},
                    TBadIco{"NoImages", [] { return Valid().left(4) + QByteArray(2, '\0'); }},
                    TBadIco{"DirectoryCutShort", [] { return Valid().left(14); }},
                    TBadIco{"ManyEntriesDeclared",
                            [] {
                                QByteArray f = Valid();
                                f[4] = char(0xFF);
                                f[5] = char(0xFF);
                                return f;
                            }},
                    TBadIco{"OffsetOutside", [] { return WithOffset(Valid(), 0x7FFFFFFF); }},
                    TBadIco{"MaskCutShort", [] { return Valid().left(Valid().size() - 20); }},
                    TBadIco{"ColoursCutShort", [] { return Valid().left(Valid().size() - 200); }},
                    TBadIco{"HugeImage",
                            [] {
                                QByteArray f = Valid();
                                for (int i : {22 + 4, 22 + 8}) {
                                    f[i] = 0;
                                    f[i + 1] = 0;
                                    f[i + 2] = char(0xFF);
                                    f[i + 3] = 0x7F;
                                }
                                return f;
                            }},
                    TBadIco{"UnknownDepth",
                            [] {
                                QByteArray f = Valid();
                                f[22 + 14] = 7;
                                return f;
                            }},
                    TBadIco{"NotAnIcon", [] { return QtWrite(Sprite(16, 4), "png"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
