#include "HeifTools.h"
#include "ImageConverter.h"
#include "ImageTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace imagetest;

namespace {

const QString HeicDecoder = QStringLiteral("heif-convert");
const QString HeicEncoder = QStringLiteral("heif-enc");

ConversionJob MakeJob(const QString& source, FormatTag from, FormatTag to, const QString& folder) {
    ConversionJob job;
    job.SourcePath = source;
    job.SourceFormat = from;
    job.TargetFormat = to;
    job.OutputPath = folder + QStringLiteral("/.out.part") +
                     (to == FormatTag::IMGBASE ? QStringLiteral(".txt") : FormatExtension(to));
    job.TempFolder = folder + QStringLiteral("/data/Temp/");
    return job;
}

// PATH for the duration of a test, so the tools found are the ones the test puts there.
class TPath {
  public:
    explicit TPath(const QString& folder) : FOld(qgetenv("PATH")) { qputenv("PATH", folder.toLocal8Bit()); }
    ~TPath() { qputenv("PATH", FOld); }

  private:
    QByteArray FOld;
};

// A stand-in tool: a shell script that records its arguments, one a line, and then runs `body`.
void FakeTool(const QString& folder, const QString& name, const QString& record, const QString& body) {
    const QString path = folder + QLatin1Char('/') + name;
    WriteFile(path, ("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + "'\n" + body + "\n").toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

QStringList Recorded(const QString& record) {
    QStringList lines = QString::fromUtf8(ReadFile(record)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The last argument is the output; the fakes write a whole sample of the kind its
// extension names there, since a tool's output is only taken once it is whole
// (by full path: PATH holds only the stand-ins).
const QString WriteLast = QStringLiteral(
    "for last; do :; done\n"
    "case \"$last\" in *.heic) s=meadow-heic.heic ;; *.png) s=sunset.png ;; *) s=meadow.jpg ;; esac\n"
    "/bin/cat \"" BRENVALE_SOURCE_DIR "/resources/samples/$s\" > \"$last\"");

TEST(ImageConverterHeic, ArgumentsTravelAsAVectorWhateverThePaths) {
    QTemporaryDir tools, dir;
    const QString record = tools.filePath("args");
    FakeTool(tools.path(), HeicEncoder, record, WriteLast);
    FakeTool(tools.path(), HeicDecoder, record, WriteLast);
    const TPath path(tools.path());
    const QString odd = dir.filePath(QStringLiteral("-it's \"a\" $(test)"));
    ASSERT_TRUE(QDir().mkpath(odd));

    const QString png = odd + QStringLiteral("/o'hara photo.png");
    ASSERT_TRUE(WriteFile(png, QtWrite(PhotoLike(20, 10), "png")));
    ConversionJob encode = MakeJob(png, FormatTag::PNG, FormatTag::HEIC, odd);
    encode.Settings.Lossless = false;
    encode.Settings.Quality = 70;
    ASSERT_EQ(ConvertImage(encode), TModifyProgress::Finalised);
    EXPECT_EQ(Recorded(record), (QStringList{"--quality", "70", png, "-o", encode.OutputPath}));

    const QString heic = odd + QStringLiteral("/o'hara photo.heic");
    ASSERT_TRUE(WriteFile(heic, "stand-in"));
    const ConversionJob direct = MakeJob(heic, FormatTag::HEIC, FormatTag::JPEG, odd);
    ASSERT_EQ(ConvertImage(direct), TModifyProgress::Finalised);
    // The decoder writes into a private folder first, so only the exact result reaches the output.
    const QStringList decoded = Recorded(record);
    ASSERT_EQ(decoded.size(), 4);
    EXPECT_EQ(decoded.mid(0, 3), (QStringList{"--quality", "100", heic}));
    EXPECT_TRUE(decoded[3].endsWith(".jpeg"));
}

TEST(ImageConverterHeic, OtherSourcesReachTheEncoderAsATemporaryPng) {
    QTemporaryDir tools, dir;
    const QString record = tools.filePath("args");
    FakeTool(tools.path(), HeicEncoder, record, WriteLast);
    const TPath path(tools.path());
    const QString bmp = dir.filePath("photo.bmp");
    ASSERT_TRUE(WriteFile(bmp, QtWrite(PhotoLike(20, 10).convertToFormat(QImage::Format_RGB32), "bmp")));
    const ConversionJob job = MakeJob(bmp, FormatTag::BMP, FormatTag::HEIC, dir.path());
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    const QString temporary = QDir(job.TempFolder).filePath("photo.png");
    EXPECT_EQ(Recorded(record), (QStringList{"--lossless", temporary, "-o", job.OutputPath}));
    EXPECT_FALSE(QDir(job.TempFolder).exists()); // cleared afterwards
}

TEST(ImageConverterHeic, MissingToolsGiveFormatErrorOrError) {
    QTemporaryDir empty, dir;
    const TPath path(empty.path());
    const QString heic = dir.filePath("a.heic");
    ASSERT_TRUE(WriteFile(heic, "stand-in"));
    EXPECT_EQ(ConvertImage(MakeJob(heic, FormatTag::HEIC, FormatTag::PNG, dir.path())),
              TModifyProgress::FormatErr);
    EXPECT_EQ(ConvertImage(MakeJob(heic, FormatTag::HEIC, FormatTag::JPEG, dir.path())),
              TModifyProgress::FormatErr);
    EXPECT_THROW(ConvertImage(MakeJob(heic, FormatTag::HEIC, FormatTag::BMP, dir.path())), ConversionError);
    const QString png = dir.filePath("b.png");
    ASSERT_TRUE(WriteFile(png, QtWrite(PhotoLike(8, 8), "png")));
    EXPECT_EQ(ConvertImage(MakeJob(png, FormatTag::PNG, FormatTag::HEIC, dir.path())),
              TModifyProgress::FormatErr);
    // Conversions without HEIC are unaffected.
    EXPECT_EQ(ConvertImage(MakeJob(png, FormatTag::PNG, FormatTag::BMP, dir.path())),
              TModifyProgress::Finalised);
}

TEST(ImageConverterHeic, AFailingToolsHalfFileIsNoSuccess) {
    QTemporaryDir tools, dir;
    FakeTool(tools.path(), HeicDecoder, tools.filePath("args"), WriteLast + QStringLiteral("; exit 1"));
    const TPath path(tools.path());
    const QString heic = dir.filePath("a.heic");
    ASSERT_TRUE(WriteFile(heic, "stand-in"));
    EXPECT_EQ(ConvertImage(MakeJob(heic, FormatTag::HEIC, FormatTag::PNG, dir.path())),
              TModifyProgress::FormatErr);
    EXPECT_THROW(ConvertImage(MakeJob(heic, FormatTag::HEIC, FormatTag::GIF, dir.path())), ConversionError);
}

// ---- with the real tools ----------------------------------------------------------------

class RealHeic : public testing::TestWithParam<FormatTag> {
  protected:
    void SetUp() override {
        const THeifTools tools = THeifTools::Locate();
        if (!tools.HasDecoder() || !tools.HasEncoder())
            GTEST_SKIP() << "heif-convert and heif-enc are not installed";
    }
};

// A HEIC made by heif-enc converts to every format, also from a path with an apostrophe.
TEST_P(RealHeic, ConvertsToTheTarget) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("it's here"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QImage photo = PhotoLike(64, 48);
    const QString png = folder + QStringLiteral("/o'hara.png");
    ASSERT_TRUE(WriteFile(png, QtWrite(photo.convertToFormat(QImage::Format_RGB32), "png")));
    const ConversionJob encode = MakeJob(png, FormatTag::PNG, FormatTag::HEIC, folder);
    ASSERT_EQ(ConvertImage(encode), TModifyProgress::Finalised);
    const QString heic = folder + QStringLiteral("/o'hara.heic");
    ASSERT_TRUE(QFile::rename(encode.OutputPath, heic));

    const FormatTag target = GetParam();
    const ConversionJob job = MakeJob(heic, FormatTag::HEIC, target, folder);
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    EXPECT_FALSE(QDir(job.TempFolder).exists());
    if (target == FormatTag::HEIC) {
        EXPECT_GT(QFileInfo(job.OutputPath).size(), 0);
        return;
    }
    const QImage out = QtReadFile(job.OutputPath, target == FormatTag::ICO ? "ico" : nullptr);
    ASSERT_FALSE(out.isNull());
    if (target == FormatTag::ICO) {
        EXPECT_EQ(out.size(), QSize(32, 32));
        return;
    }
    EXPECT_EQ(out.size(), photo.size());
    // The tools' lossless mode still halves the colour resolution; GIF dithers on top.
    EXPECT_LT(Compare(out, photo, false).Mean, target == FormatTag::GIF ? 10.0 : 6.0);
}

INSTANTIATE_TEST_SUITE_P(Targets, RealHeic,
                         testing::Values(FormatTag::PNG, FormatTag::JPEG, FormatTag::BMP, FormatTag::GIF,
                                         FormatTag::ICO, FormatTag::HEIC),
                         [](const auto& info) { return FormatName(info.param).toStdString(); });

} // namespace
