#include "ImageConverter.h"
#include "Base64.h"
#include "ImageTestSupport.h"
#include "ImgBase.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace imagetest;

namespace {

constexpr int Width = 64, Height = 48;

QString Extension(FormatTag tag) {
    return tag == FormatTag::IMGBASE ? QStringLiteral(".txt") : FormatExtension(tag);
}

// IMG-BASE text read back without our code: Base64 by Qt, then the UTF-8 text turned into
// Windows-1252 bytes by Qt's codec.
QByteArray BmpFromImgBase(const QByteArray& text) {
    const QString characters = QString::fromUtf8(QByteArray::fromBase64(text));
    QStringEncoder encoder("windows-1252");
    if (!encoder.isValid()) return {};
    return encoder.encode(characters);
}

struct TSource {
    QString Path;
    QImage Truth; // what the source file holds, as an independent reader sees it
};

// Writes a 64 × 48 source of the given format and returns what it holds.
TSource MakeSource(FormatTag tag, const QString& folder, bool alpha = false) {
    const QString path = folder + QStringLiteral("/source") + Extension(tag);
    const QImage photo = PhotoLike(Width, Height, alpha);
    QByteArray data;
    switch (tag) {
    case FormatTag::PNG:
        data = QtWrite(photo, "png");
        break;
    case FormatTag::BMP:
        data = QtWrite(photo.convertToFormat(QImage::Format_RGB32), "bmp");
        break;
    case FormatTag::JPEG:
        data = QtWrite(photo.convertToFormat(QImage::Format_RGB32), "jpeg", 95);
        break;
    case FormatTag::ICO:
        data = QtWrite(photo.convertToFormat(QImage::Format_ARGB32), "ico");
        break;
    case FormatTag::GIF:
        data = GifFile(Width, Height, {{CubeColours(photo)}});
        break;
    case FormatTag::IMGBASE: {
        const QByteArray bmp = QtWrite(photo.convertToFormat(QImage::Format_RGB32), "bmp");
        data = Base64Encode(Windows1252ToUtf8(bmp));
        break;
    }
    default:
        break;
    }
    EXPECT_TRUE(WriteFile(path, data));
    QImage truth = tag == FormatTag::IMGBASE ? QtRead(BmpFromImgBase(data)) : QtRead(data);
    return {path, truth};
}

QImage ReadOutput(FormatTag tag, const QString& path) {
    const QByteArray data = ReadFile(path);
    if (tag == FormatTag::IMGBASE) return QtRead(BmpFromImgBase(data), "bmp");
    return QtRead(data, tag == FormatTag::ICO ? "ico" : nullptr);
}

ConversionJob MakeJob(const QString& source, FormatTag from, FormatTag to, const QString& folder) {
    ConversionJob job;
    job.SourcePath = source;
    job.SourceFormat = from;
    job.TargetFormat = to;
    job.OutputPath = folder + QStringLiteral("/.out.part") + Extension(to);
    job.TempFolder = folder + QStringLiteral("/data/Temp/");
    return job;
}

// The icon of the key-colour path as it should read: the picture scaled by nearest
// neighbour, with the bottom-left colour transparent.
QImage ExpectedIcon(const QImage& truth) {
    const int edge = 32; // 64 × 48 fits 32 first
    const QImage flat = truth.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_RGBA8888);
    const QRgb key = flat.pixel(0, flat.height() - 1);
    QImage icon(edge, edge, QImage::Format_RGBA8888);
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            const QRgb p = flat.pixel(x * flat.width() / edge, y * flat.height() / edge);
            icon.setPixel(x, y, p == key ? qRgba(0, 0, 0, 0) : p);
        }
    return icon;
}

const FormatTag Formats[] = {FormatTag::PNG, FormatTag::BMP, FormatTag::JPEG,
                             FormatTag::GIF, FormatTag::ICO, FormatTag::IMGBASE};

bool Lossy(FormatTag tag) {
    return tag == FormatTag::JPEG || tag == FormatTag::GIF;
}

class ConvertPair : public testing::TestWithParam<std::tuple<FormatTag, FormatTag>> {};

