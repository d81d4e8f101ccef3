#include "HeicConversion.h"

#include "HeicTestTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Width = 40;
constexpr int Height = 24;

// Four flat quadrants: flat areas survive the encoder's chroma subsampling, so
// their centres can be compared closely.
QImage SamplePicture() {
    QImage picture(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const bool right = x >= Width / 2, bottom = y >= Height / 2;
            picture.setPixel(x, y,
                             right ? (bottom ? qRgb(30, 60, 200) : qRgb(220, 40, 40))
                                   : (bottom ? qRgb(250, 250, 250) : qRgb(40, 180, 60)));
        }
    return picture;
}

void ExpectLooksLikeSample(const QImage& picture) {
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(picture.size(), QSize(Width, Height));
    const QImage expected = SamplePicture();
    for (const QPoint centre : {QPoint(Width / 4, Height / 4), QPoint(3 * Width / 4, Height / 4),
                                QPoint(Width / 4, 3 * Height / 4), QPoint(3 * Width / 4, 3 * Height / 4)}) {
        const QRgb got = picture.pixel(centre), want = expected.pixel(centre);
        EXPECT_NEAR(qRed(got), qRed(want), 12) << centre.x() << "," << centre.y();
        EXPECT_NEAR(qGreen(got), qGreen(want), 12) << centre.x() << "," << centre.y();
        EXPECT_NEAR(qBlue(got), qBlue(want), 12) << centre.x() << "," << centre.y();
    }
}

const char* QtFormat(FormatTag tag) {
    switch (tag) {
    case FormatTag::PNG:
        return "PNG";
    case FormatTag::JPEG:
        return "JPEG";
    case FormatTag::BMP:
        return "BMP";
    case FormatTag::ICO:
        return "ICO";
    case FormatTag::GIF:
        return "GIF";
    default:
        return nullptr;
    }
}

class HeicConversionTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        In = Folder("in it's \"here\"");
        Out = Folder("out");
        Job.TempFolder = QDir(Root.path()).filePath("data/Temp/");
    }

    QString Folder(const QString& name) {
        QDir(Root.path()).mkpath(name);
        return QDir(Root.path()).filePath(name);
    }

    bool HaveTools() const { return Tools.HasDecoder() && Tools.HasEncoder(); }

    QString WriteSample(const QString& name, FormatTag format) {
        const QString path = QDir(In).filePath(name);
        return SamplePicture().save(path, QtFormat(format)) ? path : QString();
    }

    QString WriteSampleHeic(const QString& name) {
        const QString png = QDir(Folder("made")).filePath("sample.png");
        const QString heic = QDir(In).filePath(name);
        return SamplePicture().save(png) && MakeHeic(png, heic) ? heic : QString();
    }

    // The image converter's side, done with Qt's readers and writers and recorded.
    THeicImageSide ImageSide() {
        return {
            .SaveTargetFromPng =
                [this](const QString& png) {
                    SavedFromPng.append(png);
                    const QImage picture(png, "PNG");
                    if (picture.isNull() || !picture.save(Job.OutputPath, QtFormat(Job.TargetFormat)))
                        throw ConversionError("test writer failed");
                },
            .WriteSourceAsPng =
                [this](const QString& png) {
                    WrittenAsPng.append(png);
                    const QImage picture(Job.SourcePath, QtFormat(Job.SourceFormat));
                    if (picture.isNull() || !picture.save(png, "PNG"))
                        throw ConversionError("test reader failed");
                },
        };
    }

    TModifyProgress Convert() { return ConvertHeicJob(Job, ImageSide(), Tools); }

    QImage ReadHeic(const QString& heic) {
        const QString png = QDir(Folder("check")).filePath("read back.png");
        QFile::remove(png);
        return ReadHeicAsPng(heic, png) ? QImage(png) : QImage();
    }

    QTemporaryDir Root;
    QString In, Out;
    ConversionJob Job;
    THeifTools Tools{InstalledTool("heif-convert"), InstalledTool("heif-enc")};
    QStringList SavedFromPng, WrittenAsPng;
};

