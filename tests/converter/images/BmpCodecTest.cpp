#include "BmpCodec.h"
#include "ByteIo.h"
#include "ConversionJob.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace imagetest;

namespace {

// A BMP file with a 40-byte header (or the 12-byte core header), `table` as colour table
// (or masks) and `pixels` as the pixel data.
QByteArray BmpFile(int width, int height, int bits, std::uint32_t compression, const QByteArray& table,
                   const QByteArray& pixels, bool core = false) {
    const std::uint32_t coloursUsed = bits <= 8 ? std::uint32_t(table.size() / 4) : 0;
    const std::uint32_t headerSize = core ? 12 : 40;
    QByteArray out("BM");
    AppendU32(out, std::uint32_t(14 + headerSize + table.size() + pixels.size()));
    AppendU32(out, 0);
    AppendU32(out, std::uint32_t(14 + headerSize + table.size()));
    AppendU32(out, headerSize);
    if (core) {
        AppendU16(out, std::uint32_t(width));
        AppendU16(out, std::uint32_t(height));
        AppendU16(out, 1);
        AppendU16(out, std::uint32_t(bits));
    } else {
        AppendU32(out, std::uint32_t(width));
        AppendU32(out, std::uint32_t(height));
        AppendU16(out, 1);
        AppendU16(out, std::uint32_t(bits));
        AppendU32(out, compression);
        AppendU32(out, std::uint32_t(pixels.size()));
        AppendU32(out, 2835);
        AppendU32(out, 2835);
        AppendU32(out, coloursUsed);
        AppendU32(out, 0);
    }
    return out + table + pixels;
}

QByteArray Palette(std::initializer_list<QRgb> colours, int entrySize = 4) {
    QByteArray out;
    for (QRgb c : colours) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        if (entrySize == 4) out.append('\0');
    }
    return out;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

struct TBmpCase {
    const char* Name;
    QByteArray File;
    // Qt scales fields narrower than 8 bits without reaching 255 (31 → 248); we use the full range.
    int Tolerance = 0;
};

class BmpVariant : public testing::TestWithParam<TBmpCase> {};

// Every variant decodes to what Qt's own BMP reader sees in it.
TEST_P(BmpVariant, MatchesQtsReading) {
    const QByteArray& file = GetParam().File;
    const QImage expected = QtRead(file, "bmp");
    ASSERT_FALSE(expected.isNull()) << "Qt cannot read the fixture";
    const TRaster raster = DecodeBmp(file);
    EXPECT_LE(Compare(ImageOf(raster), expected, false).Max, GetParam().Tolerance);
}

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
           White = qRgb(255, 255, 255);

std::vector<TBmpCase> Variants() {
    std::vector<TBmpCase> cases;
    const QImage photo = PhotoLike(37, 23);
    cases.push_back({"Qt24Bit", QtWrite(photo.convertToFormat(QImage::Format_RGB32), "bmp")});
    cases.push_back({"Qt8BitIndexed", QtWrite(photo.convertToFormat(QImage::Format_Indexed8), "bmp")});
    cases.push_back({"Qt1BitMono", QtWrite(photo.convertToFormat(QImage::Format_Mono), "bmp")});
    // 4 bits per pixel, 3 × 2, bottom-up, rows padded to four bytes.
    cases.push_back({"FourBit", BmpFile(3, 2, 4, 0, Palette({Red, Green, Blue, White}),
                                        Bytes({0x01, 0x20, 0, 0, 0x32, 0x10, 0, 0}))});
    // Top-down 24 bits: a negative height.
    cases.push_back(
        {"TopDown24Bit",
         BmpFile(2, -2, 24, 0, {}, Bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}))});
    // Core header, 8 bits, three-byte palette entries.
    cases.push_back(
        {"CoreHeader8Bit", BmpFile(2, 2, 8, 0, Palette({Red, Green, Blue}, 3) + QByteArray(253 * 3, '\0'),
                                   Bytes({0, 1, 0, 0, 2, 0, 0, 0}), true)});
    // RLE8: a run, a literal group, end of line, end of bitmap. (Readers differ on the
    // colour of pixels a jump skips; that is checked on its own below.)
    cases.push_back({"Rle8", BmpFile(4, 3, 8, 1, Palette({White, Red, Green, Blue}),
                                     Bytes({3, 1, 1, 2, 0, 0,       /* row 0: three red, one green */
                                            0, 4, 2, 3, 1, 2, 0, 0, /* row 1: literal green blue red green */
                                            4, 3, 0, 1}))});        /* row 2: four blue; end of bitmap */
    // RLE4: alternating runs and a literal group of three nibbles.
    cases.push_back({"Rle4", BmpFile(5, 2, 4, 2, Palette({White, Red, Green, Blue}),
                                     Bytes({5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 2, 0x33, 0, 1}))});
    // 16 bits in 5-6-5 bit fields.
    {
        QByteArray pixels;
        for (std::uint16_t p : {0xF800, 0x07E0, 0x001F, 0xFFFF})
            AppendU16(pixels, p);
        QByteArray masks;
        for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
            AppendU32(masks, m);
        cases.push_back({"Rgb565", BmpFile(2, 2, 16, 3, masks, pixels), 7});
    }
    // 16 bits without masks: 5-5-5.
    {
        QByteArray pixels;
        for (std::uint16_t p : {0x7C00, 0x03E0, 0x001F, 0x4210})
            AppendU16(pixels, p);
        cases.push_back({"Rgb555", BmpFile(2, 2, 16, 0, {}, pixels), 7});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, BmpVariant, testing::ValuesIn(Variants()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(BmpCodec, SixteenBitFieldsUseTheFullRange) {
    QByteArray pixels;
    for (std::uint16_t p : {0xF800, 0x07E0, 0x001F, 0x0000})
        AppendU16(pixels, p);
    QByteArray masks;
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        AppendU32(masks, m);
    const QImage image = ImageOf(DecodeBmp(BmpFile(2, 2, 16, 3, masks, pixels)));
    EXPECT_EQ(image.pixel(0, 1), Red); // first pixel of the bottom row
    EXPECT_EQ(image.pixel(1, 1), Green);
    EXPECT_EQ(image.pixel(0, 0), Blue);
}

TEST(BmpCodec, RunLengthJumpsLeavePaletteEntryZero) {
    const QByteArray file = BmpFile(3, 2, 8, 1, Palette({Blue, Red}), Bytes({0, 2, 2, 1, 1, 1, 0, 1}));
    const TRaster raster = DecodeBmp(file);
    const QImage image = ImageOf(raster);
    EXPECT_EQ(image.pixel(0, 1), Blue); // skipped
    EXPECT_EQ(image.pixel(2, 0), Red);  // the run after the jump, on the top row
    EXPECT_FALSE(raster.HasAlpha());
}

TEST(BmpCodec, ThirtyTwoBitsWithZeroFourthBytesAreOpaque) {
    QByteArray pixels(2 * 2 * 4, '\0');
    pixels[0] = char(200);
    const TRaster raster = DecodeBmp(BmpFile(2, 2, 32, 0, {}, pixels));
    EXPECT_FALSE(raster.HasAlpha());
    EXPECT_EQ(raster.Row(1)[3], 255);
    EXPECT_EQ(raster.Row(1)[2], 200); // blue of the bottom-left pixel
}

TEST(BmpCodec, ThirtyTwoBitsWithFourthBytesCarryAlpha) {
    QByteArray pixels;
    for (int i = 0; i < 4; ++i)
        pixels += Bytes({10, 20, 30, i * 80});
    const TRaster raster = DecodeBmp(BmpFile(2, 2, 32, 0, {}, pixels));
    EXPECT_TRUE(raster.HasAlpha());
    EXPECT_EQ(raster.Row(1)[3], 0);
    EXPECT_EQ(raster.Row(0)[4 + 3], 240);
}

class BmpRoundTrip : public testing::TestWithParam<bool> {};

TEST_P(BmpRoundTrip, QtReadsWhatWeWrite) {
    const bool alpha = GetParam();
    const TRaster raster = RasterOf(PhotoLike(31, 17, alpha));
    const QByteArray file = EncodeBmp(raster);
    EXPECT_EQ(file.size(), 14 + (alpha ? 108 : 40) + DibStride(31, alpha ? 32 : 24) * 17);
    const QImage qt = QtRead(file, "bmp");
    ASSERT_FALSE(qt.isNull());
    EXPECT_EQ(Compare(qt, ImageOf(raster)).Max, 0);
    EXPECT_EQ(Compare(ImageOf(DecodeBmp(file)), ImageOf(raster)).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(Alpha, BmpRoundTrip, testing::Bool());

struct TBadBmp {
    const char* Name;
    std::function<QByteArray()> File;
};

class BadBmp : public testing::TestWithParam<TBadBmp> {};

TEST_P(BadBmp, IsRefused) {
    EXPECT_THROW(DecodeBmp(GetParam().File()), ConversionError);
}

QByteArray Small24() {
    return QtWrite(PhotoLike(8, 8).convertToFormat(QImage::Format_RGB32), "bmp");
}

QByteArray WithField(QByteArray file, int offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[offset + i] = char(value >> (8 * i));
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadBmp,
    testing::Values(
        TBadBmp{"Empty", [] { return QByteArray(); }},
        TBadBmp{"OnlyTheSignature", [] { return QByteArray("BM"); }},
        TBadBmp{"CutInThePixels", [] { return Small24().left(Small24().size() - 10); }},
        TBadBmp{"HugeDeclaredSize", [] { return WithField(WithField(Small24(), 18, 30000), 22, 30000); }},
        TBadBmp{"BeyondThePixelLimit",
                [] { return WithField(WithField(Small24(), 18, 0x7FFFFFFF), 22, 0x7FFFFFFF); }},
        TBadBmp{"NegativeWidth", [] { return WithField(Small24(), 18, std::uint32_t(-8)); }},
        TBadBmp{"MostNegativeHeight", [] { return WithField(Small24(), 22, 0x80000000u); }},
        TBadBmp{"ZeroWidth", [] { return WithField(Small24(), 18, 0); }},
        TBadBmp{"HeaderLargerThanFile", [] { return WithField(Small24(), 14, 0x10000); }},
        TBadBmp{"UnknownBitCount",
                [] {
                    QByteArray f = Small24();
                    f[28] = 7;
                    return f;
                }},
        TBadBmp{"EmbeddedJpeg", [] { return WithField(Small24(), 30, 4); }},
        TBadBmp{"TopDownRle",
                [] {
                    return BmpFile(2, -2, 8, 1, Palette({Red}), Bytes({2, 0, 0, 1}));
                }},
        TBadBmp{"RleCutShort",
                [] {
                    return BmpFile(4, 4, 8, 1, Palette({Red}), Bytes({2, 0, 0}));
                }},
        TBadBmp{"RleLiteralPastTheEnd",
                [] {
                    return BmpFile(4, 4, 8, 1, Palette({Red}), Bytes({0, 200, 1, 1}));
                }},
        TBadBmp{"EmptyBitFields",
                [] { return BmpFile(2, 2, 32, 3, QByteArray(12, '\0'), QByteArray(16, '\0')); }},
        TBadBmp{"PaletteCutShort", [] { return BmpFile(2, 2, 8, 0, Palette({Red}), {}).left(60); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BmpCodec, ThePixelLimitIsCheckedBeforeAllocating) {
    QByteArray runs;
    for (int i = 0; i < 16; ++i)
        runs += Bytes({255, 0});
    const QByteArray file = BmpFile(600, 600, 8, 1, Palette({Red}), runs + Bytes({0, 1}));
    const qint64 previous = MaxPicturePixels();
    SetMaxPicturePixels(500 * 500);
    EXPECT_THROW(DecodeBmp(file), ConversionError);
    SetMaxPicturePixels(previous);
    EXPECT_EQ(DecodeBmp(file).Width(), 600); // a run-length file may end early: the rest is entry 0
}

TEST(BmpCodec, KilobytesOfRunLengthDataCannotClaimAGigabyte) {
    // 9 KB of end-of-line codes: no pixel painted, 64 million claimed.
    QByteArray lines;
    for (int i = 0; i < 4500; ++i)
        lines += Bytes({0, 0});
    EXPECT_THROW(DecodeBmp(BmpFile(8000, 8000, 8, 1, Palette({Red}), lines + Bytes({0, 1}))),
                 ConversionError);
    EXPECT_THROW(DecodeBmp(BmpFile(8000, 8000, 4, 2, Palette({Red}), lines + Bytes({0, 1}))),
                 ConversionError);
}

TEST(BmpCodec, AFewRunLengthBytesCannotClaimAHugePicture) {
    EXPECT_THROW(DecodeBmp(BmpFile(8000, 8000, 8, 1, Palette({Red}), Bytes({0, 1}))), ConversionError);
}

} // namespace
