#include "DesktopCaptureCache.h"
#include "TestApplication.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Placement = DesktopWallpaper::Placement;
using Setting = DesktopWallpaper::Setting;
using namespace std::chrono_literals;

const QColor Red(220, 0, 0);
const QColor Blue(0, 0, 220);
const QColor Backdrop(20, 200, 20);
const DesktopWallpaper::Rgb BackdropRgb{20, 200, 20};

bool Near(const QColor& actual, const QColor& expected, int tolerance = 3) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool Uniform(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != colour) return false;
    return true;
}

class DesktopCaptureCacheTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(FFolder.isValid());
        // 100 x 50, red on the left half, blue on the right.
        QImage picture(100, 50, QImage::Format_RGB32);
        picture.fill(Red);
        for (int y = 0; y < 50; ++y)
            for (int x = 50; x < 100; ++x)
                picture.setPixelColor(x, y, Blue);
        FPicture = FFolder.filePath("halves.png");
        ASSERT_TRUE(picture.save(FPicture));

        FXClock::SetSource([this] { return FNow; });
        Cache().Clear();
        Cache().SetSources({[this] { return FMonitors; }, [this] { return FSetting; },
                            [this] { return FFileSize; },
                            [this](const QRect& desktop) {
                                FGrabbedRect = desktop;
                                return FScreen;
                            }});
    }

    void TearDown() override {
        Cache().SetSources({});
        Cache().Clear();
        FXClock::SetSource({});
    }

    static DesktopCaptureCache& Cache() { return DesktopCaptureCache::Instance(); }

    QColor At(const QImage& image, int x, int y) const { return image.pixelColor(x, y); }

    QTemporaryDir FFolder;
    QString FPicture;
    FXClock::TimePoint FNow = FXClock::TimePoint(100s);
    QList<QRect> FMonitors{QRect(0, 0, 200, 200)};
    Setting FSetting;
    qint64 FFileSize = -1;
    QImage FScreen;
    QRect FGrabbedRect;
};

struct PlacementCase {
    Placement fill;
    // Points of a 200 x 200 monitor with the colour each must show.
    std::vector<std::pair<QPoint, QColor>> points;
};

class RenderDesktopTest : public DesktopCaptureCacheTest,
                          public testing::WithParamInterface<PlacementCase> {};

TEST_P(RenderDesktopTest, PictureIsPlacedOnTheMonitorOverTheColour) {
    const QImage desktop =
        DesktopCaptureCache::RenderDesktop(Setting{FPicture, GetParam().fill, BackdropRgb}, FMonitors);
    ASSERT_EQ(desktop.size(), QSize(200, 200));
    for (const auto& [point, colour] : GetParam().points)
        EXPECT_TRUE(Near(At(desktop, point.x(), point.y()), colour))
            << point.x() << "," << point.y() << " is "
            << At(desktop, point.x(), point.y()).name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Placements, RenderDesktopTest,
    testing::Values(
        // Stretched over 200 x 200.
        PlacementCase{Placement::Stretched, {{{10, 5}, Red}, {{190, 195}, Blue}}},
        // Zoomed to 400 x 200 and centred: the middle half of the picture shows.
        PlacementCase{Placement::Zoom,
                      {{{5, 2}, Red}, {{95, 197}, Red}, {{105, 2}, Blue}, {{195, 197}, Blue}}},
        // Fitted to 200 x 100, centred: bars of the colour above and below.
        PlacementCase{Placement::Scaled,
                      {{{100, 20}, Backdrop}, {{100, 180}, Backdrop}, {{10, 100}, Red}, {{190, 100}, Blue}}},
        // At its own size in the middle.
        PlacementCase{Placement::Centered,
                      {{{10, 10}, Backdrop}, {{60, 100}, Red}, {{140, 100}, Blue}, {{160, 100}, Backdrop}}},
        // Repeated from the top-left corner.
        PlacementCase{Placement::Tiled,
                      {{{10, 10}, Red}, {{60, 10}, Blue}, {{110, 60}, Red}, {{160, 160}, Blue}}},
        PlacementCase{Placement::None,
                      {{{10, 10}, Backdrop}, {{100, 100}, Backdrop}, {{190, 190}, Backdrop}}}));

