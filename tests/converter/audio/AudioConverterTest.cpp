#include "AudioConverter.h"
#include "AudioLibrary.h"
#include "AudioTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const QString ToneTitle = QStringLiteral("Formshift test tone ♪");

class AudioConversion : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        InitiateLibraries();
    }
    void TearDown() override { FreeLibraries(); }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    QString Wave(const QString& name, const WaveClip& clip = {}) const {
        const QString path = Path(name);
        WriteWave(path, clip);
        return path;
    }

    TModifyProgress Convert(
        const QString& source, FormatTag target, const QString& output,
        std::function<bool()> cancelled = [] { return false; }) {
        ConversionJob job;
        job.SourcePath = source;
        job.SourceFormat = FormatFromExtension(QFileInfo(source).suffix());
        job.TargetFormat = target;
        job.OutputPath = output;
        job.TempFolder = Path("Temp/");
        job.SetItemPercent = [this](int percent) { FPercents.push_back(percent); };
        job.CheckCancelled = std::move(cancelled);
        return ConvertAudio(job);
    }

    // Converts a fresh tone into `target` for use as a source.
    QString Encoded(const QString& name, FormatTag target, const WaveClip& clip = {}) {
        const QString output = Path(name);
        EXPECT_EQ(Convert(Wave(name + ".wav", clip), target, output), TModifyProgress::Finalised);
        return output;
    }

    QTemporaryDir FDir;
    std::vector<int> FPercents;
};

struct TargetCase {
    FormatTag Target;
    const char* Codec;
    int SampleRate;
};

class ConvertsToEveryTarget : public AudioConversion, public testing::WithParamInterface<TargetCase> {};

TEST_P(ConvertsToEveryTarget, WritesTheCompleteFileWithItsTags) {
    const TargetCase& c = GetParam();
    const QString output = Path("tone" + FormatExtension(c.Target));
    ASSERT_EQ(Convert(Wave("source.wav", {.Title = ToneTitle}), c.Target, output),
              TModifyProgress::Finalised);
    ASSERT_TRUE(QFile::exists(output));
    ASSERT_FALSE(FPercents.empty());
    EXPECT_TRUE(std::is_sorted(FPercents.begin(), FPercents.end()));
    EXPECT_EQ(FPercents.back(), 100);
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);

    if (!HaveFfprobe()) GTEST_SKIP() << "ffprobe is not installed";
    const auto probed = Probe(output);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->Codec, c.Codec);
    EXPECT_EQ(probed->Channels, 2);
    EXPECT_EQ(probed->SampleRate, c.SampleRate);
    EXPECT_NEAR(probed->DecodedSeconds, 1.0, 0.01);
    EXPECT_EQ(probed->Title, ToneTitle);
}

INSTANTIATE_TEST_SUITE_P(Targets, ConvertsToEveryTarget,
                         testing::Values(TargetCase{FormatTag::MP3, "mp3", 44100},
                                         TargetCase{FormatTag::FLAC, "flac", 44100},
                                         TargetCase{FormatTag::OGG, "vorbis", 44100},
                                         TargetCase{FormatTag::OPUS, "opus", 48000},
                                         TargetCase{FormatTag::WAVE, "pcm_s16le", 44100}),
                         [](const auto& info) { return FormatName(info.param.Target).toStdString(); });

class ReadsEverySource : public AudioConversion, public testing::WithParamInterface<FormatTag> {};

TEST_P(ReadsEverySource, BackToWaveWithItsLengthAndTags) {
    const QString source = Encoded("tone" + FormatExtension(GetParam()), GetParam(), {.Title = ToneTitle});
    const QString output = Path("back.wav");
    ASSERT_EQ(Convert(source, FormatTag::WAVE, output), TModifyProgress::Finalised);

    if (!HaveFfprobe()) GTEST_SKIP() << "ffprobe is not installed";
    const auto probed = Probe(output);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->Codec, "pcm_s16le");
    EXPECT_EQ(probed->Channels, 2);
    EXPECT_NEAR(probed->DecodedSeconds, 1.0, 0.01);
    EXPECT_EQ(probed->Title, ToneTitle);
}

INSTANTIATE_TEST_SUITE_P(Sources, ReadsEverySource,
                         testing::Values(FormatTag::MP3, FormatTag::FLAC, FormatTag::OGG, FormatTag::OPUS),
                         [](const auto& info) { return FormatName(info.param).toStdString(); });

struct LayoutCase {
    FormatTag Target;
    int Channels;
    std::uint32_t Mask;
    int ExpectedChannels;
    const char* ExpectedLayout; // empty: not checked
};

class KeepsTheChannelLayout : public AudioConversion, public testing::WithParamInterface<LayoutCase> {};

