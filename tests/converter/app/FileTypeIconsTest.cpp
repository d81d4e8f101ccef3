#include "FileTypeIcons.h"
#include "AppTestEnvironment.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// The share of pixels that are not fully transparent.
double CoveredShare(const QIcon& icon) {
    const QImage image = icon.pixmap(26, 26).toImage().convertToFormat(QImage::Format_ARGB32);
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return double(covered) / (image.width() * image.height());
}

struct KindCase {
    const char* Name;
    FileKind Expected;
};

class FileKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(FileKindTest, TheExtensionDecidesTheKind) {
    EXPECT_EQ(FileKindOf(QString::fromUtf8(GetParam().Name)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileKindTest,
    testing::Values(KindCase{"photo.PNG", FileKind::Image}, KindCase{"shot.heic", FileKind::Image},
                    KindCase{"drawing.svg", FileKind::Image}, KindCase{"song.FLAC", FileKind::Audio},
                    KindCase{"voice.opus", FileKind::Audio}, KindCase{"notes.txt", FileKind::Generic},
                    KindCase{"README", FileKind::Generic}));

TEST(FileTypeIconsTest, WithoutAnIconThemeRowsStillShowAnIconOfTheirKind) {
    const QString theme = QIcon::themeName();
    const QStringList paths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    const QIcon image = RowIcon(QStringLiteral("/tmp/photo.png"));
    const QIcon audio = RowIcon(QStringLiteral("/tmp/song.flac"));
    const QIcon other = RowIcon(QStringLiteral("/tmp/notes"));
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(theme);

    for (const QIcon* icon : {&image, &audio, &other}) {
        ASSERT_FALSE(icon->isNull());
        EXPECT_GT(CoveredShare(*icon), 0.4);
    }
    EXPECT_NE(image.pixmap(26, 26).toImage(), audio.pixmap(26, 26).toImage());
    EXPECT_NE(image.pixmap(26, 26).toImage(), other.pixmap(26, 26).toImage());
    EXPECT_NE(audio.pixmap(26, 26).toImage(), other.pixmap(26, 26).toImage());
}

TEST(FileTypeIconsTest, SharperScreensGetSharperPixels) {
    const QPixmap doubled = FallbackFileIcon(FileKind::Image).pixmap(QSize(26, 26), 2.0);
    EXPECT_EQ(doubled.size(), QSize(52, 52));
}

} // namespace