TEST_F(DesktopCaptureCacheTest, EveryMonitorGetsThePictureUnlessItIsSpanned) {
    FMonitors = {QRect(-200, 0, 200, 200), QRect(0, 0, 200, 200)};
    const QImage each =
        DesktopCaptureCache::RenderDesktop(Setting{FPicture, Placement::Stretched, {}}, FMonitors);
    ASSERT_EQ(each.size(), QSize(400, 200));
    EXPECT_TRUE(Near(At(each, 10, 100), Red));
    EXPECT_TRUE(Near(At(each, 190, 100), Blue));
    EXPECT_TRUE(Near(At(each, 210, 100), Red));

    const QImage spanned =
        DesktopCaptureCache::RenderDesktop(Setting{FPicture, Placement::Spanned, {}}, FMonitors);
    EXPECT_TRUE(Near(At(spanned, 190, 100), Red));
    EXPECT_TRUE(Near(At(spanned, 210, 100), Blue));
}

TEST_F(DesktopCaptureCacheTest, WithoutPictureOrColourTheDesktopIsTheFallbackColour) {
    const QImage nothing = DesktopCaptureCache::RenderDesktop(Setting{}, FMonitors);
    EXPECT_TRUE(Uniform(nothing, QColor::fromRgb(DesktopCaptureCache::FallbackColor)));
    // A picture that cannot be read leaves the colour.
    const QImage unreadable = DesktopCaptureCache::RenderDesktop(
        Setting{FFolder.filePath("missing.jpg"), Placement::Zoom, BackdropRgb}, FMonitors);
    EXPECT_TRUE(Uniform(unreadable, Backdrop));
    EXPECT_TRUE(DesktopCaptureCache::RenderDesktop(Setting{}, {}).isNull());
}

TEST_F(DesktopCaptureCacheTest, WallpaperCaptureKeepsPlainAndBlurredCopiesWithItsMarker) {
    FMonitors = {QRect(100, 50, 640, 200)};
    FSetting = Setting{FPicture, Placement::Stretched, {}};
    FFileSize = 777;
    Cache().CaptureWallpaper();

    const QImage& plain = Cache().Wallpaper();
    const QImage& blurred = Cache().WallpaperBlurred();
    ASSERT_EQ(plain.size(), QSize(640, 200));
    ASSERT_EQ(blurred.size(), QSize(640, 200));
    EXPECT_EQ(Cache().ImageRect(FXBlurVersion::Wallpaper), QRect(100, 50, 640, 200));
    EXPECT_EQ(Cache().WallpaperFileSize(), 777);
    EXPECT_EQ(Cache().LastCapture(), FNow);
    EXPECT_FALSE(Cache().Capturing());
    // The sharp edge in the middle becomes a ramp in the blurred copy only.
    EXPECT_TRUE(Near(At(plain, 310, 100), Red));
    EXPECT_TRUE(Near(At(plain, 330, 100), Blue));
    const QColor middle = At(blurred, 320, 100);
    EXPECT_GT(middle.red(), 40);
    EXPECT_GT(middle.blue(), 40);
    EXPECT_TRUE(Near(At(blurred, 5, 100), Red));
    EXPECT_TRUE(Near(At(blurred, 635, 100), Blue));
}

TEST_F(DesktopCaptureCacheTest, MissingEverythingCapturesTheFallbackColour) {
    Cache().CaptureWallpaper();
    const QColor fallback = QColor::fromRgb(DesktopCaptureCache::FallbackColor);
    EXPECT_TRUE(Uniform(Cache().Wallpaper(), fallback));
    EXPECT_TRUE(Uniform(Cache().WallpaperBlurred(), fallback));
    EXPECT_EQ(Cache().WallpaperFileSize(), -1);
    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::WallpaperBlurred));
}

TEST_F(DesktopCaptureCacheTest, WallpaperIsOutdatedOnlyWhenItsFileSizeChanges) {
    FFileSize = 1000;
    Cache().CaptureWallpaper();
    FNow += 1h;
    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::Wallpaper));
    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::WallpaperBlurred));
    FFileSize = 1001;
    EXPECT_TRUE(Cache().IsOutdated(FXBlurVersion::Wallpaper));
    EXPECT_TRUE(Cache().IsOutdated(FXBlurVersion::WallpaperBlurred));
    FFileSize = -1;
    EXPECT_TRUE(Cache().IsOutdated(FXBlurVersion::Wallpaper));
    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::None));
}

