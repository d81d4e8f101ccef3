#include "DesktopWallpaper.h"
#include "TempProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Placement = DesktopWallpaper::Placement;
using Rgb = DesktopWallpaper::Rgb;
using Scheme = DesktopWallpaper::Scheme;
using Setting = DesktopWallpaper::Setting;

const QByteArray GnomeListing =
    "org.gnome.desktop.background picture-opacity 100\n"
    "org.gnome.desktop.background picture-options 'zoom'\n"
    "org.gnome.desktop.background picture-uri 'file:///usr/share/backgrounds/gnome/blobs-l.svg'\n"
    "org.gnome.desktop.background picture-uri-dark 'file:///usr/share/backgrounds/gnome/blobs-d.svg'\n"
    "org.gnome.desktop.background primary-color '#241f31'\n"
    "org.gnome.desktop.background secondary-color '#000000'\n"
    "org.gnome.desktop.background color-shading-type 'solid'\n"
    "org.gnome.desktop.background show-desktop-icons false\n";

QByteArray WithLine(QByteArray listing, const QByteArray& key, const QByteArray& value) {
    const QByteArray prefix = "org.gnome.desktop.background " + key + ' ';
    const qsizetype at = listing.indexOf(prefix);
    const QByteArray line = prefix + value + '\n';
    if (at < 0) return listing + line;
    return listing.replace(at, listing.indexOf('\n', at) + 1 - at, line);
}

void WriteFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
}

QByteArray KdeDesktop(const QByteArray& general, const QByteArray& plugin = "org.kde.image") {
    return "[Containments][1]\nactivityId=a\nformfactor=0\nlastScreen=0\nplugin=org.kde.plasma.folder\n"
           "wallpaperplugin=" +
           plugin + "\n\n[Containments][1][Wallpaper][" + plugin + "][General]\n" + general + "\n";
}

class DesktopWallpaperTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "platform_wallpaper_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }

    void SetUp() override {
        QDir().mkpath(EmptyBin());
        // No real gsettings and no real desktop unless a test puts them there.
        FProfile.Set("PATH", EmptyBin());
        FProfile.Unset("XDG_CURRENT_DESKTOP");
        FProfile.Set("XDG_DATA_DIRS", FProfile.Root() + "/share");
    }

    QString EmptyBin() const { return FProfile.Root() + "/empty-bin"; }

    // A gsettings on PATH that prints Listing for the background schema and
    // fails like the real tool for anything else.
    void InstallGSettings(const QByteArray& listing, int exitCode = 0) {
        const QString bin = FProfile.Root() + "/stub-bin";
        WriteFile(FProfile.Root() + "/listing.txt", listing);
        WriteFile(bin + "/gsettings",
                  "#!/bin/sh\n"
                  "if [ \"$1\" != list-recursively ] || [ \"$2\" != org.gnome.desktop.background ]; then\n"
                  "  echo \"unexpected: $*\" >&2; exit 2\n"
                  "fi\n"
                  "while IFS= read -r line; do printf '%s\\n' \"$line\"; done < '" +
                      FProfile.Root().toUtf8() +
                      "/listing.txt'\n"
                      "exit " +
                      QByteArray::number(exitCode) + "\n");
        QFile::setPermissions(bin + "/gsettings", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        FProfile.Set("PATH", bin);
    }

    void InstallAppletsrc(const QByteArray& content) {
        WriteFile(DesktopWallpaper::KdeAppletsrcPath(), content);
    }

    TempProfile FProfile;
};

TEST_F(DesktopWallpaperTest, GnomeListingGivesTheLightOrDarkPictureAndItsColour) {
    const auto light = DesktopWallpaper::ParseGnomeListing(GnomeListing, Scheme::Light);
    ASSERT_TRUE(light);
    EXPECT_EQ(light->Picture, "/usr/share/backgrounds/gnome/blobs-l.svg");
    EXPECT_EQ(light->Fill, Placement::Zoom);
    EXPECT_EQ(light->Color, (Rgb{0x24, 0x1f, 0x31}));

    const auto dark = DesktopWallpaper::ParseGnomeListing(GnomeListing, Scheme::Dark);
    ASSERT_TRUE(dark);
    EXPECT_EQ(dark->Picture, "/usr/share/backgrounds/gnome/blobs-d.svg");
}

TEST_F(DesktopWallpaperTest, GnomeDarkSchemeWithoutDarkPictureShowsTheLightOne) {
    const auto setting =
        DesktopWallpaper::ParseGnomeListing(WithLine(GnomeListing, "picture-uri-dark", "''"), Scheme::Dark);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, "/usr/share/backgrounds/gnome/blobs-l.svg");
}

TEST_F(DesktopWallpaperTest, GnomePictureOptionNoneLeavesOnlyTheColour) {
    const auto setting = DesktopWallpaper::ParseGnomeListing(
        WithLine(GnomeListing, "picture-options", "'none'"), Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Fill, Placement::None);
    EXPECT_TRUE(setting->Picture.isEmpty());
    EXPECT_EQ(setting->Color, (Rgb{0x24, 0x1f, 0x31}));
}

