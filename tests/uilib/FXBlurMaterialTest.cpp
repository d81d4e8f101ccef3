#include "FXBlurMaterial.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXDrawing.h"
#include "FXForm.h"

#include "ThemedWidgetTest.h"

#include <QPainter>
#include <QTemporaryDir>

namespace {

const QColor Red(220, 0, 0);
const QColor Blue(0, 0, 220);
const QColor Green(0, 180, 0);

// A colour under a tint of the given colour and alpha.
QColor Tinted(const QColor& under, const QColor& tint, int alpha) {
    const auto mix = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha) / 255; };
    return QColor(mix(under.red(), tint.red()), mix(under.green(), tint.green()),
                  mix(under.blue(), tint.blue()));
}

// The desktop of these tests: one 400 x 300 monitor whose wallpaper is red on
// the left half and blue on the right, and a screen that captures as green.
class BlurMaterialTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        ASSERT_TRUE(FFolder.isValid());
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Red);
        QPainter(&picture).fillRect(200, 0, 200, 300, Blue);
        FPicture = FFolder.filePath("halves.png");
        ASSERT_TRUE(picture.save(FPicture));
        Cache().Clear();
        Cache().SetSources(
            {[] { return QList<QRect>{QRect(0, 0, 400, 300)}; },
             [this] {
                 return DesktopWallpaper::Setting{FPicture, DesktopWallpaper::Placement::Stretched, {}};
             },
             [this] { return FFileSize; },
             [](const QRect& desktop) {
                 QImage screen(desktop.size(), QImage::Format_RGB32);
                 screen.fill(Green);
                 return screen;
             }});
        FForm = std::make_unique<FXForm>();
        FForm->setAllowThemeChangeAnimation(false);
        FForm->setGeometry(0, 0, 180, 160);
        FMaterial = new FXBlurMaterial(FForm.get());
        FMaterial->setGeometry(0, 40, 100, 100);
    }
    void TearDown() override {
        FForm.reset();
        Cache().SetSources({});
        Cache().Clear();
        ThemedWidgetTest::TearDown();
    }
    static DesktopCaptureCache& Cache() { return DesktopCaptureCache::Instance(); }

    QColor Centre() const {
        const QImage& buffer = FMaterial->Buffer();
        return buffer.pixelColor(buffer.width() / 2, buffer.height() / 2);
    }
    void ShowAt(const QPoint& position) {
        FForm->move(position);
        FForm->show();
        ASSERT_TRUE(Eventually([&] { return FForm->isVisible() && FForm->pos() == position; }));
    }

    QTemporaryDir FFolder;
    QString FPicture;
    qint64 FFileSize = 1000;
    std::unique_ptr<FXForm> FForm;
    FXBlurMaterial* FMaterial = nullptr;
};

TEST_F(BlurMaterialTest, LightThemeTintsWhiteAt200AndDarkThemeBlackAt75) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    ShowAt(QPoint(0, 0));
    EXPECT_EQ(FMaterial->Background(), 0xFFFFFFu);
    EXPECT_TRUE(Near(Centre(), Tinted(Red, Qt::white, 200))) << Centre().name().toStdString();

    SetDark(true);
    EXPECT_EQ(FMaterial->Background(), 0x000000u);
    EXPECT_TRUE(Near(Centre(), Tinted(Red, Qt::black, 75))) << Centre().name().toStdString();
}

TEST_F(BlurMaterialTest, WithoutTintingTheWallpaperShowsAsItIs) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    FMaterial->setEnableTinting(false);
    ShowAt(QPoint(0, 0));
    EXPECT_TRUE(Near(Centre(), Red));
    EXPECT_TRUE(Near(FMaterial->Buffer().pixelColor(0, 0), Red));
}

TEST_F(BlurMaterialTest, AutomaticMaterialFollowsItsFormAcrossTheWallpaper) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    FMaterial->setEnableTinting(false);
    ShowAt(QPoint(0, 0));
    ASSERT_TRUE(Near(Centre(), Red));
    FForm->move(250, 0);
    EXPECT_TRUE(Eventually([&] { return Near(Centre(), Blue); })) << Centre().name().toStdString();
}

TEST_F(BlurMaterialTest, ManualMaterialKeepsItsPictureUntilAsked) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    FMaterial->setEnableTinting(false);
    FMaterial->setRefreshMode(FXGlassRefreshMode::Manual);
    ShowAt(QPoint(0, 0));
    ShowAt(QPoint(250, 0));
    EXPECT_TRUE(Near(Centre(), Red));
    FMaterial->FormMoveSync();
    EXPECT_TRUE(Near(Centre(), Blue));
}

