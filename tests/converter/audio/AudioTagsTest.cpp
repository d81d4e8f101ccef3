// Tags and cover art travel with the audio, read back by ffprobe and ffmpeg, readers
// independent of ours; what a format cannot hold is named.
#include "AudioConverter.h"
#include "AudioEncoder.h"
#include "RunTool.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

// Every tag ffprobe finds in the file and its streams, by lower-case name.
std::map<QString, QString> ProbedTags(const QString& path) {
    std::map<QString, QString> tags;
    const auto output = RunTool(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("quiet"),
                                 QStringLiteral("-print_format"), QStringLiteral("json"),
                                 QStringLiteral("-show_format"), QStringLiteral("-show_streams"), path});
    if (!output) return tags;
    const QJsonObject root = QJsonDocument::fromJson(*output).object();
    const auto take = [&](const QJsonObject& object) {
        const QJsonObject found = object.value("tags").toObject();
        for (auto it = found.begin(); it != found.end(); ++it)
            tags[it.key().toLower()] = it.value().toString();
    };
    take(root.value("format").toObject());
    for (const QJsonValue stream : root.value("streams").toArray())
        if (stream.toObject().value("codec_type").toString() == "audio") take(stream.toObject());
    return tags;
}

// The first of the names that the reader used.
QString Tag(const std::map<QString, QString>& tags, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const auto found = tags.find(QString::fromLatin1(name));
        if (found != tags.end()) return found->second;
    }
    return QString();
}

struct TTagCase {
    FormatTag Target;
    AudioEncoder::Kind Encoder;
    bool HoldsEverything; // WAVE's INFO list has no album artist, no disc and no pictures
};

class AudioTags : public testing::TestWithParam<TTagCase> {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty() ||
            QStandardPaths::findExecutable("ffprobe").isEmpty())
            GTEST_SKIP() << "ffmpeg is not installed";
        if (!AudioEncoder::Available(GetParam().Encoder)) GTEST_SKIP() << "this FFmpeg has no such encoder";
        ASSERT_TRUE(FDir.isValid());
        QImage cover(24, 24, QImage::Format_RGB32);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                cover.setPixel(x, y, qRgb(x * 10, y * 10, 128));
        QBuffer buffer(&FCover);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(cover.save(&buffer, "PNG"));
        QFile file(Path("cover.png"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(FCover);
        file.close();
        FSource = Path("song.mp3");
        // ID3v2.3, as most players still write it, with the picture as an APIC frame.
        if (!RunTool(QStringLiteral("ffmpeg"), {"-v",
                                                "quiet",
                                                "-f",
                                                "lavfi",
                                                "-i",
                                                "sine=frequency=440:duration=1",
                                                "-i",
                                                Path("cover.png"),
                                                "-map",
                                                "0:a",
                                                "-map",
                                                "1:v",
                                                "-c:a",
                                                "libmp3lame",
                                                "-c:v",
                                                "copy",
                                                "-id3v2_version",
                                                "3",
                                                "-metadata",
                                                "title=Morning ♪",
                                                "-metadata",
                                                "artist=The Formshifters",
                                                "-metadata",
                                                "album=Daybreak",
                                                "-metadata",
                                                "album_artist=Various",
                                                "-metadata",
                                                "track=3/12",
                                                "-metadata",
                                                "disc=1/2",
                                                "-metadata",
                                                "date=2021",
                                                "-metadata",
                                                "genre=Jazz",
                                                "-metadata",
                                                "comment=Recorded live",
                                                "-metadata:s:v",
                                                "title=Album cover",
                                                "-metadata:s:v",
                                                "comment=Cover (front)",
                                                FSource}))
            GTEST_SKIP() << "ffmpeg cannot write MP3 files here";
        InitiateLibraries();
        FStarted = true;
    }
    void TearDown() override {
        if (FStarted) FreeLibraries();
    }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    QTemporaryDir FDir;
    QByteArray FCover;
    QString FSource;
    bool FStarted = false;
};

TEST_P(AudioTags, TagsAndCoverArtArriveWhereTheFormatHoldsThem) {
    const TTagCase c = GetParam();
    ConversionJob job;
    job.SourcePath = FSource;
    job.SourceFormat = FormatTag::MP3;
    job.TargetFormat = c.Target;
    job.OutputPath = Path("out") + FormatExtension(c.Target);
    job.TempFolder = Path("Temp/");
    QStringList losses;
    job.ReportLoss = [&losses](const QString& what) { losses << what; };
    ASSERT_EQ(ConvertAudio(job), TModifyProgress::Finalised);

    const auto tags = ProbedTags(job.OutputPath);
    EXPECT_EQ(Tag(tags, {"title"}), QStringLiteral("Morning ♪"));
    EXPECT_EQ(Tag(tags, {"artist"}), "The Formshifters");
    EXPECT_EQ(Tag(tags, {"album"}), "Daybreak");
    EXPECT_TRUE(Tag(tags, {"track", "tracknumber"}).startsWith("3")) << Tag(tags, {"track"}).toStdString();
    EXPECT_EQ(Tag(tags, {"date", "year"}), "2021");
    EXPECT_EQ(Tag(tags, {"genre"}), "Jazz");
    EXPECT_EQ(Tag(tags, {"comment"}), "Recorded live");

    const QString picture = Path("picture.png");
    const bool extracted =
        RunTool(QStringLiteral("ffmpeg"), {"-v", "quiet", "-i", job.OutputPath, "-map", "0:v:0", "-c", "copy",
                                           "-f", "image2", "-y", picture})
            .has_value();
    if (c.HoldsEverything) {
        EXPECT_EQ(Tag(tags, {"album_artist", "albumartist"}), "Various");
        EXPECT_TRUE(Tag(tags, {"disc", "discnumber"}).startsWith("1"));
        ASSERT_TRUE(extracted) << "no picture in the output";
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), FCover);
        EXPECT_TRUE(losses.isEmpty()) << losses.join('\n').toStdString();
    } else {
        EXPECT_FALSE(extracted);
        EXPECT_EQ(losses.join('\n').toStdString(), "tags dropped: WAV holds no album artist, disc number\n"
                                                   "cover art dropped: WAV holds no pictures");
    }
}

INSTANTIATE_TEST_SUITE_P(FromMp3, AudioTags,
                         testing::Values(TTagCase{FormatTag::MP3, AudioEncoder::Kind::MP3, true},
                                         TTagCase{FormatTag::FLAC, AudioEncoder::Kind::FLAC, true},
                                         TTagCase{FormatTag::OGG, AudioEncoder::Kind::OGG, true},
                                         TTagCase{FormatTag::OPUS, AudioEncoder::Kind::OPUS, true},
                                         TTagCase{FormatTag::WAVE, AudioEncoder::Kind::WAVE, false}),
                         [](const testing::TestParamInfo<TTagCase>& info) {
                             return FormatName(info.param.Target).toStdString();
                         });

} // namespace