struct GnomeValueCase {
    const char* value;
    const char* picture;
};

class GnomePictureValueTest : public testing::TestWithParam<GnomeValueCase> {};

TEST_P(GnomePictureValueTest, QuotedUriOrPathBecomesALocalPath) {
    const auto setting = DesktopWallpaper::ParseGnomeListing(
        WithLine(GnomeListing, "picture-uri", GetParam().value), Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, QString::fromUtf8(GetParam().picture));
    EXPECT_EQ(setting->Fill, setting->Picture.isEmpty() ? Placement::None : Placement::Zoom);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GnomePictureValueTest,
    testing::Values(GnomeValueCase{"'file:///home/ada/Pictures/Lake%20Bled.jpg'",
                                   "/home/ada/Pictures/Lake Bled.jpg"},
                    // GVariant switches to double quotes for a value with an apostrophe.
                    GnomeValueCase{"\"file:///home/ada/Ada's.png\"", "/home/ada/Ada's.png"},
                    GnomeValueCase{"'file:///home/ada/it\\'s.png'", "/home/ada/it's.png"},
                    GnomeValueCase{"'/usr/share/backgrounds/plain.jpg'", "/usr/share/backgrounds/plain.jpg"},
                    // Only local files can be shown.
                    GnomeValueCase{"'https://example.com/wall.jpg'", ""}, GnomeValueCase{"''", ""}));

TEST_F(DesktopWallpaperTest, GnomeListingWithoutThePictureKeyIsNoAnswer) {
    EXPECT_FALSE(DesktopWallpaper::ParseGnomeListing("No such schema “org.gnome.desktop.background”\n",
                                                     Scheme::Light));
    EXPECT_FALSE(DesktopWallpaper::ParseGnomeListing("", Scheme::Light));
}

TEST_F(DesktopWallpaperTest, GnomeSlideshowStandsForItsFirstPicture) {
    const QString plain = FProfile.Root() + "/timed.xml";
    WriteFile(plain,
              "<background><starttime><year>2011</year></starttime>"
              "<static><duration>3600.0</duration><file>/usr/share/backgrounds/morning.jpg</file></static>"
              "<transition><duration>5.0</duration><from>/usr/share/backgrounds/morning.jpg</from>"
              "<to>/usr/share/backgrounds/noon.jpg</to></transition>"
              "<static><duration>3600.0</duration><file>/usr/share/backgrounds/noon.jpg</file></static>"
              "</background>");
    auto setting = DesktopWallpaper::ParseGnomeListing(
        WithLine(GnomeListing, "picture-uri", "'file://" + plain.toUtf8() + "'"), Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, "/usr/share/backgrounds/morning.jpg");

    const QString sized = FProfile.Root() + "/sized.xml";
    WriteFile(sized, "<background><static><duration>60</duration><file>"
                     "<size width=\"1024\" height=\"768\">/w/small.jpg</size>"
                     "<size width=\"3840\" height=\"2160\">/w/large.jpg</size>"
                     "<size width=\"1920\" height=\"1080\">/w/medium.jpg</size>"
                     "</file></static></background>");
    setting = DesktopWallpaper::ParseGnomeListing(
        WithLine(GnomeListing, "picture-uri", "'" + sized.toUtf8() + "'"), Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, "/w/large.jpg");
}

TEST_F(DesktopWallpaperTest, GnomeIsAskedThroughGSettings) {
    InstallGSettings(GnomeListing);
    const auto setting = DesktopWallpaper::ReadGnome(Scheme::Dark);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, "/usr/share/backgrounds/gnome/blobs-d.svg");
}

TEST_F(DesktopWallpaperTest, GSettingsThatFailsOrIsMissingIsNoAnswer) {
    EXPECT_FALSE(DesktopWallpaper::ReadGnome(Scheme::Light));
    InstallGSettings(GnomeListing, 1);
    EXPECT_FALSE(DesktopWallpaper::ReadGnome(Scheme::Light));
}

TEST_F(DesktopWallpaperTest, KdeDesktopOfThePrimaryScreenIsRead) {
    const auto setting = DesktopWallpaper::ReadKde(
        QStringLiteral(BRENVALE_SOURCE_DIR
                       "/tests/platform/fixtures/plasma-org.kde.plasma.desktop-appletsrc"),
        Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Picture, "/home/ada/Pictures/Lake Bled.jpg");
    EXPECT_EQ(setting->Fill, Placement::Scaled);
    EXPECT_EQ(setting->Color, (Rgb{30, 40, 50}));
}