TEST_F(BlurMaterialTest, ScreenshotVersionShowsTheBlurredScreenCapture) {
    FMaterial->setVersion(FXBlurVersion::Screenshot);
    FMaterial->setEnableTinting(false);
    ShowAt(QPoint(0, 0));
    EXPECT_FALSE(Cache().ScreenshotBlurred().isNull());
    EXPECT_TRUE(Near(Centre(), Green));
}

TEST_F(BlurMaterialTest, BlurredWallpaperSoftensTheEdgeBetweenTheHalves) {
    FMaterial->setEnableTinting(false);
    FForm->resize(400, 160);
    FMaterial->setGeometry(0, 40, 400, 100);
    ShowAt(QPoint(0, 0));
    const QImage& buffer = FMaterial->Buffer();
    const QColor left = buffer.pixelColor(10, 50);
    const QColor seam = buffer.pixelColor(200, 50);
    const QColor right = buffer.pixelColor(390, 50);
    EXPECT_GT(left.red(), left.blue() + 40);
    EXPECT_GT(right.blue(), right.red() + 40);
    EXPECT_NEAR(seam.red(), seam.blue(), 30);
    EXPECT_GT(seam.red(), 60);
}

TEST_F(BlurMaterialTest, NoneFillsWithTheBackgroundAndStillDrawsItsContent) {
    FMaterial->setVersion(FXBlurVersion::None);
    int painted = 0;
    FMaterial->setOnPaintBuffer([&](QPainter& painter) {
        ++painted;
        painter.fillRect(QRect(0, 0, 10, 10), Qt::black);
    });
    ShowAt(QPoint(0, 0));
    EXPECT_GT(painted, 0);
    EXPECT_EQ(FMaterial->Buffer().pixelColor(50, 50), QColor(Qt::white));
    EXPECT_EQ(FMaterial->Buffer().pixelColor(5, 5), QColor(Qt::black));
}

TEST_F(BlurMaterialTest, ContentIsDrawnOverTheTint) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    FMaterial->setOnPaintBuffer([](QPainter& painter) { painter.fillRect(QRect(0, 0, 10, 10), Qt::black); });
    ShowAt(QPoint(0, 0));
    EXPECT_EQ(FMaterial->Buffer().pixelColor(5, 5), QColor(Qt::black));
}

TEST_F(BlurMaterialTest, CustomColoursChooseTheTint) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    FXColorSets colours;
    colours.setLightBackGround(0x00FF00);
    colours.setEnabled(true);
    FMaterial->setCustomColors(colours);
    EXPECT_EQ(FMaterial->Background(), 0x00FF00u);
    ShowAt(QPoint(0, 0));
    EXPECT_TRUE(Near(Centre(), Tinted(Red, QColor(0, 255, 0), 200)));
}

TEST_F(BlurMaterialTest, TheTimerRunsOnlyInTimerMode) {
    EXPECT_FALSE(FMaterial->Tick().isActive());
    FMaterial->setRefreshMode(FXGlassRefreshMode::Timer);
    EXPECT_TRUE(FMaterial->Tick().isActive());
    EXPECT_EQ(FMaterial->Tick().interval(), 1);
    FMaterial->setRefreshMode(FXGlassRefreshMode::Manual);
    EXPECT_FALSE(FMaterial->Tick().isActive());
}

TEST_F(BlurMaterialTest, AChangedWallpaperIsCapturedAgainAtTheNextSync) {
    FMaterial->setVersion(FXBlurVersion::Wallpaper);
    ShowAt(QPoint(0, 0));
    EXPECT_EQ(Cache().WallpaperFileSize(), 1000);
    FFileSize = 2000;
    FMaterial->SyncroniseImage();
    EXPECT_EQ(Cache().WallpaperFileSize(), 2000);
}

TEST_F(BlurMaterialTest, InflateGrowsEverySide) {
    FMaterial->Inflate(5, 6, 7, 8);
    EXPECT_EQ(FMaterial->geometry(), QRect(-7, 35, 113, 113));
}

TEST_F(BlurMaterialTest, DefaultsMatchTheMaterialsDesign) {
    EXPECT_EQ(FMaterial->RefreshMode(), FXGlassRefreshMode::Automatic);
    EXPECT_EQ(FMaterial->Version(), FXBlurVersion::WallpaperBlurred);
    EXPECT_EQ(FMaterial->DarkTintOpacity(), 75);
    EXPECT_EQ(FMaterial->WhiteTintOpacity(), 200);
    EXPECT_TRUE(FMaterial->EnableTinting());
    EXPECT_FALSE(FMaterial->InvalidateAbove());
    EXPECT_FALSE(FMaterial->IsContainer());
    FXBlurMaterial loose;
    EXPECT_EQ(loose.size(), QSize(150, 200));
}

} // namespace
