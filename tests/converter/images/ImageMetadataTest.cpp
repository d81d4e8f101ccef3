// What photographs carry besides pixels survives conversion: orientation, EXIF, XMP and
// colour profile, checked with exiftool and ImageMagick, readers independent of ours.
#include "ImageConverter.h"
#include "ImageTestSupport.h"
#include "RunTool.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>
#include <lcms2.h>

using namespace imagetest;

namespace {

bool HaveTool(const char* name) {
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

// exiftool's reading of a file's tags, by their plain names.
QJsonObject ExifTool(const QString& path, const QStringList& tags) {
    QStringList arguments{QStringLiteral("-j"), QStringLiteral("-n")};
    for (const QString& tag : tags)
        arguments << QLatin1Char('-') + tag;
    arguments << path;
    const auto output = RunTool(QStringLiteral("exiftool"), arguments);
    if (!output) return {};
    return QJsonDocument::fromJson(*output).array().at(0).toObject();
}

ConversionJob Job(const QString& source, FormatTag from, FormatTag to, const QString& folder,
                  QStringList* losses = nullptr) {
    ConversionJob job;
    job.SourcePath = source;
    job.SourceFormat = from;
    job.TargetFormat = to;
    job.OutputPath = folder + QStringLiteral("/out") + QString::number(int(to)) + FormatExtension(to);
    job.TempFolder = folder + QStringLiteral("/Temp/");
    if (losses) job.ReportLoss = [losses](const QString& what) { losses->append(what); };
    return job;
}

// A picture a viewer shows as 32 x 16 with four differently coloured quarters, so any
// turn or mirror shows.
const QColor TopLeft(220, 30, 30), TopRight(30, 30, 220), BottomLeft(30, 200, 30), BottomRight(240, 240, 40);

QImage Upright() {
    QImage image(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixelColor(x, y,
                                y < 8 ? (x < 16 ? TopLeft : TopRight) : (x < 16 ? BottomLeft : BottomRight));
    return image;
}

// The pixels a camera would store for a picture meant to be seen upright with `orientation`.
QImage Stored(const QImage& upright, int orientation) {
    const auto turned = [&](int degrees) { return upright.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return turned(180);
    case 4:
        return upright.mirrored(false, true);
    case 5:
        return turned(90).mirrored(true, false);
    case 6:
        return turned(270);
    case 7:
        return turned(270).mirrored(true, false);
    case 8:
        return turned(90);
    default:
        return upright;
    }
}

bool Near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A HEIC output is read through the decoding tool, which gives its pixels as stored.
QImage ReadOutput(const QString& path, FormatTag format, const QString& folder) {
    if (format != FormatTag::HEIC) return QtReadFile(path);
    const QString png = folder + QStringLiteral("/check.png");
    QFile::remove(png);
    if (!RunTool(QStringLiteral("heif-convert"), {path, png})) return QImage();
    return QtReadFile(png);
}

struct TOrientationCase {
    FormatTag Source;
    int Orientation;
};

class ImageOrientation : public testing::TestWithParam<TOrientationCase> {};

TEST_P(ImageOrientation, EveryTargetComesOutUprightWithOrientationOne) {
    const auto [source, orientation] = GetParam();
    if (!HaveTool("exiftool")) GTEST_SKIP() << "exiftool is not installed";
    const bool heic = source == FormatTag::HEIC;
    const bool heifTools = HaveTool("heif-enc") && HaveTool("heif-convert");
    if (heic && !heifTools) GTEST_SKIP() << "libheif's tools are not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();

    // JPEG at its best quality keeps the flat quarters close to their colours.
    const QString jpeg = folder + QStringLiteral("/source.jpg");
    const QString png = folder + QStringLiteral("/source.png");
    ASSERT_TRUE(Stored(Upright(), orientation).save(source == FormatTag::PNG ? png : jpeg, nullptr, 100));
    const QString tagged = source == FormatTag::PNG ? png : jpeg;
    ASSERT_TRUE(
        RunTool(QStringLiteral("exiftool"), {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                             QStringLiteral("-Orientation#=%1").arg(orientation), tagged}));
    QString sourcePath = tagged;
    if (heic) {
        // heif-enc keeps the EXIF orientation without turning the picture itself.
        sourcePath = folder + QStringLiteral("/source.heic");
        ASSERT_TRUE(RunTool(QStringLiteral("heif-enc"), {QStringLiteral("-q"), QStringLiteral("95"), jpeg,
                                                         QStringLiteral("-o"), sourcePath}));
    }

    std::vector<FormatTag> targets = {FormatTag::PNG, FormatTag::JPEG, FormatTag::BMP, FormatTag::GIF};
    if (heifTools) targets.push_back(FormatTag::HEIC);
    for (FormatTag target : targets) {
        SCOPED_TRACE(FormatName(target).toStdString());
        const ConversionJob job = Job(sourcePath, source, target, folder);
        ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);

        const QImage out = ReadOutput(job.OutputPath, target, folder);
        ASSERT_EQ(out.size(), QSize(32, 16));
        // HEIC and JPEG blur the borders between quarters; their middles stay.
        EXPECT_TRUE(Near(out.pixelColor(8, 4), TopLeft, 40)) << out.pixelColor(8, 4).name().toStdString();
        EXPECT_TRUE(Near(out.pixelColor(24, 4), TopRight, 40)) << out.pixelColor(24, 4).name().toStdString();
        EXPECT_TRUE(Near(out.pixelColor(8, 12), BottomLeft, 40))
            << out.pixelColor(8, 12).name().toStdString();
        EXPECT_TRUE(Near(out.pixelColor(24, 12), BottomRight, 40))
            << out.pixelColor(24, 12).name().toStdString();
        if (target == FormatTag::PNG || target == FormatTag::JPEG || target == FormatTag::HEIC) {
            EXPECT_EQ(ExifTool(job.OutputPath, {QStringLiteral("Orientation")}).value("Orientation").toInt(),
                      1);
        }
    }
}

std::vector<TOrientationCase> OrientationCases() {
    std::vector<TOrientationCase> cases;
    for (FormatTag source : {FormatTag::JPEG, FormatTag::PNG, FormatTag::HEIC})
        for (int orientation = 1; orientation <= 8; ++orientation)
            cases.push_back({source, orientation});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllEight, ImageOrientation, testing::ValuesIn(OrientationCases()),
                         [](const testing::TestParamInfo<TOrientationCase>& info) {
                             return FormatName(info.param.Source).toStdString() + "_" +
                                    std::to_string(info.param.Orientation);
                         });

// Adobe RGB (1998): wider greens than sRGB, so its pixels look different read as sRGB.
QByteArray AdobeRgbProfile() {
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "Test Adobe RGB");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

QByteArray SrgbProfile() {
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

const std::array<QColor, 4> Patches = {QColor(50, 150, 80), QColor(200, 60, 40), QColor(40, 90, 190),
                                       QColor(170, 170, 60)};

// A photograph of four flat patches, with camera data, a place, XMP and Adobe RGB.
class ImageMetadataCarry : public testing::Test {
  protected:
    void SetUp() override {
        if (!HaveTool("exiftool")) GTEST_SKIP() << "exiftool is not installed";
        ASSERT_TRUE(FDir.isValid());
        QImage image(64, 16, QImage::Format_RGB32);
        for (int x = 0; x < 64; ++x)
            for (int y = 0; y < 16; ++y)
                image.setPixelColor(x, y, Patches[std::size_t(x / 16)]);
        FSource = Path("photo.jpg");
        ASSERT_TRUE(image.save(FSource, "JPEG", 100));
        FProfile = AdobeRgbProfile();
        ASSERT_TRUE(WriteFile(Path("adobe.icc"), FProfile));
        ASSERT_TRUE(RunTool(QStringLiteral("exiftool"),
                            {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                             QStringLiteral("-Make=Formcam"), QStringLiteral("-Model=FX 1"),
                             QStringLiteral("-DateTimeOriginal=2021:06:05 04:03:02"),
                             QStringLiteral("-GPSLatitude=48.2"), QStringLiteral("-GPSLatitudeRef=N"),
                             QStringLiteral("-GPSLongitude=16.37"), QStringLiteral("-GPSLongitudeRef=E"),
                             QStringLiteral("-XMP-dc:Title=Lake at dawn"),
                             QStringLiteral("-ICC_Profile<=") + Path("adobe.icc"), FSource}));
    }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    QTemporaryDir FDir;
    QString FSource;
    QByteArray FProfile;
};

TEST_F(ImageMetadataCarry, JpegAndPngKeepCameraDataPlaceXmpAndTheProfileAsItWas) {
    for (FormatTag target : {FormatTag::JPEG, FormatTag::PNG}) {
        SCOPED_TRACE(FormatName(target).toStdString());
        QStringList losses;
        const ConversionJob job = Job(FSource, FormatTag::JPEG, target, FDir.path(), &losses);
        ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
        const QJsonObject tags = ExifTool(job.OutputPath, {"Make", "Model", "DateTimeOriginal", "GPSLatitude",
                                                           "GPSLongitude", "Title", "ProfileDescription"});
        EXPECT_EQ(tags.value("Make").toString(), "Formcam");
        EXPECT_EQ(tags.value("Model").toString(), "FX 1");
        EXPECT_EQ(tags.value("DateTimeOriginal").toString(), "2021:06:05 04:03:02");
        EXPECT_NEAR(tags.value("GPSLatitude").toDouble(), 48.2, 1e-4);
        EXPECT_NEAR(tags.value("GPSLongitude").toDouble(), 16.37, 1e-4);
        EXPECT_EQ(tags.value("Title").toString(), "Lake at dawn");
        EXPECT_EQ(tags.value("ProfileDescription").toString(), "Test Adobe RGB");
        const auto profile = RunTool(QStringLiteral("exiftool"),
                                     {QStringLiteral("-b"), QStringLiteral("-ICC_Profile"), job.OutputPath});
        ASSERT_TRUE(profile);
        EXPECT_EQ(*profile, FProfile);
        EXPECT_TRUE(losses.isEmpty()) << losses.join('\n').toStdString();
    }
}

TEST_F(ImageMetadataCarry, GifAndBmpGetSrgbPixelsThatLookAsTheSourceDoesAndSayWhatWasDropped) {
    if (!HaveTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    // How a colour-managed viewer shows the source on an sRGB screen, by ImageMagick.
    ASSERT_TRUE(WriteFile(Path("srgb.icc"), SrgbProfile()));
    ASSERT_TRUE(RunTool(QStringLiteral("convert"),
                        {FSource, QStringLiteral("-intent"), QStringLiteral("Perceptual"),
                         QStringLiteral("-profile"), Path("srgb.icc"), Path("viewed.png")}));
    const QImage viewed = QtReadFile(Path("viewed.png"));
    ASSERT_EQ(viewed.size(), QSize(64, 16));

    for (FormatTag target : {FormatTag::GIF, FormatTag::BMP}) {
        const QString name = FormatName(target);
        SCOPED_TRACE(name.toStdString());
        QStringList losses;
        const ConversionJob job = Job(FSource, FormatTag::JPEG, target, FDir.path(), &losses);
        ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
        EXPECT_EQ(losses.join('\n'), QStringLiteral("colour profile converted to sRGB: %1 holds no profile\n"
                                                    "EXIF and XMP dropped: %1 holds neither")
                                         .arg(name))
            << losses.join('\n').toStdString();
        const QImage out = QtReadFile(job.OutputPath);
        ASSERT_EQ(out.size(), QSize(64, 16));
        int moved = 0;
        for (int patch = 0; patch < 4; ++patch) {
            const QColor expected = viewed.pixelColor(patch * 16 + 8, 8);
            const QColor got = out.pixelColor(patch * 16 + 8, 8);
            EXPECT_TRUE(Near(got, expected, 4))
                << patch << ": " << got.name().toStdString() << " for " << expected.name().toStdString();
            if (!Near(expected, Patches[std::size_t(patch)], 8)) ++moved;
        }
        // Otherwise the check above could not tell a conversion from none.
        EXPECT_GE(moved, 2);
        EXPECT_TRUE(ExifTool(job.OutputPath, {"Make"}).value("Make").isUndefined());
    }
}

TEST_F(ImageMetadataCarry, IconsSayWhatWasDropped) {
    QStringList losses;
    ASSERT_EQ(ConvertImage(Job(FSource, FormatTag::JPEG, FormatTag::ICO, FDir.path(), &losses)),
              TModifyProgress::Finalised);
    EXPECT_EQ(losses.join('\n').toStdString(), "colour profile converted to sRGB: ICO holds no profile\n"
                                               "EXIF and XMP dropped: ICO holds neither");
}

TEST_F(ImageMetadataCarry, HeicKeepsCameraDataXmpAndTheProfileAlsoWhenThePictureIsTurned) {
    if (!HaveTool("heif-enc") || !HaveTool("heif-convert"))
        GTEST_SKIP() << "libheif's tools are not installed";
    // Upright, the source goes to the encoder as it is; turned, through a PNG of ours.
    for (int orientation : {1, 6}) {
        SCOPED_TRACE(orientation);
        ASSERT_TRUE(RunTool(QStringLiteral("exiftool"),
                            {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                             QStringLiteral("-Orientation#=%1").arg(orientation), FSource}));
        const ConversionJob job = Job(FSource, FormatTag::JPEG, FormatTag::HEIC, FDir.path());
        QFile::remove(job.OutputPath);
        ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
        const QJsonObject tags =
            ExifTool(job.OutputPath, {"Make", "GPSLatitude", "Title", "ProfileDescription", "Orientation"});
        EXPECT_EQ(tags.value("Make").toString(), "Formcam");
        EXPECT_NEAR(tags.value("GPSLatitude").toDouble(), 48.2, 1e-4);
        EXPECT_EQ(tags.value("Title").toString(), "Lake at dawn");
        EXPECT_EQ(tags.value("ProfileDescription").toString(), "Test Adobe RGB");
        EXPECT_EQ(tags.value("Orientation").toInt(), 1);
    }
}

} // namespace