TEST_P(ConvertPair, WritesTheSourcePictureInTheTargetFormat) {
    const auto [from, to] = GetParam();
    QTemporaryDir dir;
    const TSource source = MakeSource(from, dir.path());
    ASSERT_FALSE(source.Truth.isNull());
    if (to == FormatTag::IMGBASE && !QStringEncoder("windows-1252").isValid())
        GTEST_SKIP() << "no Windows-1252 codec in Qt";

    const ConversionJob job = MakeJob(source.Path, from, to, dir.path());
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    const QImage out = ReadOutput(to, job.OutputPath);
    ASSERT_FALSE(out.isNull());

    if (to == FormatTag::ICO) {
        EXPECT_EQ(QFileInfo(job.OutputPath).size(), 4286);
        const TDiff diff = Compare(out, ExpectedIcon(source.Truth));
        // A lossy source may hit the key colour in a few more or fewer pixels.
        if (Lossy(from))
            EXPECT_LT(diff.Mean, 3.0);
        else
            EXPECT_EQ(diff.Max, 0);
        return;
    }
    ASSERT_EQ(out.size(), QSize(Width, Height));
    const TDiff diff = Compare(out, source.Truth);
    if (to == FormatTag::JPEG) {
        // The hard edges of a GIF's few colours cost JPEG more than smooth photographs.
        EXPECT_LT(diff.Mean, from == FormatTag::GIF ? 6.0 : 2.5);
    } else if (to == FormatTag::GIF) {
        EXPECT_LT(diff.Mean, from == FormatTag::GIF ? 0.01 : 6.0);
    } else {
        EXPECT_EQ(diff.Max, 0) << "lossless target";
    }
    EXPECT_FALSE(QDir(job.TempFolder).exists());
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertPair,
                         testing::Combine(testing::ValuesIn(Formats), testing::ValuesIn(Formats)),
                         [](const auto& info) {
                             QString name = FormatName(std::get<0>(info.param)) + QStringLiteral("_to_") +
                                            FormatName(std::get<1>(info.param));
                             return name.toStdString();
                         });

class AlphaTarget : public testing::TestWithParam<FormatTag> {};

