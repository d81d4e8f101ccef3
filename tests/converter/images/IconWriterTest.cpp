#include "IconWriter.h"
#include "Bitmap.h"
#include "ByteIo.h"
#include "ConversionSettings.h"
#include "ImageTestSupport.h"
#include "JpegImage.h"
#include "PngImage.h"
#include "PngTestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace imagetest;

namespace {

struct TEdge {
    int Width, Height, Edge;
};

class IconEdge : public testing::TestWithParam<TEdge> {};

TEST_P(IconEdge, IsTheLargestStandardSizeThatFits) {
    EXPECT_EQ(ChooseIconEdge(GetParam().Width, GetParam().Height), GetParam().Edge);
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconEdge,
                         testing::Values(TEdge{100, 100, 64}, TEdge{256, 256, 256}, TEdge{1000, 800, 256},
                                         TEdge{20, 20, 16}, TEdge{16, 16, 16}, TEdge{15, 15, 32},
                                         TEdge{1, 1, 32}, TEdge{300, 50, 32}, TEdge{200, 15, 32},
                                         TEdge{128, 129, 128}));

// The ICO file the icon target writes for a picture.
QByteArray IconFor(const TGraphic& picture, bool sourceIsPng, const ConversionSettings& settings = {}) {
    QTemporaryDir dir;
    const QString path = dir.filePath("icon.ico");
    WriteIconTarget(picture, sourceIsPng, path, settings);
    return ReadFile(path);
}

template <class TPicture> QByteArray EncodeAs(const QImage& image) {
    if constexpr (std::is_same_v<TPicture, TBitmap>)
        return QtWrite(image.convertToFormat(QImage::Format_RGB32), "bmp");
    else
        return QtWrite(image, "png");
}

template <class TPicture> TPicture PictureOf(const QImage& image) {
    TPicture picture;
    picture.LoadFromMemory(EncodeAs<TPicture>(image));
    return picture;
}

std::uint32_t U32At(const QByteArray& data, int at) {
    return ReadU32(reinterpret_cast<const std::uint8_t*>(data.constData() + at));
}
std::uint16_t U16At(const QByteArray& data, int at) {
    return ReadU16(reinterpret_cast<const std::uint8_t*>(data.constData() + at));
}

TEST(IconWriter, ThirtyTwoPixelIconLayout) {
    const QByteArray ico = IconFor(PictureOf<TPngImage>(PhotoLike(40, 40)), true);
    ASSERT_EQ(ico.size(), 4286);
    const QByteArray directory(
        "\x00\x00\x01\x00\x01\x00\x20\x20\x20\x00\x00\x00\x00\x00\xA8\x10\x00\x00\x16\x00\x00\x00", 22);
    EXPECT_EQ(ico.left(22), directory);
    EXPECT_EQ(U32At(ico, 22), 40u);   // header size
    EXPECT_EQ(U32At(ico, 26), 32u);   // width
    EXPECT_EQ(U32At(ico, 30), 64u);   // colour rows and mask rows
    EXPECT_EQ(U16At(ico, 34), 1u);    // planes
    EXPECT_EQ(U16At(ico, 36), 32u);   // bits per pixel
    EXPECT_EQ(U32At(ico, 38), 0u);    // no compression
    EXPECT_EQ(U32At(ico, 42), 4096u); // colour rows only
    EXPECT_EQ(U32At(ico, 46), 0u);
    EXPECT_EQ(U32At(ico, 50), 0u);
    EXPECT_EQ(U32At(ico, 54), 0u); // no colour table above 8 bits
    EXPECT_EQ(U32At(ico, 58), 0u);
}

struct TSized {
    int Width, Height, Edge;
    qint64 FileSize;
};

class IconSize : public testing::TestWithParam<TSized> {};

TEST_P(IconSize, ScalesToASquare) {
    const TSized& c = GetParam();
    const QByteArray ico = IconFor(PictureOf<TBitmap>(PhotoLike(c.Width, c.Height)), false);
    EXPECT_EQ(ico.size(), c.FileSize);
    EXPECT_EQ(std::uint8_t(ico[6]), c.Edge & 0xFF);
    EXPECT_EQ(std::uint8_t(ico[7]), c.Edge & 0xFF);
    EXPECT_EQ(U32At(ico, 26), std::uint32_t(c.Edge));
    EXPECT_EQ(U32At(ico, 30), std::uint32_t(c.Edge * 2));
    const QImage qt = QtRead(ico, "ico");
    EXPECT_EQ(qt.size(), QSize(c.Edge, c.Edge));
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconSize,
                         testing::Values(TSized{100, 100, 64, 22 + 40 + 64 * 64 * 4 + 64 * 8},
                                         TSized{300, 300, 256, 22 + 40 + 256 * 256 * 4 + 256 * 32},
                                         TSized{20, 20, 16, 1150}, TSized{16, 16, 16, 1150},
                                         TSized{15, 15, 32, 4286}, TSized{300, 50, 32, 4286}));

// A 48 × 48 picture: white background, a red square, a white square inside it, a magenta
// bar, and a transparent (or, without alpha, white) bottom-left corner.
QImage KeyPicture(bool transparentCorner) {
    QImage image(48, 48, QImage::Format_RGBA8888);
    image.fill(Qt::white);
    for (int y = 8; y < 40; ++y)
        for (int x = 8; x < 40; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    for (int y = 16; y < 24; ++y)
        for (int x = 16; x < 24; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    for (int y = 30; y < 34; ++y)
        for (int x = 0; x < 48; ++x)
            image.setPixel(x, y, qRgb(255, 0, 255));
    if (transparentCorner)
        for (int y = 40; y < 48; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

TEST(IconWriter, TheBottomLeftColourIsTransparentEverywhere) {
    const QImage qt = QtRead(IconFor(PictureOf<TPngImage>(KeyPicture(false)), true), "ico");
    ASSERT_EQ(qt.size(), QSize(32, 32));
    EXPECT_EQ(qt.pixel(0, 31), qRgba(0, 0, 0, 0)); // the corner
    EXPECT_EQ(qAlpha(qt.pixel(13, 13)), 0);        // white inside the red square too
    EXPECT_EQ(qt.pixel(8, 8), qRgb(255, 0, 0));    // red stays
    EXPECT_EQ(qt.pixel(2, 20), qRgb(255, 0, 255)); // so does magenta
}

TEST(IconWriter, TransparentCornerTakesAllWhiteWithIt) {
    // Drawn over white, the transparent corner is white: every white pixel goes.
    const QImage qt = QtRead(IconFor(PictureOf<TPngImage>(KeyPicture(true)), true), "ico");
    EXPECT_EQ(qAlpha(qt.pixel(0, 31)), 0);
    EXPECT_EQ(qAlpha(qt.pixel(31, 0)), 0);
    EXPECT_EQ(qAlpha(qt.pixel(13, 13)), 0);
}

TEST(IconWriter, PinkMaskMakesOnlyMagentaTransparent) {
    ConversionSettings settings;
    settings.FixWhitePng = true;
    const QImage qt = QtRead(IconFor(PictureOf<TPngImage>(KeyPicture(true)), true, settings), "ico");
    EXPECT_EQ(qt.pixel(0, 31), qRgb(255, 255, 255)); // the transparent corner became opaque white
    EXPECT_EQ(qt.pixel(13, 13), qRgb(255, 255, 255));
    EXPECT_EQ(qt.pixel(2, 20), qRgba(0, 0, 0, 0)); // magenta
    EXPECT_EQ(qt.pixel(8, 8), qRgb(255, 0, 0));
}

TEST(IconWriter, ScalingDropsAndRepeatsWholePixels) {
    const QImage photo = PhotoLike(100, 70);
    const QImage qt = QtRead(IconFor(PictureOf<TPngImage>(photo), true), "ico");
    ASSERT_EQ(qt.size(), QSize(64, 64));
    const QRgb key = photo.pixel(0, 69);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb source = photo.pixel(x * 100 / 64, y * 70 / 64);
            ASSERT_EQ(qt.pixel(x, y), source == key ? qRgba(0, 0, 0, 0) : source) << x << "," << y;
        }
}

TEST(IconWriter, SmoothingChangesNothing) {
    const TPngImage picture = PictureOf<TPngImage>(PhotoLike(90, 90, true));
    ConversionSettings smooth, plain;
    smooth.SmoothSize = true;
    plain.SmoothSize = false;
    EXPECT_EQ(IconFor(picture, true, smooth), IconFor(picture, true, plain));
}

TEST(IconWriter, UltraHighResolutionOnlyForPngSources) {
    ConversionSettings ultra;
    ultra.UltraIcoRes = true;
    const TBitmap bitmap = PictureOf<TBitmap>(PhotoLike(90, 70));
    EXPECT_EQ(IconFor(bitmap, false, ultra), IconFor(bitmap, false));
    const QByteArray own = IconFor(PictureOf<TPngImage>(PhotoLike(90, 70)), true, ultra);
    EXPECT_EQ(U32At(own, 26), 90u);
    EXPECT_EQ(U32At(own, 30), 140u);
    EXPECT_EQ(std::uint8_t(own[6]), 90);
    EXPECT_EQ(std::uint8_t(own[7]), 70);
}

TEST(IconWriter, WideIconsWriteTheLowByteOfTheirWidth) {
    ConversionSettings ultra;
    ultra.UltraIcoRes = true;
    const QByteArray own = IconFor(PictureOf<TPngImage>(PhotoLike(300, 20)), true, ultra);
    EXPECT_EQ(std::uint8_t(own[6]), 44);
    EXPECT_EQ(U32At(own, 26), 300u);
}

TEST(IconWriter, RgbaPngKeepsItsAlphaAndMasksTheLowerHalf) {
    QImage image(256, 4, QImage::Format_RGBA8888);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 4; ++y)
            image.setPixel(x, y, qRgba(x, 255 - x, 7, x));
    const TIconImage icon = CreateIconFromPng(PictureOf<TPngImage>(image).Samples());
    ASSERT_EQ(icon.BitCount, 32);
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(icon.MaskBit(x, 2), x <= 127) << x;
        EXPECT_EQ(icon.Colour[std::size_t(2 * icon.ColourStride + x * 4 + 3)], x) << x;
    }
}

// ---- own-size icons of every kind of PNG ------------------------------------------------

std::vector<png_color> NoBlack(int count) {
    std::vector<png_color> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back({png_byte(20 + i * 7 % 200), png_byte(40 + i), png_byte(200 - i % 150)});
    return palette;
}

struct TOwnSize {
    const char* Name;
    int ColorType;
    int Depth;
    bool BlackInPalette;
    bool Transparent;
    int Bits; // expected depth of the icon
};

class OwnSizeIcon : public testing::TestWithParam<TOwnSize> {};

// The icon keeps each pixel's colour, and exactly the transparent-colour pixels are masked.
TEST_P(OwnSizeIcon, KeepsColoursAndTransparency) {
    const TOwnSize& c = GetParam();
    TPngFixture fixture;
    fixture.Width = 19;
    fixture.Height = 13;
    fixture.ColorType = c.ColorType;
    fixture.Depth = c.Depth;
    const int levels = 1 << std::min(c.Depth, 8);
    if (c.ColorType == PNG_COLOR_TYPE_PALETTE) {
        fixture.Palette = NoBlack(levels); // full: entries past a palette's end count as black
        if (c.BlackInPalette) fixture.Palette.back() = {0, 0, 0};
    }
    const unsigned colours =
        c.ColorType == PNG_COLOR_TYPE_PALETTE ? unsigned(fixture.Palette.size()) : unsigned(levels);
    TSampleFunction sample = [&](int x, int y, int ch) {
        if (c.ColorType == PNG_COLOR_TYPE_RGB)
            return unsigned((x * 40 + y * 9 + ch * 80) % 256) * (c.Depth == 16 ? 257 : 1);
        return unsigned(x + y * 2) % colours;
    };
    if (c.Transparent) {
        if (c.ColorType == PNG_COLOR_TYPE_PALETTE) {
            fixture.PaletteAlpha.assign(2, 255);
            fixture.PaletteAlpha[1] = 0;
        } else {
            fixture.TransparentColour = true;
            if (c.ColorType == PNG_COLOR_TYPE_GRAY)
                fixture.Transparent.gray = png_uint_16(sample(1, 0, 0));
            else
                fixture.Transparent = {0, png_uint_16(sample(1, 0, 0)), png_uint_16(sample(1, 0, 1)),
                                       png_uint_16(sample(1, 0, 2)), 0};
        }
    }
    const QByteArray png = PngFile(fixture, sample);
    const TIconImage icon = CreateIconFromPng(DecodePngSamples(png));
    EXPECT_EQ(icon.BitCount, c.Bits);
    const QByteArray ico = IcoFileBytes(icon);
    EXPECT_EQ(ico.size(), 22 + 40 + qsizetype(icon.ColourTable.size()) * 4 + icon.ColourStride * 13 +
                              icon.MaskStride * 13);
    const QImage qt = QtRead(ico, "ico");
    const QImage expected = QtRead(png, "png");
    ASSERT_FALSE(qt.isNull());
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 19; ++x) {
            const QRgb want = expected.pixel(x, y);
            if (qAlpha(want) == 0) {
                EXPECT_TRUE(icon.MaskBit(x, y)) << x << "," << y;
                if (icon.BitCount != 24) { // Qt skips the mask of 24-bit icons
                    EXPECT_EQ(qAlpha(qt.pixel(x, y)), 0) << x << "," << y;
                }
            } else {
                EXPECT_FALSE(icon.MaskBit(x, y)) << x << "," << y;
                // 24-bit icons show their colours; Qt leaves their mask unread.
                EXPECT_EQ(qt.pixel(x, y) | 0xFF000000, want | 0xFF000000) << x << "," << y;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OwnSizeIcon,
    testing::Values(TOwnSize{"Palette8BitKeyNoBlack", PNG_COLOR_TYPE_PALETTE, 8, false, true, 24},
                    TOwnSize{"Palette4BitKeyNoBlack", PNG_COLOR_TYPE_PALETTE, 4, false, true, 8},
                    TOwnSize{"Palette1BitKeyNoBlack", PNG_COLOR_TYPE_PALETTE, 1, false, true, 4},
                    TOwnSize{"Palette2BitKey", PNG_COLOR_TYPE_PALETTE, 2, false, true, 4}, // 2 bits read as 4
                    TOwnSize{"Palette8BitKeyWithBlack", PNG_COLOR_TYPE_PALETTE, 8, true, true, 8},
                    TOwnSize{"Palette4BitKeyWithBlack", PNG_COLOR_TYPE_PALETTE, 4, true, true, 4},
                    TOwnSize{"Palette4BitOpaque", PNG_COLOR_TYPE_PALETTE, 4, false, false, 4},
                    TOwnSize{"Palette1BitOpaque", PNG_COLOR_TYPE_PALETTE, 1, false, false, 1},
                    TOwnSize{"Grey8BitKey", PNG_COLOR_TYPE_GRAY, 8, true, true, 8},
                    TOwnSize{"Grey4BitOpaque", PNG_COLOR_TYPE_GRAY, 4, true, false, 4},
                    TOwnSize{"Grey16BitOpaque", PNG_COLOR_TYPE_GRAY, 16, true, false, 8},
                    TOwnSize{"RgbKey", PNG_COLOR_TYPE_RGB, 8, false, true, 24},
                    TOwnSize{"Rgb16Opaque", PNG_COLOR_TYPE_RGB, 16, false, false, 24}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IconWriter, PaletteWithPartialTransparencyKeepsItAsAlpha) {
    TPngFixture fixture;
    fixture.Width = 8;
    fixture.Height = 2;
    fixture.ColorType = PNG_COLOR_TYPE_PALETTE;
    fixture.Depth = 4;
    fixture.Palette = NoBlack(4);
    fixture.PaletteAlpha = {255, 0, 100, 200};
    const TIconImage icon = CreateIconFromPng(
        DecodePngSamples(PngFile(fixture, [](int x, int, int) { return unsigned(x % 4); })));
    ASSERT_EQ(icon.BitCount, 32);
    const std::uint8_t expected[4] = {255, 0, 100, 200};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(icon.Colour[std::size_t(x * 4 + 3)], expected[x % 4]);
        EXPECT_EQ(icon.MaskBit(x, 0), expected[x % 4] <= 127);
    }
}

TEST(IconWriter, KeyColourIconsAreOpaqueWhereTheMaskIsClear) {
    // Readers that take the fourth byte as alpha see what the mask says.
    const QByteArray ico = IconFor(PictureOf<TBitmap>(PhotoLike(32, 32)), false);
    const int colourStart = 22 + 40;
    int opaque = 0;
    for (int i = 0; i < 32 * 32; ++i)
        opaque += std::uint8_t(ico[colourStart + i * 4 + 3]) == 255;
    EXPECT_GT(opaque, 1000);
}

} // namespace