TEST(HeicOptionTextTest, DecoderAndEncoderOptionsFollowLosslessAndTheSlider) {
    struct Case {
        bool Lossless;
        int Quality;
        QString Decoder, Encoder;
    };
    for (const Case& c :
         {Case{true, 100, "--quality 100", "--lossless"}, Case{true, 40, "--quality 100", "--lossless"},
          Case{false, 75, "--quality 75", "--quality 75"}, Case{false, 0, "--quality 0", "--quality 0"},
          Case{false, 100, "--quality 100", "--quality 100"}}) {
        ConversionSettings settings;
        settings.Lossless = c.Lossless;
        settings.Quality = c.Quality;
        EXPECT_EQ(DecoderOptionText(settings), c.Decoder) << c.Lossless << " " << c.Quality;
        EXPECT_EQ(EncoderOptionText(settings), c.Encoder) << c.Lossless << " " << c.Quality;
    }
    EXPECT_EQ(OptionArguments("--quality 75"), (QStringList{"--quality", "75"}));
    EXPECT_EQ(OptionArguments("--lossless"), QStringList{"--lossless"});
}

TEST(HeicOptionTextTest, TemporaryPngIsNamedAfterTheSource) {
    ConversionJob job;
    job.TempFolder = "/data/Temp/";
    for (const auto& [source, png] : {std::pair{"/in/photo.bmp", "/data/Temp/photo.png"},
                                      std::pair{"/in/it's a.b.heic", "/data/Temp/it's a.b.png"},
                                      std::pair{"/in/noext", "/data/Temp/noext.png"}}) {
        job.SourcePath = source;
        EXPECT_EQ(TemporaryPngPath(job), png);
    }
}

class HeicFromTest : public HeicConversionTest, public testing::WithParamInterface<FormatTag> {};

TEST_P(HeicFromTest, DecodesToTheTargetAndBackWithTheRightSizeAndColours) {
    if (!HaveTools()) GTEST_SKIP() << "libheif's tools are not installed";
    Job.SourcePath = WriteSampleHeic("-it's a \"photo\".heic");
    ASSERT_FALSE(Job.SourcePath.isEmpty());
    Job.SourceFormat = FormatTag::HEIC;
    Job.TargetFormat = GetParam();
    Job.OutputPath = QDir(Out).filePath(".-it's a \"photo\".x1.part" + FormatExtension(GetParam()));

    ASSERT_EQ(Convert(), TModifyProgress::Finalised);

    ExpectLooksLikeSample(QImage(Job.OutputPath, QtFormat(GetParam())));
    const bool direct = GetParam() == FormatTag::PNG || GetParam() == FormatTag::JPEG;
    EXPECT_EQ(SavedFromPng,
              direct ? QStringList() : QStringList{QDir(Job.TempFolder).filePath("-it's a \"photo\".png")});
    EXPECT_TRUE(WrittenAsPng.isEmpty());
    EXPECT_EQ(QDir(Out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));

    // And back: the written file as the source of a HEIC.
    Job.SourcePath = Job.OutputPath;
    Job.SourceFormat = GetParam();
    Job.TargetFormat = FormatTag::HEIC;
    Job.OutputPath = QDir(Out).filePath("back.heic");
    ASSERT_EQ(Convert(), TModifyProgress::Finalised);
    ExpectLooksLikeSample(ReadHeic(Job.OutputPath));
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
}

INSTANTIATE_TEST_SUITE_P(Targets, HeicFromTest,
                         testing::Values(FormatTag::PNG, FormatTag::JPEG, FormatTag::BMP, FormatTag::ICO),
                         [](const auto& info) { return FormatName(info.param).toStdString(); });

