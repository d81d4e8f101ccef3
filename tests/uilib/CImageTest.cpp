#include "CImage.h"

#include "ThemedWidgetTest.h"

#include <QPainter>

#include <stdexcept>

namespace {

struct DrawRectCase {
    const char* Name;
    TDrawMode Mode;
    QSize Picture;
    QSize Area;
    QRect Expected;
};

class DrawRectsTest : public testing::TestWithParam<DrawRectCase> {};

TEST_P(DrawRectsTest, PlacesThePicture) {
    const DrawRectCase& c = GetParam();
    const QVector<QRect> rects = ImageDrawRects(c.Mode, c.Picture, c.Area);
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects.first(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DrawRectsTest,
    testing::Values(
        DrawRectCase{
            "CenterFit", TDrawMode::CenterFit, {200, 100}, {100, 100}, QRect(QPoint(0, 25), QPoint(99, 74))},
        DrawRectCase{"CenterFill",
                     TDrawMode::CenterFill,
                     {200, 100},
                     {100, 100},
                     QRect(QPoint(-50, 0), QPoint(149, 99))},
        DrawRectCase{"Center3Fill",
                     TDrawMode::Center3Fill,
                     {200, 100},
                     {100, 100},
                     QRect(QPoint(-33, 0), QPoint(166, 99))},
        DrawRectCase{"Fit", TDrawMode::Fit, {200, 100}, {100, 100}, QRect(0, 0, 100, 50)},
        DrawRectCase{"Fill", TDrawMode::Fill, {200, 100}, {100, 100}, QRect(0, 0, 200, 100)},
        DrawRectCase{"Stretch", TDrawMode::Stretch, {200, 100}, {100, 100}, QRect(0, 0, 100, 100)},
        DrawRectCase{"Center", TDrawMode::Center, {40, 20}, {100, 100}, QRect(30, 40, 40, 20)},
        DrawRectCase{"Normal", TDrawMode::Normal, {40, 20}, {100, 100}, QRect(0, 0, 40, 20)},
        DrawRectCase{"EmptyPicture", TDrawMode::CenterFit, {0, 0}, {100, 70}, QRect(0, 0, 100, 70)}),
    [](const testing::TestParamInfo<DrawRectCase>& info) { return std::string(info.param.Name); });

TEST(ImageDrawRects, TileCoversTheControlWithWholeCopies) {
    const QVector<QRect> tiles = ImageDrawRects(TDrawMode::Tile, {30, 30}, {100, 70});
    EXPECT_EQ(tiles.size(), 4 * 3);
    EXPECT_EQ(tiles.first(), QRect(0, 0, 30, 30));
    EXPECT_EQ(tiles.last(), QRect(90, 60, 30, 30));
}

// Left half red, right half blue.
QImage HalfAndHalf() {
    QImage picture(20, 10, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 10, 10, Qt::red);
    painter.fillRect(10, 0, 10, 10, Qt::blue);
    return picture;
}

using ImageControlTest = ThemedWidgetTest;

TEST_F(ImageControlTest, FlipXMirrorsThePictureInTheSameArea) {
    CImage image;
    image.resize(40, 20);
    image.setDrawMode(TDrawMode::Stretch);
    image.setPicture(HalfAndHalf());
    EXPECT_TRUE(Near(PixelAt(Shot(image), 5, 10), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(PixelAt(Shot(image), 35, 10), QColor(0, 0, 255)));
    image.setFlipX(true);
    EXPECT_TRUE(Near(PixelAt(Shot(image), 5, 10), QColor(0, 0, 255)));
    EXPECT_TRUE(Near(PixelAt(Shot(image), 35, 10), QColor(255, 0, 0)));
}

TEST_F(ImageControlTest, OpacityAndInflationChangeTheDrawing) {
    QWidget parent;
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    parent.resize(40, 20);
    CImage image(&parent);
    image.setGeometry(0, 0, 40, 20);
    image.setDrawMode(TDrawMode::Stretch);
    image.setPicture(HalfAndHalf());
    image.setOpacity(128);
    EXPECT_TRUE(Near(PixelAt(Shot(parent), 5, 10), QColor(255, 127, 127), 4));
    image.setOpacity(255);
    image.setInflationValue(-5);
    EXPECT_TRUE(Near(PixelAt(Shot(parent), 2, 10), QColor(255, 255, 255)));
}

TEST_F(ImageControlTest, OpaqueOnlyWhenAnOpaquePictureCoversTheControl) {
    CImage image;
    image.resize(40, 20);
    image.show();
    EXPECT_FALSE(image.IsOpaque());
    image.setTransparent(false);
    EXPECT_FALSE(image.IsOpaque()); // no picture
    image.setDrawMode(TDrawMode::Stretch);
    image.setPicture(HalfAndHalf());
    EXPECT_TRUE(image.IsOpaque());
    image.setDrawMode(TDrawMode::CenterFit);
    image.resize(40, 40);
    EXPECT_FALSE(image.IsOpaque());
}

TEST_F(ImageControlTest, CanvasMakesABitmapOfTheControlsSizeAndAutoSizeFollowsThePicture) {
    CImage image;
    image.resize(30, 16);
    QImage& canvas = image.Canvas();
    EXPECT_EQ(canvas.size(), QSize(30, 16));
    image.setAutoSize(true);
    image.setPicture(HalfAndHalf());
    EXPECT_EQ(image.size(), QSize(20, 10));
    EXPECT_EQ(image.RotationAngle(), 0);
    image.setRotationAngle(90);
    EXPECT_EQ(image.RotationAngle(), 0);
}

TEST_F(ImageControlTest, AnimatedPictureHasNoBitmapToDrawOn) {
    const QString gif = QStringLiteral(BRENVALE_SOURCE_DIR "/resources/samples/spot.gif");
    CImage image;
    ASSERT_TRUE(image.LoadFromFile(gif));
    if (!image.IsAnimation()) GTEST_SKIP() << "the sample GIF has a single frame";
    EXPECT_THROW(image.Canvas(), std::logic_error);
}

TEST_F(ImageControlTest, UnreadableFileLeavesThePictureAlone) {
    CImage image;
    image.setPicture(HalfAndHalf());
    EXPECT_FALSE(image.LoadFromFile(QStringLiteral("/nonexistent/picture.png")));
    EXPECT_EQ(image.Picture().size(), QSize(20, 10));
}

} // namespace