// Transparency survives into every target that can hold it.
TEST_P(AlphaTarget, KeepsTransparency) {
    QTemporaryDir dir;
    const TSource source = MakeSource(FormatTag::PNG, dir.path(), true);
    const ConversionJob job = MakeJob(source.Path, FormatTag::PNG, GetParam(), dir.path());
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    const QImage out = ReadOutput(GetParam(), job.OutputPath);
    ASSERT_FALSE(out.isNull());
    const TDiff diff = Compare(out, source.Truth);
    if (GetParam() == FormatTag::GIF) {
        // Left half transparent, right half opaque, as the alpha ramp crosses 128.
        EXPECT_EQ(qAlpha(out.pixel(5, 10)), 0);
        EXPECT_EQ(qAlpha(out.pixel(Width - 5, 10)), 255);
    } else {
        EXPECT_EQ(diff.Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, AlphaTarget,
                         testing::Values(FormatTag::PNG, FormatTag::BMP, FormatTag::GIF));

TEST(ImageConverter, JpegFromATransparentPngIsFlattenedOverWhite) {
    QTemporaryDir dir;
    const TSource source = MakeSource(FormatTag::PNG, dir.path(), true);
    const ConversionJob job = MakeJob(source.Path, FormatTag::PNG, FormatTag::JPEG, dir.path());
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    const QImage out = ReadOutput(FormatTag::JPEG, job.OutputPath);
    QImage white(Width, Height, QImage::Format_RGBA8888);
    white.fill(Qt::white);
    QImage expected = white;
    {
        QPainter painter(&expected);
        painter.drawImage(0, 0, source.Truth);
    }
    EXPECT_LT(Compare(out, expected).Mean, 2.5);
    EXPECT_GT(qGray(out.pixel(0, 0)), 240); // fully transparent corner
}

// The decoder follows the file's extension, not the chosen source format.
TEST(ImageConverter, DecoderFollowsTheExtension) {
    QTemporaryDir dir;
    const TSource gif = MakeSource(FormatTag::GIF, dir.path());
    const ConversionJob job = MakeJob(gif.Path, FormatTag::PNG, FormatTag::BMP, dir.path());
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    EXPECT_EQ(Compare(ReadOutput(FormatTag::BMP, job.OutputPath), gif.Truth).Max, 0);
}

TEST(ImageConverter, PngNamedJfifFailsAndWritesNothing) {
    QTemporaryDir dir;
    const TSource png = MakeSource(FormatTag::PNG, dir.path());
    const QString jfif = dir.filePath(QStringLiteral("picture.jfif"));
    ASSERT_TRUE(QFile::rename(png.Path, jfif));
    const ConversionJob job = MakeJob(jfif, FormatTag::PNG, FormatTag::JPEG, dir.path());
    EXPECT_THROW(ConvertImage(job), ConversionError);
    EXPECT_FALSE(QFileInfo::exists(job.OutputPath));
}

struct TBadSource {
    const char* Name;
    FormatTag Tag;
    const char* FileName;
    std::function<QByteArray(const QByteArray& valid)> Damage;
};

class BadSource : public testing::TestWithParam<TBadSource> {};

TEST_P(BadSource, EndsAsErrorWithNothingWritten) {
    const TBadSource& bad = GetParam();
    QTemporaryDir dir;
    const TSource valid = MakeSource(bad.Tag, dir.path());
    const QString path = dir.filePath(QString::fromLatin1(bad.FileName));
    ASSERT_TRUE(WriteFile(path, bad.Damage(ReadFile(valid.Path))));
    for (FormatTag to : Formats) {
        const ConversionJob job = MakeJob(path, bad.Tag, to, dir.path());
        EXPECT_THROW(ConvertImage(job), ConversionError) << FormatName(to).toStdString();
        EXPECT_FALSE(QFileInfo::exists(job.OutputPath));
    }
}

QByteArray Empty(const QByteArray&) {
    return {};
}
QByteArray Half(const QByteArray& valid) {
    return valid.left(valid.size() / 2);
}
QByteArray Garbage(const QByteArray& valid) {
    return QByteArray(valid.size(), 'x');
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadSource,
    testing::Values(TBadSource{"EmptyPng", FormatTag::PNG, "a.png", Empty},
                    TBadSource{"TruncatedPng", FormatTag::PNG, "a.png", Half},
                    TBadSource{"TruncatedBmp", FormatTag::BMP, "a.bmp", Half},
                    TBadSource{"GarbageBmp", FormatTag::BMP, "a.bmp", Garbage},
                    TBadSource{"TruncatedJpeg", FormatTag::JPEG, "a.jpg", Half},
                    TBadSource{"EmptyJpeg", FormatTag::JPEG, "a.jpeg", Empty},
                    TBadSource{"TruncatedGif", FormatTag::GIF, "a.gif", Half},
                    TBadSource{"TruncatedIco", FormatTag::ICO, "a.ico", Half},
                    TBadSource{"GarbageIco", FormatTag::ICO, "a.ico", Garbage},
                    TBadSource{"TruncatedImgBase", FormatTag::IMGBASE, "a.txt", Half},
                    TBadSource{"EmptyImgBase", FormatTag::IMGBASE, "a.txt", Empty},
                    TBadSource{"PngNamedJpg", FormatTag::JPEG, "a.jpg",
                               [](const QByteArray&) { return QtWrite(PhotoLike(8, 8), "png"); }},
                    TBadSource{"JpegNamedPng", FormatTag::PNG, "a.png",
                               [](const QByteArray&) { return QtWrite(PhotoLike(8, 8), "jpeg"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ImageConverter, MissingSourceIsAnError) {
    QTemporaryDir dir;
    const ConversionJob job = MakeJob(dir.filePath("absent.png"), FormatTag::PNG, FormatTag::BMP, dir.path());
    EXPECT_THROW(ConvertImage(job), ConversionError);
    EXPECT_FALSE(QFileInfo::exists(job.OutputPath));
}

TEST(ImageConverter, ClearsTheTempFolderAfterEachConversion) {
    QTemporaryDir dir;
    const TSource source = MakeSource(FormatTag::PNG, dir.path());
    const ConversionJob job = MakeJob(source.Path, FormatTag::PNG, FormatTag::BMP, dir.path());
    ASSERT_TRUE(QDir().mkpath(job.TempFolder + QStringLiteral("inner")));
    ASSERT_TRUE(WriteFile(job.TempFolder + QStringLiteral("inner/leftover.png"), "x"));
    ASSERT_EQ(ConvertImage(job), TModifyProgress::Finalised);
    EXPECT_FALSE(QDir(job.TempFolder).exists());
    EXPECT_TRUE(QFileInfo::exists(source.Path));
}

TEST(ImageConverter, AStopIsHonouredBeforeAndBetweenDecodingAndEncoding) {
    for (const int stopAtQuestion : {1, 2}) {
        QTemporaryDir dir;
        const TSource source = MakeSource(FormatTag::PNG, dir.path());
        ConversionJob job = MakeJob(source.Path, FormatTag::PNG, FormatTag::JPEG, dir.path());
        auto asked = std::make_shared<int>(0);
        job.CheckCancelled = [asked, stopAtQuestion] { return ++*asked >= stopAtQuestion; };
        EXPECT_EQ(ConvertImage(job), TModifyProgress::Cancelled) << stopAtQuestion;
        EXPECT_EQ(*asked, stopAtQuestion);
        EXPECT_FALSE(QFileInfo::exists(job.OutputPath));
    }
}

TEST(ImageConverter, FailedConversionLeavesTheTempFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.png");
    ASSERT_TRUE(WriteFile(path, "not a picture"));
    const ConversionJob job = MakeJob(path, FormatTag::PNG, FormatTag::BMP, dir.path());
    ASSERT_TRUE(QDir().mkpath(job.TempFolder));
    EXPECT_THROW(ConvertImage(job), ConversionError);
    EXPECT_TRUE(QDir(job.TempFolder).exists());
}

TEST(ImageConverter, ClearTempFolderNeverTouchesTheWorkingFolder) {
    QTemporaryDir dir;
    const QString keep = dir.filePath("keep.txt");
    ASSERT_TRUE(WriteFile(keep, "x"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ClearTempFolder(QString());
    ClearTempFolder(QStringLiteral("relative/"));
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(keep));
}

} // namespace
