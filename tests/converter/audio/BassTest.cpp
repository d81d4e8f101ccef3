// The audio layer's entry points as the converter and other callers rely on them.
#include "Bass.h"
#include "AudioLibrary.h"
#include "AudioTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class AudioLayer : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
        FTone = FDir.filePath("tone.wav");
        WriteWave(FTone, {.SampleRate = 44100, .Channels = 2, .Seconds = 1.0});
    }
    void TearDown() override { BASS_Free(); }

    HSTREAM Open(const QString& path) { return BASS_StreamCreateFile(0, path.utf16(), 0, 0, BASS_UNICODE); }

    QTemporaryDir FDir;
    QString FTone;
};

// Lets a test wait for the end of a stream without a timed sleep.
struct EndWaiter {
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Ended = false;

    static void Notify(HSYNC, DWORD, DWORD, void* user) {
        auto* waiter = static_cast<EndWaiter*>(user);
        std::lock_guard lock(waiter->Mutex);
        waiter->Ended = true;
        waiter->Wake.notify_all();
    }
    void Wait() {
        std::unique_lock lock(Mutex);
        Wake.wait(lock, [this] { return Ended; });
    }
};

TEST_F(AudioLayer, StartsOnceAndFreesOnce) {
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Free());
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(Open(FTone), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(AudioLayer, LengthsCountBytesOfFloatSamples) {
    const HSTREAM stream = Open(FTone);
    ASSERT_NE(stream, 0u);
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    EXPECT_EQ(length, 44100u * 2 * sizeof(float));
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(stream, length), 1.0);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);

    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.flags, BASS_SAMPLE_FLOAT);
    EXPECT_EQ(info.ctype, BASS_CTYPE_STREAM_WAV);
    EXPECT_EQ(info.origres, 16u);
    EXPECT_EQ(QString::fromUtf8(info.filename), FTone);
    EXPECT_TRUE(BASS_StreamFree(stream));
}

TEST_F(AudioLayer, FileNamesMayBeUtf8) {
    const QByteArray name = FTone.toUtf8();
    const HSTREAM stream = BASS_StreamCreateFile(0, name.constData(), 0, 0, 0);
    EXPECT_NE(stream, 0u);
}

TEST_F(AudioLayer, PlaysToTheEndWithoutADevice) {
    const HSTREAM stream = Open(FTone);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED); // not started yet
    EndWaiter waiter;
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, &EndWaiter::Notify, &waiter), 0u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f));
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_FREQ, 1e12f));
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    waiter.Wait();
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    EXPECT_FALSE(BASS_ChannelPlay(stream, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
}

TEST_F(AudioLayer, AnEndCallbackMayFreeItsStream) {
    const HSTREAM stream = Open(FTone);
    ASSERT_NE(stream, 0u);
    struct Context {
        EndWaiter Waiter;
        BOOL Freed = 0;
    } context;
    BASS_ChannelSetSync(
        stream, BASS_SYNC_END, 0,
        [](HSYNC, DWORD channel, DWORD, void* user) {
            auto* context = static_cast<Context*>(user);
            context->Freed = BASS_StreamFree(channel);
            EndWaiter::Notify(0, channel, 0, &context->Waiter);
        },
        &context);
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_FREQ, 1e12f);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    context.Waiter.Wait();
    EXPECT_TRUE(context.Freed);
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

TEST_F(AudioLayer, FreeingTheLibraryFreesItsStreams) {
    const HSTREAM stream = Open(FTone);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0)); // in real time: still playing when freed
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
    EXPECT_FALSE(BASS_ChannelIsActive(stream));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
}

// Several conversions at once, each on its own thread: every thread reads its own
// last error whatever the others do meanwhile, and each stream plays to its end.
TEST_F(AudioLayer, SeveralStreamsOnSeveralThreadsKeepTheirOwnErrorCodes) {
    constexpr int Threads = 4;
    std::vector<std::thread> threads;
    std::atomic<int> wrongCodes = 0, incomplete = 0;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&, t] {
            const QString output = FDir.filePath(QString("out%1.wav").arg(t));
            const HSTREAM stream = Open(FTone);
            if (!stream) {
                ++incomplete;
                return;
            }
            EndWaiter waiter;
            BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, &EndWaiter::Notify, &waiter);
            BASS_ChannelSetAttribute(stream, BASS_ATTRIB_FREQ, 1e12f);
            BASS_Encode_Start(stream, output.utf16(), BASS_UNICODE | BASS_ENCODE_PCM, nullptr, nullptr);
            BASS_ChannelPlay(stream, 0);
            for (int i = 0; i < 200; ++i) {
                // Odd threads fail a call, even ones succeed; neither sees the other's code.
                if (t % 2) {
                    BASS_ChannelGetLength(stream, 7);
                    if (BASS_ErrorGetCode() != BASS_ERROR_NOTAVAIL) ++wrongCodes;
                } else {
                    BASS_ChannelGetLength(stream, BASS_POS_BYTE);
                    if (BASS_ErrorGetCode() != BASS_OK) ++wrongCodes;
                }
            }
            waiter.Wait();
            if (BASS_ChannelGetPosition(stream, BASS_POS_BYTE) !=
                BASS_ChannelGetLength(stream, BASS_POS_BYTE))
                ++incomplete;
            BASS_StreamFree(stream);
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrongCodes, 0);
    EXPECT_EQ(incomplete, 0);
    EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
}

// A stream opened while another thread releases the library is refused, never kept
// in a library that is no longer started.
TEST_F(AudioLayer, AStreamOpenedDuringTheReleaseIsRefused) {
    for (int round = 0; round < 20; ++round) {
        std::thread opener([&] {
            const HSTREAM stream = Open(FTone);
            if (stream)
                BASS_StreamFree(stream);
            else
                EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
        });
        BASS_Free();
        opener.join();
        EXPECT_EQ(AudioLibrary::Instance().StreamCount(), 0u);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    }
}

TEST_F(AudioLayer, RefusesWhatItDoesNotOffer) {
    const HSTREAM stream = Open(FTone);
    ASSERT_NE(stream, 0u);
    const QString output = FDir.filePath("out.mp3");
    const auto* path = output.utf16();
    EXPECT_EQ(BASS_Encode_MP3_StartFile(stream, u"-b 320", BASS_UNICODE, path), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_Encode_Start(stream, u"lame - out.mp3", BASS_UNICODE, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_EQ(BASS_ChannelGetLength(stream, 1), ~QWORD{0});
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_FALSE(BASS_ChannelSetAttribute(stream, 99, 1.0f));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    EXPECT_EQ(BASS_StreamCreateFile(1, FTone.utf16(), 0, 0, BASS_UNICODE), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_FALSE(QFile::exists(output));
}

TEST_F(AudioLayer, UnknownHandlesAreRefused) {
    EXPECT_FALSE(BASS_StreamFree(12345));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelGetPosition(12345, BASS_POS_BYTE), ~QWORD{0});
    EXPECT_LT(BASS_ChannelBytes2Seconds(12345, 100), 0.0);
    EXPECT_EQ(BASS_Encode_FLAC_StartFile(12345, nullptr, 0, "x.flac"), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(AudioLayer, SourcesThatAreNoAudioAreRefused) {
    EXPECT_EQ(Open(FDir.filePath("missing.flac")), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    const QString text = FDir.filePath("text.ogg");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3000, 'a'));
    file.close();
    EXPECT_EQ(Open(text), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

} // namespace