TEST_F(DesktopWallpaperTest, KdeWithoutTheFileOrADesktopIsNoAnswer) {
    EXPECT_FALSE(DesktopWallpaper::ReadKde(FProfile.Root() + "/none", Scheme::Light));
    EXPECT_FALSE(DesktopWallpaper::ParseKdeAppletsrc("[Containments][2]\nformfactor=2\nplugin=org.kde.panel\n"
                                                     "wallpaperplugin=org.kde.image\n",
                                                     Scheme::Light));
}

TEST_F(DesktopWallpaperTest, KdeWallpaperPackageGivesItsLargestPictureForTheScheme) {
    const QString package = FProfile.Root() + "/share/wallpapers/Autumn";
    for (const char* name :
         {"contents/images/640x480.jpg", "contents/images/3840x2160.png", "contents/images/1920x1080.jpg",
          "contents/images_dark/1920x1080.jpg", "contents/images_dark/2560x1440.jpg"})
        WriteFile(package + '/' + name, "x");
    const QByteArray content = KdeDesktop("Image=" + package.toUtf8() + "/");
    EXPECT_EQ(DesktopWallpaper::ParseKdeAppletsrc(content, Scheme::Light)->Picture,
              package + "/contents/images/3840x2160.png");
    EXPECT_EQ(DesktopWallpaper::ParseKdeAppletsrc(content, Scheme::Dark)->Picture,
              package + "/contents/images_dark/2560x1440.jpg");

    // Without an Image entry Plasma's stock package is shown, found among the data folders.
    const QString stock = FProfile.Root() + "/share/wallpapers/Next";
    WriteFile(stock + "/contents/images/1920x1080.png", "x");
    EXPECT_EQ(DesktopWallpaper::ParseKdeAppletsrc(KdeDesktop("FillMode=2"), Scheme::Light)->Picture,
              stock + "/contents/images/1920x1080.png");
}

TEST_F(DesktopWallpaperTest, KdePlainColourPluginHasNoPicture) {
    const auto setting =
        DesktopWallpaper::ParseKdeAppletsrc(KdeDesktop("Color=#102030", "org.kde.color"), Scheme::Light);
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->Fill, Placement::None);
    EXPECT_TRUE(setting->Picture.isEmpty());
    EXPECT_EQ(setting->Color, (Rgb{0x10, 0x20, 0x30}));
}

TEST_F(DesktopWallpaperTest, KdeFillModesMapToPlacements) {
    const std::pair<const char*, Placement> modes[] = {
        {"0", Placement::Stretched}, {"1", Placement::Scaled}, {"2", Placement::Zoom},
        {"3", Placement::Tiled},     {"4", Placement::Tiled},  {"5", Placement::Tiled},
        {"6", Placement::Centered},  {"x", Placement::Zoom},
    };
    for (const auto& [mode, placement] : modes) {
        const auto setting = DesktopWallpaper::ParseKdeAppletsrc(
            KdeDesktop(QByteArray("Image=file:///w/a.jpg\nFillMode=") + mode), Scheme::Light);
        ASSERT_TRUE(setting);
        EXPECT_EQ(setting->Fill, placement) << mode;
    }
}

TEST_F(DesktopWallpaperTest, CurrentDesktopIsAskedFirst) {
    InstallGSettings(GnomeListing);
    InstallAppletsrc(KdeDesktop("Image=file:///w/kde.jpg"));
    FProfile.Set("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(DesktopWallpaper::Read().Picture, "/w/kde.jpg");
    FProfile.Set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    EXPECT_EQ(DesktopWallpaper::Read().Picture, "/usr/share/backgrounds/gnome/blobs-l.svg");
    DesktopAppearance::SetOverride(DesktopAppearance::State{DesktopAppearance::ColorScheme::PreferDark, {}});
    EXPECT_EQ(DesktopWallpaper::Read().Picture, "/usr/share/backgrounds/gnome/blobs-d.svg");
}

TEST_F(DesktopWallpaperTest, WithoutAnyDesktopSettingThereIsNoPictureAndNoColour) {
    FProfile.Set("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_EQ(DesktopWallpaper::Read(), (Setting{QString(), Placement::Zoom, std::nullopt}));
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), -1);
}

TEST_F(DesktopWallpaperTest, PictureFileSizeFollowsTheSettingAndThePicture) {
    const QString first = FProfile.Root() + "/first.jpg";
    const QString second = FProfile.Root() + "/second.jpg";
    WriteFile(first, QByteArray(1234, 'a'));
    WriteFile(second, QByteArray(99, 'b'));
    FProfile.Set("XDG_CURRENT_DESKTOP", "KDE");

    InstallAppletsrc(KdeDesktop("Image=file://" + first.toUtf8()));
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), 1234);
    InstallAppletsrc(KdeDesktop("Image=file://" + second.toUtf8() + "\nFillMode=1"));
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), 99);
    WriteFile(second, QByteArray(100, 'b'));
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), 100);
    QFile::remove(second);
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), -1);
    QFile::remove(DesktopWallpaper::KdeAppletsrcPath());
    EXPECT_EQ(DesktopWallpaper::PictureFileSize(), -1);
}

} // namespace
