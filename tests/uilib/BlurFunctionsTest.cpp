#include "BlurFunctions.h"
#include "TestApplication.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

QImage Filled(int width, int height, QColor color, QImage::Format format = QImage::Format_RGB888) {
    QImage image(width, height, format);
    image.fill(color);
    return image;
}

// The sampled, normalised Gaussian, computed here without the library's kernel.
double Gauss(int d, double radius) {
    double total = 0.0;
    for (int j = -200; j <= 200; ++j)
        total += std::exp(-double(j) * j / (2.0 * radius * radius));
    return std::exp(-double(d) * d / (2.0 * radius * radius)) / total;
}

// Every pixel of the image, as (red, green, blue) of the 24-bit layout.
int Channel(const QImage& image, int x, int y, int channel) {
    return image.constScanLine(y)[x * 3 + channel];
}

class BlurFunctionsTest : public testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
};

TEST_F(BlurFunctionsTest, KernelIsSymmetricNormalisedAndAtMost101Taps) {
    for (double radius : {0.3, 1.0, 2.5, 8.0, 16.0, 50.0, 1000.0}) {
        const FXGaussianKernel kernel = MakeGaussianKernel(radius);
        ASSERT_GE(kernel.Size, 1) << radius;
        ASSERT_LE(kernel.Size, FXGaussianKernel::MaxSize) << radius;
        double total = 0.0;
        for (int j = -kernel.Size; j <= kernel.Size; ++j) {
            total += kernel.Weight(j);
            if (j != 0) {
                EXPECT_FLOAT_EQ(kernel.Weight(j), kernel.Weight(-j)) << radius;
            }
        }
        EXPECT_NEAR(total, 1.000001, 1e-6) << radius;
    }
}

struct HalfWidthCase {
    double radius;
    int size;
};

class KernelHalfWidthTest : public testing::TestWithParam<HalfWidthCase> {};

// Trimming stops with the tap whose tails bring the dropped weight to half a
// level (1/510): for radius 3 the tails from 9 on weigh about 0.0022.
TEST_P(KernelHalfWidthTest, TailsWorthHalfALevelAreDropped) {
    EXPECT_EQ(MakeGaussianKernel(GetParam().radius).Size, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Radii, KernelHalfWidthTest,
                         testing::Values(HalfWidthCase{0.3, 1}, HalfWidthCase{1.0, 2}, HalfWidthCase{2.0, 5},
                                         HalfWidthCase{3.0, 8}, HalfWidthCase{8.0, 24},
                                         HalfWidthCase{16.0, 46}, HalfWidthCase{1000.0, 49}));

TEST_F(BlurFunctionsTest, RadiusThatIsNotPositiveLeavesThePictureAlone) {
    QImage image = Filled(5, 5, Qt::black);
    image.scanLine(2)[6] = 255;
    const QImage before = image;
    for (double radius : {0.0, -3.0, std::nan("")}) {
        EXPECT_EQ(MakeGaussianKernel(radius).Size, 0);
        GaussianBlur(image, radius);
        EXPECT_EQ(image, before);
    }
}

TEST_F(BlurFunctionsTest, SingleWhitePixelSpreadsAsAGaussian) {
    constexpr int Size = 41, Centre = 20;
    constexpr double Radius = 2.0;
    QImage image = Filled(Size, Size, Qt::black);
    std::memset(image.scanLine(Centre) + Centre * 3, 255, 3);
    GaussianBlur(image, Radius);

    long energy = 0;
    int lit = 0;
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            const double expected = 255.0 * Gauss(x - Centre, Radius) * Gauss(y - Centre, Radius);
            for (int c = 0; c < 3; ++c) {
                // Each of the two passes truncates to whole levels.
                EXPECT_NEAR(Channel(image, x, y, c), expected, 2.0) << x << "," << y;
                EXPECT_EQ(Channel(image, x, y, c), Channel(image, x, y, 0));
            }
            energy += Channel(image, x, y, 0);
            lit += expected >= 0.5;
        }
    }
    EXPECT_EQ(Channel(image, Centre, Centre, 0), int(255.0 * Gauss(0, Radius) * Gauss(0, Radius)));
    // Nothing is created; what is lost is below one level for each pixel the light reaches.
    EXPECT_LE(energy, 255);
    EXPECT_GT(energy, 255 - lit);
}

