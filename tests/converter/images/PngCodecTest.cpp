#include "PngCodec.h"
#include "ConversionJob.h"
#include "ImageTestSupport.h"
#include "PngImage.h"
#include "PngTestFiles.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace imagetest;

namespace {

std::vector<png_color> GreyPalette(int count) {
    std::vector<png_color> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(
            {png_byte(i * 255 / std::max(1, count - 1)), png_byte(255 - i * 7 % 256), png_byte(i * 3 % 256)});
    return palette;
}

struct TPngCase {
    const char* Name;
    TPngFixture Fixture;
    int Tolerance = 0; // Qt rounds 16-bit samples its own way
};

class PngVariant : public testing::TestWithParam<TPngCase> {};

// Every kind of PNG decodes to what Qt's own PNG reader sees in it.
TEST_P(PngVariant, MatchesQtsReading) {
    const TPngFixture& fixture = GetParam().Fixture;
    const int depth =
        fixture.ColorType == PNG_COLOR_TYPE_PALETTE ? std::min(fixture.Depth, 8) : fixture.Depth;
    TSampleFunction sample = Pattern(depth);
    if (fixture.ColorType == PNG_COLOR_TYPE_PALETTE) {
        const unsigned count = unsigned(fixture.Palette.size());
        sample = [count](int x, int y, int) { return unsigned(x + y * 3) % count; };
    }
    const QByteArray file = PngFile(fixture, sample);
    ASSERT_FALSE(file.isEmpty());
    const QImage expected = QtRead(file, "png");
    ASSERT_FALSE(expected.isNull());
    const TRaster raster = DecodePng(file);
    ASSERT_EQ(raster.Width(), fixture.Width);
    ASSERT_EQ(raster.Height(), fixture.Height);
    EXPECT_LE(Compare(ImageOf(raster), expected).Max, GetParam().Tolerance);
    const bool transparent = (fixture.ColorType & PNG_COLOR_MASK_ALPHA) || !fixture.PaletteAlpha.empty() ||
                             fixture.TransparentColour;
    EXPECT_EQ(raster.HasAlpha(),
              transparent && ImageOf(raster).pixelColor(0, 0).alpha() != 256 && raster.AnyTransparency());
}

TPngCase Case(const char* name, int type, int depth, bool interlaced = false, int tolerance = 0) {
    TPngCase c{name, {}, tolerance};
    c.Fixture.Width = 13;
    c.Fixture.Height = 11;
    c.Fixture.ColorType = type;
    c.Fixture.Depth = depth;
    c.Fixture.Interlaced = interlaced;
    if (type == PNG_COLOR_TYPE_PALETTE) c.Fixture.Palette = GreyPalette(std::min(1 << depth, 200));
    return c;
}

std::vector<TPngCase> Variants() {
    std::vector<TPngCase> cases = {
        Case("Grey1", PNG_COLOR_TYPE_GRAY, 1),
        Case("Grey2", PNG_COLOR_TYPE_GRAY, 2),
        Case("Grey4", PNG_COLOR_TYPE_GRAY, 4),
        Case("Grey8", PNG_COLOR_TYPE_GRAY, 8),
        Case("Grey16", PNG_COLOR_TYPE_GRAY, 16, false, 1),
        Case("Rgb8", PNG_COLOR_TYPE_RGB, 8),
        Case("Rgb16", PNG_COLOR_TYPE_RGB, 16, false, 1),
        Case("Palette1", PNG_COLOR_TYPE_PALETTE, 1),
        Case("Palette2", PNG_COLOR_TYPE_PALETTE, 2),
        Case("Palette4", PNG_COLOR_TYPE_PALETTE, 4),
        Case("Palette8", PNG_COLOR_TYPE_PALETTE, 8),
        Case("GreyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8),
        Case("GreyAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, 1),
        Case("RgbAlpha8", PNG_COLOR_TYPE_RGB_ALPHA, 8),
        Case("RgbAlpha16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 1),
        Case("InterlacedRgb8", PNG_COLOR_TYPE_RGB, 8, true),
        Case("InterlacedRgbAlpha16", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, 1),
        Case("InterlacedPalette4", PNG_COLOR_TYPE_PALETTE, 4, true),
    };
    TPngCase trns = Case("PaletteWithTransparency", PNG_COLOR_TYPE_PALETTE, 8);
    trns.Fixture.PaletteAlpha = {0, 128, 255, 64};
    cases.push_back(trns);
    TPngCase key = Case("RgbWithTransparentColour", PNG_COLOR_TYPE_RGB, 8);
    key.Fixture.TransparentColour = true;
    key.Fixture.Transparent = {0, png_uint_16(Pattern(8)(0, 0, 0)), png_uint_16(Pattern(8)(0, 0, 1)),
                               png_uint_16(Pattern(8)(0, 0, 2)), 0};
    cases.push_back(key);
    TPngCase grey = Case("GreyWithTransparentLevel", PNG_COLOR_TYPE_GRAY, 4);
    grey.Fixture.TransparentColour = true;
    grey.Fixture.Transparent.gray = png_uint_16(Pattern(4)(0, 0, 0));
    cases.push_back(grey);
    // Each filter type alone, through the plain-file fast path.
    for (auto [name, filter] : {std::pair{"FilterNone", PNG_FILTER_NONE},
                                {"FilterSub", PNG_FILTER_SUB},
                                {"FilterUp", PNG_FILTER_UP},
                                {"FilterAverage", PNG_FILTER_AVG},
                                {"FilterPaeth", PNG_FILTER_PAETH}}) {
        TPngCase c = Case(name, PNG_COLOR_TYPE_RGB_ALPHA, 8);
        c.Fixture.Filters = filter;
        cases.push_back(c);
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, PngVariant, testing::ValuesIn(Variants()),
                         [](const auto& info) { return std::string(info.param.Name); });

// A picture of `colours` colours (with alpha when asked), in blocks.
QImage FewColours(int colours, bool alpha, bool grey = false) {
    QImage image(61, 37, QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int i = (x / 3 + y / 2 * 7) % colours;
            const int v = i * 255 / std::max(1, colours - 1);
            image.setPixelColor(x, y,
                                grey ? QColor(v, v, v, alpha ? 255 - v : 255)
                                     : QColor(v, 255 - v, (i * 97) % 256, alpha ? (i * 53) % 256 : 255));
        }
    return image;
}

QImage Noise(int width, int height, bool alpha, quint32 seed) {
    QImage image(width, height, QImage::Format_RGBA8888);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* p = image.scanLine(y);
        for (int x = 0; x < width * 4; ++x)
            p[x] = std::uint8_t(random.generate());
        if (!alpha)
            for (int x = 0; x < width; ++x)
                p[x * 4 + 3] = 255;
    }
    return image;
}

struct TEncodeCase {
    const char* Name;
    std::function<QImage()> Image;
};

class PngEncode : public testing::TestWithParam<TEncodeCase> {};

// Our writer's files read back exactly in Qt and in our reader.
TEST_P(PngEncode, RoundTripsExactly) {
    const TRaster raster = RasterOf(GetParam().Image());
    const QByteArray file = EncodePng(raster);
    const QImage qt = QtRead(file, "png");
    ASSERT_FALSE(qt.isNull());
    EXPECT_EQ(Compare(qt, ImageOf(raster)).Max, 0);
    const TRaster ours = DecodePng(file);
    EXPECT_EQ(ours.HasAlpha(), raster.HasAlpha());
    EXPECT_EQ(Compare(ImageOf(ours), ImageOf(raster)).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PngEncode,
    testing::Values(TEncodeCase{"OnePixel", [] { return PhotoLike(1, 1); }},
                    TEncodeCase{"OneRow", [] { return PhotoLike(300, 1); }},
                    TEncodeCase{"OneColumn", [] { return PhotoLike(1, 300); }},
                    TEncodeCase{"Photo", [] { return PhotoLike(64, 48); }},
                    TEncodeCase{"PhotoWithAlpha", [] { return PhotoLike(64, 48, true); }},
                    // Large enough to be compressed in parallel parts.
                    TEncodeCase{"LargePhoto", [] { return PhotoLike(1200, 700); }},
                    TEncodeCase{"LargeWithAlpha", [] { return PhotoLike(800, 700, true); }},
                    // Noise does not compress: stored blocks.
                    TEncodeCase{"Noise", [] { return Noise(700, 600, false, 1); }},
                    TEncodeCase{"NoiseWithAlpha", [] { return Noise(90, 70, true, 2); }},
                    // Few colours: palette images of 1, 2, 4 and 8 bits; grey pictures.
                    TEncodeCase{"TwoColours", [] { return FewColours(2, false); }},
                    TEncodeCase{"FourColours", [] { return FewColours(4, false); }},
                    TEncodeCase{"SixteenColoursWithAlpha", [] { return FewColours(16, true); }},
                    TEncodeCase{"TwoHundredColoursWithAlpha", [] { return FewColours(200, true); }},
                    TEncodeCase{"ManyGreys", [] { return FewColours(200, false, true); }},
                    TEncodeCase{"ManyGreysWithAlpha", [] { return FewColours(200, true, true); }},
                    // Opaque white is the colour most likely to clash with a marker value.
                    TEncodeCase{"WhiteAndClear",
                                [] {
                                    QImage image = FewColours(5, false);
                                    for (int y = 0; y < image.height(); y += 2)
                                        for (int x = 0; x < image.width(); x += 3) {
                                            image.setPixelColor(
                                                x, y, (x + y) % 2 ? QColor(Qt::white) : QColor(0, 0, 0, 0));
                                        }
                                    return image;
                                }},
                    // A flat picture is one long run.
                    TEncodeCase{"Flat",
                                [] {
                                    QImage image(900, 800, QImage::Format_RGBA8888);
                                    image.fill(QColor(10, 200, 30));
                                    return image;
                                }}),
    [](const auto& info) { return std::string(info.param.Name); });

// The file stays with the picture for the icon writer; for a file of gigabytes a copy
// of it would double what a conversion holds.
TEST(PngCodec, APictureReadFromAFileSharesTheFilesBytes) {
    const QByteArray file = QtWrite(PhotoLike(30, 20), "png");
    TPngImage picture;
    picture.LoadFromBytes(file);
    EXPECT_TRUE(picture.File().isSharedWith(file));
    EXPECT_EQ(picture.Width(), 30);
}

TEST(PngCodec, FewColoursMakeAPaletteImage) {
    const QByteArray file = EncodePng(RasterOf(FewColours(4, false)));
    EXPECT_EQ(file[24], 2); // bit depth
    EXPECT_EQ(file[25], 3); // palette
    const QByteArray grey = EncodePng(RasterOf(FewColours(200, false, true)));
    EXPECT_EQ(grey[24], 8);
    EXPECT_EQ(grey[25], 0);
    const QByteArray photo = EncodePng(RasterOf(PhotoLike(40, 30, true)));
    EXPECT_EQ(photo[25], 6);
}

TEST(PngCodec, PhotographsCompressWell) {
    const QImage photo = PhotoLike(400, 300);
    const QByteArray ours = EncodePng(RasterOf(photo));
    const QByteArray qt = QtWrite(photo.convertToFormat(QImage::Format_RGB32), "png");
    EXPECT_LT(ours.size(), qt.size() * 11 / 10);
}

QByteArray ValidFile() {
    return QtWrite(PhotoLike(20, 10).convertToFormat(QImage::Format_RGB32), "png");
}

struct TBadPng {
    const char* Name;
    std::function<QByteArray()> File;
};

class BadPng : public testing::TestWithParam<TBadPng> {};

TEST_P(BadPng, IsRefused) {
    EXPECT_THROW(DecodePng(GetParam().File()), ConversionError);
    EXPECT_THROW(DecodePngSamples(GetParam().File()), ConversionError);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadPng,
    testing::Values(TBadPng{"Empty", [] { return QByteArray(); }},
                    TBadPng{"Signature", [] { return ValidFile().left(8); }},
                    TBadPng{"CutShort", [] { return ValidFile().left(ValidFile().size() - 30); }},
                    TBadPng{"NoEnd", [] { return ValidFile().left(ValidFile().size() - 12); }},
                    TBadPng{"DamagedData",
                            [] {
                                QByteArray f = ValidFile();
                                f[f.size() - 20] = char(f[f.size() - 20] ^ 0x55);
                                return f;
                            }},
                    TBadPng{"Huge",
                            [] {
                                QByteArray f = ValidFile();
                                // 60000 × 60000 with the header's check sum mended.
                                f[16] = f[20] = 0;
                                f[17] = f[21] = 0;
                                f[18] = f[22] = char(0xEA);
                                f[19] = f[23] = char(0x60);
                                const auto crc = png_uint_32(
                                    crc32(0, reinterpret_cast<const Bytef*>(f.constData() + 12), 17));
                                for (int i = 0; i < 4; ++i)
                                    f[29 + i] = char(crc >> (24 - 8 * i));
                                return f;
                            }},
                    TBadPng{"Jpeg", [] { return QtWrite(PhotoLike(8, 8), "jpeg"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- the stored form the icon writer uses -------------------------------------------

TEST(PngSamples, PaletteTransparencyModes) {
    TPngFixture fixture;
    fixture.ColorType = PNG_COLOR_TYPE_PALETTE;
    fixture.Depth = 4;
    fixture.Palette = GreyPalette(5);
    auto samples = [&] {
        return DecodePngSamples(PngFile(fixture, [](int x, int, int) { return unsigned(x % 5); }));
    };
    EXPECT_EQ(samples().Transparency, TPngTransparency::None);
    fixture.PaletteAlpha = {255, 0, 255};
    auto bit = samples();
    EXPECT_EQ(bit.Transparency, TPngTransparency::Bit);
    EXPECT_EQ(bit.TransparentColour,
              (std::array<std::uint8_t, 3>{fixture.Palette[1].red, fixture.Palette[1].green,
                                           fixture.Palette[1].blue}));
    fixture.PaletteAlpha = {255, 0, 100};
    EXPECT_EQ(samples().Transparency, TPngTransparency::Partial);
    fixture.PaletteAlpha = {255, 100};
    auto noClear = samples();
    EXPECT_EQ(noClear.Transparency, TPngTransparency::Bit);
    EXPECT_EQ(noClear.TransparentColour,
              (std::array<std::uint8_t, 3>{0, 0, 0})); // black when none is fully clear
}

TEST(PngSamples, TwoBitSamplesArriveAsNibbles) {
    TPngFixture fixture;
    fixture.ColorType = PNG_COLOR_TYPE_GRAY;
    fixture.Depth = 2;
    fixture.Width = 5;
    fixture.Height = 1;
    const TPngSamples s = DecodePngSamples(PngFile(fixture, [](int x, int, int) { return unsigned(x % 4); }));
    EXPECT_EQ(s.SampleBits, 4);
    EXPECT_EQ(s.ColourStride, 3);
    EXPECT_EQ(s.Colour[0], 0x01);
    EXPECT_EQ(s.Colour[1], 0x23);
    EXPECT_EQ(s.Colour[2], 0x00);
}

TEST(PngSamples, RgbArrivesAsBlueGreenRedWithSeparateAlpha) {
    TPngFixture fixture;
    fixture.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
    fixture.Depth = 16;
    fixture.Width = 2;
    fixture.Height = 1;
    const TPngSamples s = DecodePngSamples(PngFile(fixture, [](int x, int, int c) {
        const unsigned values[4] = {0xFFFF, 0x8080, 0x0000, x ? 0x0000u : 0xFFFFu};
        return values[c];
    }));
    EXPECT_EQ(s.SampleBits, 8);
    EXPECT_EQ(s.Transparency, TPngTransparency::Partial);
    ASSERT_EQ(s.Colour.size(), 6u);
    EXPECT_EQ(s.Colour[0], 0x00); // blue
    EXPECT_EQ(s.Colour[1], 0x80); // green
    EXPECT_EQ(s.Colour[2], 0xFF); // red
    EXPECT_EQ(s.Alpha, (std::vector<std::uint8_t>{255, 0}));
}

TEST(PngSamples, TransparentGreyLevelIsScaled) {
    TPngFixture fixture;
    fixture.ColorType = PNG_COLOR_TYPE_GRAY;
    fixture.Depth = 4;
    fixture.TransparentColour = true;
    fixture.Transparent.gray = 5;
    const TPngSamples s = DecodePngSamples(PngFile(fixture, Pattern(4)));
    EXPECT_EQ(s.Transparency, TPngTransparency::Bit);
    EXPECT_EQ(s.TransparentColour, (std::array<std::uint8_t, 3>{85, 85, 85}));
}

} // namespace