TEST_P(KeepsTheChannelLayout, WhereTheTargetCanHoldIt) {
    const LayoutCase& c = GetParam();
    const QString output = Path("layout" + FormatExtension(c.Target));
    const WaveClip clip{.SampleRate = 48000, .Channels = c.Channels, .Seconds = 0.5, .ChannelMask = c.Mask};
    ASSERT_EQ(Convert(Wave("source.wav", clip), c.Target, output), TModifyProgress::Finalised);

    if (!HaveFfprobe()) GTEST_SKIP() << "ffprobe is not installed";
    const auto probed = Probe(output);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->Channels, c.ExpectedChannels);
    if (*c.ExpectedLayout) {
        EXPECT_EQ(probed->Layout, c.ExpectedLayout);
    }
    EXPECT_NEAR(probed->DecodedSeconds, 0.5, 0.005);
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeepsTheChannelLayout,
                         testing::Values(LayoutCase{FormatTag::MP3, 6, 0x3F, 2, "stereo"},
                                         LayoutCase{FormatTag::FLAC, 6, 0x3F, 6, "5.1"},
                                         LayoutCase{FormatTag::OGG, 6, 0x3F, 6, "5.1"},
                                         LayoutCase{FormatTag::OPUS, 6, 0x3F, 6, "5.1"},
                                         LayoutCase{FormatTag::WAVE, 6, 0x3F, 6, "5.1"},
                                         LayoutCase{FormatTag::WAVE, 4, 0x33, 4, "quad"},
                                         LayoutCase{FormatTag::MP3, 1, 0, 1, "mono"},
                                         LayoutCase{FormatTag::OPUS, 1, 0, 1, "mono"}),
                         [](const auto& info) {
                             return FormatName(info.param.Target).toStdString() + "_" +
                                    std::to_string(info.param.Channels);
                         });

TEST_F(AudioConversion, FlacKeepsTwentyFourBitSources) {
    const QString output = Path("deep.flac");
    ASSERT_EQ(Convert(Wave("deep.wav", {.Bits = 24, .Seconds = 0.5}), FormatTag::FLAC, output),
              TModifyProgress::Finalised);
    if (!HaveFfprobe()) GTEST_SKIP() << "ffprobe is not installed";
    const auto probed = Probe(output);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->BitsPerRawSample, 24);
}

TEST_F(AudioConversion, NamesAreFilesNeverUrls) {
    Wave("pipe:Grüße 100% ♪.wav", {.Seconds = 0.2});
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FDir.path()));
    const TModifyProgress result =
        Convert("pipe:Grüße 100% ♪.wav", FormatTag::FLAC, "pipe:Grüße 100% ♪.flac");
    QDir::setCurrent(previous);
    EXPECT_EQ(result, TModifyProgress::Finalised);
    EXPECT_TRUE(QFile::exists(Path("pipe:Grüße 100% ♪.flac")));
}

TEST_F(AudioConversion, NeverWritesOverAnExistingFile) {
    const QString source = Wave("tone.wav", {.Seconds = 0.2});
    const QString other = Wave("other.wav", {.Seconds = 0.3});
    const qint64 size = QFileInfo(other).size();
    EXPECT_THROW(Convert(source, FormatTag::WAVE, source), ConversionError);
    EXPECT_THROW(Convert(source, FormatTag::WAVE, other), ConversionError);
    EXPECT_EQ(QFileInfo(other).size(), size);
    EXPECT_TRUE(QFileInfo::exists(source));
}

TEST_F(AudioConversion, ImageTargetsAreAFormatError) {
    EXPECT_EQ(Convert(Wave("tone.wav"), FormatTag::PNG, Path("tone.png")), TModifyProgress::FormatErr);
    EXPECT_FALSE(QFile::exists(Path("tone.png")));
}

enum class Damage { Missing, Empty, NotAudio, NoSamples, CutWave, CutFlac, CutMp3, OneHertz, TenMegahertz };

class RefusesDamagedSources : public AudioConversion, public testing::WithParamInterface<Damage> {};