TEST_F(BlurFunctionsTest, StepEdgeBecomesASymmetricMonotoneRamp) {
    constexpr int Width = 64, Height = 9, Edge = 32;
    QImage image = Filled(Width, Height, Qt::black);
    for (int y = 0; y < Height; ++y)
        std::memset(image.scanLine(y) + Edge * 3, 255, (Width - Edge) * 3);
    GaussianBlur(image, 4.0);

    for (int y = 0; y < Height; ++y) {
        EXPECT_EQ(Channel(image, 0, y, 0), 0);
        EXPECT_EQ(Channel(image, Width - 1, y, 0), 255);
        for (int x = 1; x < Width; ++x)
            EXPECT_GE(Channel(image, x, y, 1), Channel(image, x - 1, y, 1)) << x;
        // Mirrored around the edge the ramp adds up to white, up to truncation.
        for (int k = 0; k < Edge; ++k)
            EXPECT_NEAR(Channel(image, Edge - 1 - k, y, 2) + Channel(image, Edge + k, y, 2), 255, 1) << k;
        for (int x = 0; x < Width; ++x)
            EXPECT_EQ(Channel(image, x, y, 0), Channel(image, x, 0, 0));
    }
    EXPECT_GT(Channel(image, Edge - 3, 0, 0), 0);
    EXPECT_LT(Channel(image, Edge + 2, 0, 0), 255);
}

TEST_F(BlurFunctionsTest, UniformPicturesKeepTheirExactValueAtAnyRadius) {
    for (double radius : {0.5, 1.0, 3.0, 8.0, 16.0, 33.3, 50.0, 1000.0}) {
        for (int level = 0; level <= 255; ++level) {
            QImage image = Filled(7, 5, QColor(level, level, 255 - level));
            const QImage before = image;
            GaussianBlur(image, radius);
            ASSERT_EQ(image, before) << "radius " << radius << " level " << level;
        }
    }
}

TEST_F(BlurFunctionsTest, OnlyTwentyFourBitPicturesAreBlurred) {
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
          QImage::Format_Grayscale8, QImage::Format_BGR888, QImage::Format_RGB16}) {
        QImage image = Filled(4, 4, Qt::white, format);
        try {
            GaussianBlur(image, 2.0);
            ADD_FAILURE() << "no error for format " << format;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "GaussianBlur only works for 24-bit bitmaps");
        }
    }
    QImage null;
    EXPECT_THROW(GaussianBlur(null, 2.0), std::invalid_argument);
}

TEST_F(BlurFunctionsTest, PicturesOfOnePixelAndOneLineAreBlurredWithoutReachingOutside) {
    QImage pixel = Filled(1, 1, QColor(10, 20, 30));
    GaussianBlur(pixel, 8.0);
    EXPECT_EQ(pixel.pixelColor(0, 0), QColor(10, 20, 30));

    QImage line = Filled(50, 1, Qt::black);
    std::memset(line.scanLine(0), 255, 25 * 3);
    GaussianBlur(line, 3.0);
    EXPECT_EQ(Channel(line, 0, 0, 0), 255);
    EXPECT_EQ(Channel(line, 49, 0, 0), 0);
}

TEST_F(BlurFunctionsTest, ReducedCopyIsAtLeastFourPixelsASide) {
    EXPECT_EQ(FastBlurReducedSize({3, 3}, 10), QSize(4, 4));
    EXPECT_EQ(FastBlurReducedSize({1920, 1080}, 10), QSize(192, 108));
    EXPECT_EQ(FastBlurReducedSize({1920, 1080}, 8), QSize(240, 135));
    EXPECT_EQ(FastBlurReducedSize({100, 30}, 0), QSize(100, 30));
    EXPECT_EQ(FastBlurReducedSize({100, 30}, -5), QSize(100, 30));
}

TEST_F(BlurFunctionsTest, FastBlurKeepsAUniformPictureUniform) {
    const QColor colour(90, 140, 200);
    for (FXBlurReduction reduction : {FXBlurReduction::Plain, FXBlurReduction::High}) {
        for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
            for (QSize size : {QSize(200, 150), QSize(3, 3), QSize(37, 501)}) {
                QImage image = Filled(size.width(), size.height(), colour, format);
                const QImage before = image;
                FastBlur(image, 10, reduction, 8.0);
                EXPECT_EQ(image, before) << size.width() << "x" << size.height();
            }
        }
    }
}

TEST_F(BlurFunctionsTest, FastBlurSoftensAnEdge) {
    QImage image = Filled(200, 40, Qt::black);
    for (int y = 0; y < 40; ++y)
        std::memset(image.scanLine(y) + 100 * 3, 255, 100 * 3);
    FastBlur(image, 8, FXBlurReduction::Plain, 3.0);
    int ramp = 0;
    for (int x = 0; x < 200; ++x) {
        const int value = Channel(image, x, 20, 0);
        if (x > 0) {
            EXPECT_GE(value, Channel(image, x - 1, 20, 0));
        }
        ramp += value > 10 && value < 245;
    }
    EXPECT_GT(ramp, 20);
    EXPECT_EQ(Channel(image, 0, 20, 0), 0);
    EXPECT_EQ(Channel(image, 199, 20, 0), 255);
}

TEST_F(BlurFunctionsTest, FastBlurTakesPicturesAPainterCannotDrawOn) {
    QImage image = Filled(20, 20, Qt::white).convertToFormat(QImage::Format_Indexed8);
    FastBlur(image, 4, FXBlurReduction::High, 2.0);
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));

    QImage null;
    FastBlur(null, 10, FXBlurReduction::Plain, 8.0);
    EXPECT_TRUE(null.isNull());
}