TEST_F(DesktopCaptureCacheTest, ScreenCaptureIsBlurredAndRenewedAfterASecond) {
    FMonitors = {QRect(0, 0, 160, 80), QRect(160, 0, 160, 80)};
    FScreen = QImage(320, 80, QImage::Format_RGB32);
    FScreen.fill(Blue);
    EXPECT_TRUE(Cache().IsOutdated(FXBlurVersion::Screenshot));
    Cache().CaptureScreen();
    EXPECT_EQ(FGrabbedRect, QRect(0, 0, 320, 80));
    EXPECT_EQ(Cache().ScreenshotBlurred().size(), QSize(320, 80));
    EXPECT_TRUE(Uniform(Cache().ScreenshotBlurred(), Blue));
    EXPECT_TRUE(Cache().Wallpaper().isNull());

    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::Screenshot));
    FNow += 1000ms;
    EXPECT_FALSE(Cache().IsOutdated(FXBlurVersion::Screenshot));
    FNow += 1ms;
    EXPECT_TRUE(Cache().IsOutdated(FXBlurVersion::Screenshot));
}

TEST_F(DesktopCaptureCacheTest, WithoutScreenCaptureTheWallpaperStandsIn) {
    FSetting = Setting{{}, Placement::None, BackdropRgb};
    Cache().CaptureScreen();
    EXPECT_TRUE(Uniform(Cache().ScreenshotBlurred(), Backdrop));
    EXPECT_TRUE(Uniform(Cache().Wallpaper(), Backdrop));
    EXPECT_EQ(Cache().ImageRect(FXBlurVersion::Screenshot), QRect(0, 0, 200, 200));
}

TEST_F(DesktopCaptureCacheTest, RebuildTakesTheCaptureOfTheVersion) {
    FSetting = Setting{{}, Placement::None, BackdropRgb};
    FScreen = QImage(200, 200, QImage::Format_RGB32);
    FScreen.fill(Red);
    Cache().Rebuild(FXBlurVersion::None);
    EXPECT_TRUE(Cache().Wallpaper().isNull());
    EXPECT_TRUE(Cache().ScreenshotBlurred().isNull());
    Cache().Rebuild(FXBlurVersion::Wallpaper);
    EXPECT_FALSE(Cache().Wallpaper().isNull());
    EXPECT_TRUE(Cache().ScreenshotBlurred().isNull());
    Cache().Rebuild(FXBlurVersion::Screenshot);
    EXPECT_TRUE(Uniform(Cache().Image(FXBlurVersion::Screenshot), Red));
    EXPECT_TRUE(Cache().Image(FXBlurVersion::None).isNull());
}

TEST_F(DesktopCaptureCacheTest, SectionIsThePartUnderAScreenRectangle) {
    FMonitors = {QRect(-100, 0, 200, 200)};
    FSetting = Setting{FPicture, Placement::Stretched, {}};
    EXPECT_TRUE(Cache().Section(FXBlurVersion::Wallpaper, QRect(0, 0, 10, 10)).isNull());
    Cache().CaptureWallpaper();

    const QImage left = Cache().Section(FXBlurVersion::Wallpaper, QRect(-90, 10, 20, 30));
    ASSERT_EQ(left.size(), QSize(20, 30));
    EXPECT_TRUE(Uniform(left, Red));
    const QImage right = Cache().Section(FXBlurVersion::Wallpaper, QRect(20, 10, 20, 30));
    EXPECT_TRUE(Uniform(right, Blue));
    // Beyond the desktop there is nothing to show.
    const QImage outside = Cache().Section(FXBlurVersion::Wallpaper, QRect(95, 0, 10, 10));
    EXPECT_TRUE(Near(At(outside, 2, 5), Blue));
    EXPECT_EQ(At(outside, 8, 5), QColor(Qt::black));
    EXPECT_TRUE(Cache().Section(FXBlurVersion::None, QRect(0, 0, 10, 10)).isNull());
}

TEST_F(DesktopCaptureCacheTest, CaptureInProgressIsFlaggedAndClearedAfterAnError) {
    bool seen = false;
    Cache().SetSources({[this] { return FMonitors; },
                        [&seen] {
                            seen = Cache().Capturing();
                            return Setting{};
                        },
                        [] { return qint64(5); },
                        {}});
    Cache().CaptureWallpaper();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(Cache().Capturing());

    Cache().SetSources({[this] { return FMonitors; },
                        []() -> Setting { throw std::runtime_error("no desktop"); },
                        [] { return qint64(5); },
                        {}});
    EXPECT_THROW(Cache().CaptureWallpaper(), std::runtime_error);
    EXPECT_FALSE(Cache().Capturing());
}

} // namespace