TEST_P(RefusesDamagedSources, AsAnErrorWithNoOutputLeft) {
    QString source;
    switch (GetParam()) {
    case Damage::Missing:
        source = Path("missing.wav");
        break;
    case Damage::Empty:
        source = Path("empty.wav");
        QFile(source).open(QIODevice::WriteOnly);
        break;
    case Damage::NotAudio: {
        source = Path("noise.mp3");
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4096; ++i)
            file.putChar(char((i * 7919 + 13) % 251));
        break;
    }
    case Damage::NoSamples:
        source = Wave("silence.wav", {.Seconds = 0});
        break;
    case Damage::CutWave:
        source = Wave("cut.wav", {.Seconds = 0.5, .DeclaredSeconds = 1.0});
        break;
    case Damage::CutFlac:
        source = Encoded("cut.flac", FormatTag::FLAC);
        Truncate(source, 0.5);
        break;
    case Damage::CutMp3:
        source = Encoded("cut.mp3", FormatTag::MP3);
        Truncate(source, 0.5);
        break;
    case Damage::OneHertz:
        // Resampled for any encoder, each sample would become tens of thousands.
        source = Wave("slow.wav", {.SampleRate = 1, .Channels = 1, .Seconds = 200});
        break;
    case Damage::TenMegahertz:
        source = Wave("fast.wav", {.SampleRate = 10000000, .Channels = 1, .Seconds = 0.0002});
        break;
    }
    const QString output = Path("out.ogg");
    EXPECT_THROW(Convert(source, FormatTag::OGG, output), ConversionError);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Damages, RefusesDamagedSources,
                         testing::Values(Damage::Missing, Damage::Empty, Damage::NotAudio, Damage::NoSamples,
                                         Damage::CutWave, Damage::CutFlac, Damage::CutMp3, Damage::OneHertz,
                                         Damage::TenMegahertz));

TEST_F(AudioConversion, AMissingEncoderFailsOnlyItsTarget) {
    ::setenv("FORMSHIFT_HIDE_AUDIO_ENCODERS", "ogg, flac", 1);
    const QString source = Wave("tone.wav", {.Seconds = 0.2});
    EXPECT_THROW(Convert(source, FormatTag::FLAC, Path("tone.flac")), ConversionError);
    EXPECT_FALSE(QFile::exists(Path("tone.flac")));
    EXPECT_EQ(Convert(source, FormatTag::WAVE, Path("tone.wave.wav")), TModifyProgress::Finalised);
    EXPECT_EQ(Convert(source, FormatTag::MP3, Path("tone.mp3")), TModifyProgress::Finalised);
    ::unsetenv("FORMSHIFT_HIDE_AUDIO_ENCODERS");
    EXPECT_EQ(Convert(source, FormatTag::FLAC, Path("tone.flac")), TModifyProgress::Finalised);
}

// A full disk, as the process's file size limit makes the writes fail.
TEST_F(AudioConversion, AFailedWriteIsAnErrorWithNoOutputLeft) {
    const QString source = Wave("tone.wav", {.Seconds = 2.0});
    const QString output = Path("tone.flac");
    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(Convert(source, FormatTag::FLAC, output), ConversionError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

TEST_F(AudioConversion, WorksOnlyWhileTheLibrariesAreStarted) {
    const QString source = Wave("tone.wav", {.Seconds = 0.2});
    FreeLibraries();
    EXPECT_THROW(Convert(source, FormatTag::MP3, Path("tone.mp3")), ConversionError);
    InitiateLibraries();
    EXPECT_EQ(Convert(source, FormatTag::MP3, Path("tone.mp3")), TModifyProgress::Finalised);
}

TEST_F(AudioConversion, StopEndsTheConversionAndRemovesItsOutput) {
    const QString output = Path("tone.mp3");
    EXPECT_EQ(Convert(Wave("tone.wav"), FormatTag::MP3, output, [] { return true; }),
              TModifyProgress::Cancelled);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

// The source is a pipe that delivers half of a clip and then stalls until the run
// is stopped, so the stop is sure to come in the middle of the stream.
TEST_F(AudioConversion, StopInTheMiddleOfAStalledSource) {
    const QString whole = Wave("whole.wav", {.Seconds = 6.0});
    QFile wholeFile(whole);
    ASSERT_TRUE(wholeFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = wholeFile.readAll();
    const QString pipe = Path("stalled.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    std::atomic<bool> stopped = false;
    // The stop may close the pipe before the writer is done with it.
    const auto previousPipeAction = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
        if (fd < 0) return;
        const qsizetype half = bytes.size() / 2;
        for (qsizetype done = 0; done < half;) {
            const ssize_t n = ::write(fd, bytes.constData() + done, half - done);
            if (n <= 0) break;
            done += n;
        }
        while (!stopped)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::close(fd);
    });

    const QString output = Path("stalled.flac");
    const TModifyProgress result = Convert(pipe, FormatTag::FLAC, output, [&] {
        stopped = true;
        return true;
    });
    stopped = true;
    writer.join();
    std::signal(SIGPIPE, previousPipeAction);
    EXPECT_EQ(result, TModifyProgress::Cancelled);
    ASSERT_FALSE(FPercents.empty());
    EXPECT_LT(FPercents.back(), 100);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

} // namespace