class HeicToTest : public HeicConversionTest, public testing::WithParamInterface<FormatTag> {};

TEST_P(HeicToTest, EncodesTheSourceIntoAHeicThatReadsBack) {
    if (!HaveTools()) GTEST_SKIP() << "libheif's tools are not installed";
    const FormatTag source = GetParam();
    Job.SourcePath = WriteSample("it's photo" + FormatExtension(source), source);
    ASSERT_FALSE(Job.SourcePath.isEmpty());
    Job.SourceFormat = source;
    Job.TargetFormat = FormatTag::HEIC;
    Job.OutputPath = QDir(Out).filePath("-it's photo.heic");

    ASSERT_EQ(Convert(), TModifyProgress::Finalised);

    ExpectLooksLikeSample(ReadHeic(Job.OutputPath));
    const bool direct = source == FormatTag::PNG || source == FormatTag::JPEG;
    EXPECT_EQ(WrittenAsPng,
              direct ? QStringList() : QStringList{QDir(Job.TempFolder).filePath("it's photo.png")});
    EXPECT_TRUE(SavedFromPng.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
}

INSTANTIATE_TEST_SUITE_P(Sources, HeicToTest,
                         testing::Values(FormatTag::PNG, FormatTag::JPEG, FormatTag::BMP, FormatTag::ICO),
                         [](const auto& info) { return FormatName(info.param).toStdString(); });

TEST_F(HeicConversionTest, HeicToHeicGoesThroughTheTemporaryPng) {
    if (!HaveTools()) GTEST_SKIP() << "libheif's tools are not installed";
    Job.SourcePath = WriteSampleHeic("a.heic");
    Job.SourceFormat = Job.TargetFormat = FormatTag::HEIC;
    Job.Settings.Lossless = false;
    Job.Settings.Quality = 90;
    Job.OutputPath = QDir(Out).filePath("a.heic");

    ASSERT_EQ(Convert(), TModifyProgress::Finalised);
    ExpectLooksLikeSample(ReadHeic(Job.OutputPath));
    EXPECT_TRUE(SavedFromPng.isEmpty() && WrittenAsPng.isEmpty());
}

class HeicFakeToolsTest : public HeicConversionTest {
  protected:
    void SetUp() override {
        HeicConversionTest::SetUp();
        const QString tools = Folder("tools");
        Decoder = WriteFakeTool(tools, "heif-convert", WholeSampleBody());
        Encoder = WriteFakeTool(tools, "heif-enc", WholeSampleBody());
        Tools = THeifTools(Decoder, Encoder);
        Job.SourcePath = QDir(In).filePath("it's.heic");
        Job.SourceFormat = FormatTag::HEIC;
        Job.Settings.Lossless = false;
        Job.Settings.Quality = 75;
    }
    QString Decoder, Encoder;
};

TEST_F(HeicFakeToolsTest, DirectDecodingPassesTheQualityOption) {
    Job.TargetFormat = FormatTag::JPEG;
    Job.OutputPath = QDir(Out).filePath("it's.jpeg");

    ASSERT_EQ(Convert(), TModifyProgress::Finalised);
    const QStringList arguments = RecordedArguments(Decoder);
    ASSERT_EQ(arguments.size(), 4);
    EXPECT_EQ(arguments.mid(0, 3), (QStringList{"--quality", "75", Job.SourcePath}));
    EXPECT_TRUE(arguments[3].endsWith("/decoded.jpeg"));
    EXPECT_EQ(QFileInfo(Job.OutputPath).size(), QFileInfo(SampleFor(".jpeg")).size());
}

TEST_F(HeicFakeToolsTest, DecodingToTheTemporaryPngHasNoQualityOption) {
    Job.TargetFormat = FormatTag::BMP;
    Job.OutputPath = QDir(Out).filePath("it's.bmp");
    THeicImageSide side;
    side.SaveTargetFromPng = [this](const QString& png) {
        SavedFromPng.append(png);
        QFile::copy(png, Job.OutputPath);
    };

    ASSERT_EQ(ConvertHeicJob(Job, side, Tools), TModifyProgress::Finalised);
    const QStringList arguments = RecordedArguments(Decoder);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(arguments[0], Job.SourcePath);
    EXPECT_TRUE(arguments[1].endsWith("/decoded.png"));
    EXPECT_EQ(SavedFromPng, QStringList{QDir(Job.TempFolder).filePath("it's.png")});
    EXPECT_EQ(QFileInfo(Job.OutputPath).size(), QFileInfo(SampleFor(".png")).size());
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
}

TEST_F(HeicFakeToolsTest, EncodingPassesTheEncoderOptionAndTheSourceItself) {
    Job.SourcePath = QDir(In).filePath("-photo.jpeg");
    Job.SourceFormat = FormatTag::JPEG;
    Job.TargetFormat = FormatTag::HEIC;
    Job.OutputPath = QDir(Out).filePath("-photo.heic");

    ASSERT_EQ(Convert(), TModifyProgress::Finalised);
    EXPECT_EQ(RecordedArguments(Encoder),
              (QStringList{"--quality", "75", Job.SourcePath, "-o", Job.OutputPath}));
    Job.Settings.Lossless = true;
    Job.OutputPath = QDir(Out).filePath("-photo again.heic");
    ASSERT_EQ(Convert(), TModifyProgress::Finalised);
    EXPECT_EQ(RecordedArguments(Encoder), (QStringList{"--lossless", Job.SourcePath, "-o", Job.OutputPath}));
    EXPECT_TRUE(WrittenAsPng.isEmpty());
}

// A tool that would run for ten minutes is killed by a stop, in each direction.
TEST_F(HeicFakeToolsTest, AStopKillsTheRunningToolAndWritesNothing) {
    const QString slow = Folder("slow");
    const QString marker = QDir(slow).filePath("started");
    const QString body = QStringLiteral("touch '%1'; exec sleep 600").arg(marker);
    Tools = THeifTools(WriteFakeTool(slow, "heif-convert", body), WriteFakeTool(slow, "heif-enc", body));
    struct Case {
        FormatTag Source, Target;
        const char* Input;
        const char* Output;
    };
    for (const Case& c : {Case{FormatTag::HEIC, FormatTag::PNG, "it's.heic", "a.png"},
                          Case{FormatTag::HEIC, FormatTag::BMP, "it's.heic", "a.bmp"},
                          Case{FormatTag::JPEG, FormatTag::HEIC, "photo.jpeg", "a.heic"}}) {
        QFile::remove(marker);
        Job.SourcePath = QDir(In).filePath(c.Input);
        Job.SourceFormat = c.Source;
        Job.TargetFormat = c.Target;
        Job.OutputPath = QDir(Out).filePath(c.Output);
        // The stop arrives once the tool runs.
        Job.CheckCancelled = [&] { return QFileInfo::exists(marker); };
        EXPECT_EQ(Convert(), TModifyProgress::Cancelled) << c.Output;
        EXPECT_FALSE(QFileInfo::exists(Job.OutputPath));
        EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
    }
}

TEST_F(HeicFakeToolsTest, AStaleTemporaryPngIsNeverTakenForTheDecodedPicture) {
    Tools = THeifTools(WriteFakeTool(Folder("failing"), "heif-convert", "exit 1"), Encoder);
    Job.TargetFormat = FormatTag::BMP;
    Job.OutputPath = QDir(Out).filePath("it's.bmp");
    QDir().mkpath(Job.TempFolder);
    ASSERT_TRUE(SamplePicture().save(TemporaryPngPath(Job)));

    EXPECT_THROW(Convert(), ConversionError);
    EXPECT_TRUE(SavedFromPng.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Job.OutputPath));
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
}

