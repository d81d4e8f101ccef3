#include "GifCodec.h"
#include "ConversionJob.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace imagetest;

namespace {

QImage Frame(int width, int height, int shift, bool holes = false) {
    QImage image = CubeColours(PhotoLike(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (holes && (x + y) % 5 == 0)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
            else if (shift)
                image.setPixel(x, y, image.pixel((x + shift) % width, y));
        }
    return image;
}

TEST(GifCodec, AnAnimationGivesItsFirstFrame) {
    const QImage first = Frame(30, 20, 0), second = Frame(30, 20, 7);
    const QByteArray file = GifFile(30, 20, {{first}, {second}});
    const TRaster raster = DecodeGif(file);
    EXPECT_FALSE(raster.HasAlpha());
    EXPECT_EQ(Compare(ImageOf(raster), first).Max, 0);
    EXPECT_EQ(Compare(ImageOf(raster), QtRead(file, "gif")).Max, 0);
}

TEST(GifCodec, TheTransparentColourBecomesAlpha) {
    const QImage frame = Frame(30, 20, 0, true);
    const QByteArray file = GifFile(30, 20, {{frame}});
    const TRaster raster = DecodeGif(file);
    EXPECT_TRUE(raster.HasAlpha());
    const QImage image = ImageOf(raster);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 255);
    EXPECT_EQ(Compare(image, QtRead(file, "gif")).Max, 0);
}

TEST(GifCodec, InterlacedRowsComeBackInOrder) {
    const QImage frame = Frame(23, 19, 0);
    const QByteArray file = GifFile(23, 19, {{frame, 0, 0, true}});
    EXPECT_EQ(Compare(ImageOf(DecodeGif(file)), frame).Max, 0);
}

TEST(GifCodec, AFrameSmallerThanTheScreenSitsAtItsPlace) {
    const QImage frame = Frame(10, 6, 0);
    const TRaster raster = DecodeGif(GifFile(30, 20, {{frame, 5, 4}}));
    ASSERT_EQ(raster.Width(), 30);
    ASSERT_EQ(raster.Height(), 20);
    EXPECT_TRUE(raster.HasAlpha());
    const QImage image = ImageOf(raster);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(5, 4), frame.pixel(0, 0));
    EXPECT_EQ(image.pixel(14, 9), frame.pixel(9, 5));
    EXPECT_EQ(qAlpha(image.pixel(15, 10)), 0);
}

TEST(GifCodec, PhotographsKeepTheirLook) {
    const QImage photo = PhotoLike(120, 90);
    const QByteArray file = EncodeGif(RasterOf(photo));
    ASSERT_TRUE(file.startsWith("GIF8"));
    const QImage qt = QtRead(file, "gif");
    ASSERT_FALSE(qt.isNull());
    // Dithering trades each pixel's error for the right average over a neighbourhood.
    EXPECT_LT(Compare(qt, photo).Mean, 6.0);
    const QSize small(30, 22);
    EXPECT_LT(Compare(qt.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                      photo.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
                  .Mean,
              1.5);
    EXPECT_EQ(Compare(ImageOf(DecodeGif(file)), qt).Max, 0);
}

TEST(GifCodec, FewColoursSurviveExactly) {
    const QImage frame = Frame(64, 40, 0);
    const QImage qt = QtRead(EncodeGif(RasterOf(frame)), "gif");
    EXPECT_EQ(Compare(qt, frame).Max, 0);
}

TEST(GifCodec, TransparencyIsKeptAsOneColour) {
    const QImage photo = PhotoLike(80, 40, true); // alpha ramps from 0 (left) to 255
    const QByteArray file = EncodeGif(RasterOf(photo));
    EXPECT_TRUE(file.startsWith("GIF89a"));
    const QImage qt = QtRead(file, "gif");
    for (int x = 0; x < 80; ++x)
        EXPECT_EQ(qAlpha(qt.pixel(x, 20)), 255.0 * x / 80 < 128 ? 0 : 255) << x;
}

TEST(GifCodec, TinyAndEmptyPictures) {
    QImage one(1, 1, QImage::Format_RGBA8888);
    one.fill(QColor(10, 20, 30));
    EXPECT_EQ(Compare(QtRead(EncodeGif(RasterOf(one)), "gif"), one).Max, 0);
    QImage clear(3, 2, QImage::Format_RGBA8888);
    clear.fill(Qt::transparent);
    const QImage qt = QtRead(EncodeGif(RasterOf(clear)), "gif");
    EXPECT_EQ(qAlpha(qt.pixel(2, 1)), 0);
}

TEST(GifCodec, ATinyFileCannotClaimAVastScreen) {
    const QByteArray file = GifFile(8000, 8000, {{Frame(1, 1, 0)}});
    ASSERT_LT(file.size(), 1000);
    EXPECT_THROW(DecodeGif(file), ConversionError);
    // A modest screen around a small frame stays readable.
    EXPECT_EQ(DecodeGif(GifFile(2000, 2000, {{Frame(10, 10, 0)}})).Width(), 2000);
}

TEST(GifCodec, RefusesBadFiles) {
    const QByteArray valid = GifFile(30, 20, {{Frame(30, 20, 0)}});
    EXPECT_THROW(DecodeGif(QByteArray()), ConversionError);
    EXPECT_THROW(DecodeGif(valid.left(13)), ConversionError);
    EXPECT_THROW(DecodeGif(valid.left(valid.size() / 2)), ConversionError);
    EXPECT_THROW(DecodeGif(QByteArray("GIF89a") + QByteArray(30, '\0')), ConversionError);
    EXPECT_THROW(DecodeGif(QtWrite(PhotoLike(8, 8), "png")), ConversionError);
    QByteArray huge = valid;
    huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF); // a 65535 × 65535 screen
    const qint64 previous = MaxPicturePixels();
    SetMaxPicturePixels(1 << 24);
    EXPECT_THROW(DecodeGif(huge), ConversionError);
    SetMaxPicturePixels(previous);
}

} // namespace