TEST_F(BlurFunctionsTest, MirroredEdgesLeaveNoDarkFringeWhenEnlarging) {
    const QColor colour(200, 120, 40);
    const QImage small = Filled(4, 3, colour);
    for (QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        QImage target = Filled(60, 45, Qt::black, format);
        QPainter painter(&target);
        DrawBitmap(painter, QRectF(target.rect()), small, FXBitmapEdges::Mirrored, FXBitmapQuality::Bilinear,
                   255);
        painter.end();
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                ASSERT_EQ(target.pixelColor(x, y), colour) << x << "," << y;
    }
}

TEST_F(BlurFunctionsTest, MirroredEdgesKeepEachCornerColour) {
    QImage corners(2, 2, QImage::Format_RGB888);
    corners.setPixelColor(0, 0, QColor(255, 0, 0));
    corners.setPixelColor(1, 0, QColor(0, 255, 0));
    corners.setPixelColor(0, 1, QColor(0, 0, 255));
    corners.setPixelColor(1, 1, QColor(255, 255, 255));
    QImage target = Filled(40, 40, Qt::black, QImage::Format_RGB32);
    QPainter painter(&target);
    DrawBitmap(painter, QRectF(target.rect()), corners, FXBitmapEdges::Mirrored, FXBitmapQuality::Bilinear,
               255);
    painter.end();
    EXPECT_EQ(target.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(target.pixelColor(39, 0), QColor(0, 255, 0));
    EXPECT_EQ(target.pixelColor(0, 39), QColor(0, 0, 255));
    EXPECT_EQ(target.pixelColor(39, 39), QColor(255, 255, 255));
}

TEST_F(BlurFunctionsTest, AlphaScalesTheOpacityAndThePicturesOwnAlphaIsKept) {
    QImage target = Filled(10, 10, Qt::black, QImage::Format_RGB32);
    QPainter painter(&target);
    DrawBitmap(painter, QRectF(0, 0, 10, 10), Filled(5, 5, Qt::white), FXBitmapEdges::Plain,
               FXBitmapQuality::Bilinear, 128);
    painter.end();
    EXPECT_NEAR(target.pixelColor(5, 5).red(), 128, 1);

    QImage clear = Filled(10, 10, QColor(0, 0, 255), QImage::Format_RGB32);
    QPainter over(&clear);
    DrawBitmap(over, QRectF(0, 0, 10, 10), Filled(5, 5, QColor(255, 0, 0, 0), QImage::Format_ARGB32),
               FXBitmapEdges::Mirrored, FXBitmapQuality::High, 255);
    over.end();
    EXPECT_EQ(clear.pixelColor(5, 5), QColor(0, 0, 255));
}

TEST_F(BlurFunctionsTest, EmptyPicturesAndRectanglesDrawNothing) {
    QImage target = Filled(10, 10, Qt::black, QImage::Format_RGB32);
    const QImage before = target;
    QPainter painter(&target);
    DrawBitmap(painter, QRectF(0, 0, 10, 10), QImage(), FXBitmapEdges::Mirrored, FXBitmapQuality::High, 255);
    DrawBitmap(painter, QRectF(2, 2, 0, 5), Filled(3, 3, Qt::white), FXBitmapEdges::Plain,
               FXBitmapQuality::Bilinear, 255);
    painter.end();
    EXPECT_EQ(target, before);
}

TEST_F(BlurFunctionsTest, HighQualityReductionAveragesEverySourcePixel) {
    QImage checker(100, 100, QImage::Format_RGB888);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            checker.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
    QImage target = Filled(10, 10, Qt::red, QImage::Format_RGB32);
    QPainter painter(&target);
    DrawBitmap(painter, QRectF(target.rect()), checker, FXBitmapEdges::Mirrored, FXBitmapQuality::High, 255);
    painter.end();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_NEAR(target.pixelColor(x, y).green(), 127, 8) << x << "," << y;
}

TEST_F(BlurFunctionsTest, HighQualityReductionCountsDevicePixels) {
    // Drawn at 10 x 10 logical pixels on a target of twice the density, each of the
    // 20 x 20 device pixels averages a 2 x 2 block: columns of black and white
    // pairs stay apart instead of turning grey.
    QImage stripes(40, 40, QImage::Format_RGB888);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            stripes.setPixelColor(x, y, (x / 2) % 2 ? Qt::white : Qt::black);
    QImage target = Filled(20, 20, Qt::red, QImage::Format_RGB32);
    target.setDevicePixelRatio(2.0);
    QPainter painter(&target);
    DrawBitmap(painter, QRectF(0, 0, 10, 10), stripes, FXBitmapEdges::Plain, FXBitmapQuality::High, 255);
    painter.end();
    for (int x = 0; x < 20; ++x)
        EXPECT_NEAR(target.pixelColor(x, 10).green(), x % 2 ? 255 : 0, 8) << x;
}

} // namespace