struct CutShortCase {
    const char* Name;
    FormatTag Source, Target;
    bool Throws; // "Error!" rather than "Format error"
};

class HeicCutShortOutputTest : public HeicFakeToolsTest, public testing::WithParamInterface<CutShortCase> {};

// A full disk makes the tools write half a file and still exit 0.
TEST_P(HeicCutShortOutputTest, HalfAFileFromAToolThatExitedCleanlyIsNoResult) {
    const CutShortCase& c = GetParam();
    const QString tools = Folder("half");
    Tools = THeifTools(WriteFakeTool(tools, "heif-convert", HalfSampleBody()),
                       WriteFakeTool(tools, "heif-enc", HalfSampleBody()));
    Job.SourceFormat = c.Source;
    Job.TargetFormat = c.Target;
    if (c.Source != FormatTag::HEIC) Job.SourcePath = WriteSample("a" + FormatExtension(c.Source), c.Source);
    Job.OutputPath = QDir(Out).filePath(".a.x1.part" + FormatExtension(c.Target));

    if (c.Throws)
        EXPECT_THROW(Convert(), ConversionError);
    else
        EXPECT_EQ(Convert(), TModifyProgress::FormatErr);
    EXPECT_TRUE(QDir(Out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    EXPECT_TRUE(SavedFromPng.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Pairs, HeicCutShortOutputTest,
                         testing::Values(CutShortCase{"PngToHeic", FormatTag::PNG, FormatTag::HEIC, false},
                                         CutShortCase{"JpegToHeic", FormatTag::JPEG, FormatTag::HEIC, false},
                                         CutShortCase{"BmpToHeic", FormatTag::BMP, FormatTag::HEIC, false},
                                         CutShortCase{"HeicToPng", FormatTag::HEIC, FormatTag::PNG, false},
                                         CutShortCase{"HeicToJpeg", FormatTag::HEIC, FormatTag::JPEG, false},
                                         CutShortCase{"HeicToBmp", FormatTag::HEIC, FormatTag::BMP, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct MissingToolCase {
    const char* Name;
    FormatTag Source, Target;
    bool Throws; // "Error!" rather than "Format error"
};

class HeicMissingToolTest : public HeicConversionTest, public testing::WithParamInterface<MissingToolCase> {};

TEST_P(HeicMissingToolTest, EndsAsFormatErrorOrErrorAndWritesNothing) {
    const MissingToolCase& c = GetParam();
    Tools = THeifTools();
    Job.SourceFormat = c.Source;
    Job.TargetFormat = c.Target;
    Job.SourcePath = c.Source == FormatTag::HEIC ? QDir(In).filePath("a.heic")
                                                 : WriteSample("a" + FormatExtension(c.Source), c.Source);
    Job.OutputPath = QDir(Out).filePath("a" + FormatExtension(c.Target));

    if (c.Throws)
        EXPECT_THROW(Convert(), ConversionError);
    else
        EXPECT_EQ(Convert(), TModifyProgress::FormatErr);
    EXPECT_TRUE(QDir(Out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    EXPECT_TRUE(SavedFromPng.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Job.TempFolder));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, HeicMissingToolTest,
    testing::Values(MissingToolCase{"HeicToPng", FormatTag::HEIC, FormatTag::PNG, false},
                    MissingToolCase{"HeicToJpeg", FormatTag::HEIC, FormatTag::JPEG, false},
                    MissingToolCase{"HeicToBmp", FormatTag::HEIC, FormatTag::BMP, true},
                    MissingToolCase{"HeicToIco", FormatTag::HEIC, FormatTag::ICO, true},
                    MissingToolCase{"HeicToHeic", FormatTag::HEIC, FormatTag::HEIC, true},
                    MissingToolCase{"PngToHeic", FormatTag::PNG, FormatTag::HEIC, false},
                    MissingToolCase{"BmpToHeic", FormatTag::BMP, FormatTag::HEIC, false}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
