#include "AudioConverter.h"

#include "AudioTags.h"
#include "Bass.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace {

// Wakes the poll as soon as the stream stops playing.
class EndSignal {
  public:
    static void Notify(HSYNC, DWORD, DWORD, void* user) {
        auto* signal = static_cast<EndSignal*>(user);
        {
            std::lock_guard lock(signal->FMutex);
            signal->FEnded = true;
        }
        signal->FWake.notify_all();
    }

    void WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(FMutex);
        FWake.wait_for(lock, timeout, [this] { return FEnded; });
    }

  private:
    std::mutex FMutex;
    std::condition_variable FWake;
    bool FEnded = false;
};

// Frees the stream on every way out, and with it the encoder, which closes its file
// first; an output that did not become complete is removed then.
class StreamGuard {
  public:
    StreamGuard(HSTREAM stream, const QString& output) : FStream(stream), FOutput(output) {}
    ~StreamGuard() {
        BASS_StreamFree(FStream);
        if (FOutputStarted && !FComplete) QFile::remove(FOutput);
    }
    StreamGuard(const StreamGuard&) = delete;
    StreamGuard& operator=(const StreamGuard&) = delete;

    void OutputStarted() { FOutputStarted = true; }
    void Complete() { FComplete = true; }

  private:
    HSTREAM FStream;
    QString FOutput;
    bool FOutputStarted = false;
    bool FComplete = false;
};

std::int64_t Milliseconds(HSTREAM stream, QWORD bytes) {
    return static_cast<std::int64_t>(std::nearbyint(BASS_ChannelBytes2Seconds(stream, bytes) * 1000.0));
}

std::string Describe(const char* what, const QString& path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromUtf8(what)).toStdString();
}

// For a failed call of the audio layer, with its reason.
std::string DescribeFailedCall(const char* what, const QString& path) {
    return QStringLiteral("%1: %2 (audio error %3)")
        .arg(path, QString::fromUtf8(what))
        .arg(BASS_ErrorGetCode())
        .toStdString();
}

HENCODE StartEncoder(HSTREAM stream, FormatTag target, const QString& output) {
    const char16_t* path = reinterpret_cast<const char16_t*>(output.utf16());
    const DWORD flags = BASS_UNICODE | BASS_ENCODE_AUTOFREE;
    switch (target) {
    case FormatTag::MP3:
        return BASS_Encode_MP3_StartFile(stream, u"", flags, path);
    case FormatTag::FLAC:
        return BASS_Encode_FLAC_StartFile(stream, u"", flags, path);
    case FormatTag::OGG:
        return BASS_Encode_OGG_StartFile(stream, u"", flags, path);
    case FormatTag::OPUS:
        return BASS_Encode_OPUS_StartFile(stream, u"", flags, path);
    case FormatTag::WAVE:
        return BASS_Encode_Start(stream, path, BASS_UNICODE | BASS_ENCODE_PCM, nullptr, nullptr);
    default:
        return 0;
    }
}

// Plays the source into the encoder; the output file is closed when this returns.
TModifyProgress Encode(const ConversionJob& job) {
    // The output is a fresh name; whatever is there already belongs to someone else.
    if (QFileInfo::exists(job.OutputPath) || QFileInfo(job.OutputPath).isSymLink())
        throw ConversionError(Describe("the output exists already", job.OutputPath));

    EndSignal ended; // outlives the stream, whose worker may still signal it
    const HSTREAM stream = BASS_StreamCreateFile(0, job.SourcePath.utf16(), 0, 0, BASS_UNICODE);
    if (!stream)
        throw ConversionError(DescribeFailedCall("cannot read the audio of the source", job.SourcePath));
    StreamGuard guard(stream, job.OutputPath);

    const std::int64_t lengthMs = Milliseconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    BASS_CHANNELINFO info;
    BASS_ChannelGetInfo(stream, &info);
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f);
    // A rate this high never waits. A source that does not tell its length plays as
    // fast as one of an hour would, not in real time.
    const std::int64_t rate = static_cast<std::int64_t>(info.freq) * (lengthMs > 0 ? lengthMs : 3600000);
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_FREQ, static_cast<float>(rate));

    if (!StartEncoder(stream, job.TargetFormat, job.OutputPath))
        throw ConversionError(DescribeFailedCall(BASS_ErrorGetCode() == BASS_ERROR_NOTAVAIL
                                                     ? "this build has no encoder for the target format"
                                                     : "cannot create the output",
                                                 job.OutputPath));
    guard.OutputStarted();
    BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, &EndSignal::Notify, &ended);
    if (!BASS_ChannelPlay(stream, 0))
        throw ConversionError(DescribeFailedCall("cannot play the source", job.SourcePath));

    bool finished = false;
    do {
        // A stop is noticed within a slice, the percentage shown once per interval.
        for (auto waited = std::chrono::milliseconds(0); waited < AudioPollInterval && !finished;
             waited += AudioStopSlice) {
            ended.WaitFor(AudioStopSlice);
            finished = BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
            if (job.CheckCancelled()) break;
        }
        const std::int64_t positionMs = Milliseconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
        const double percent = lengthMs > 0 ? std::nearbyint(positionMs * 100.0 / lengthMs) : 0.0;
        job.SetItemPercent(static_cast<int>(std::clamp(percent, 0.0, 100.0)));
        if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    } while (!finished);

    const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    // The stream was freed under the conversion (the library released): nothing is known of the output.
    if (position == ~QWORD{0})
        throw ConversionError(
            DescribeFailedCall("the audio layer was released during the conversion", job.SourcePath));
    if (position == 0) throw ConversionError(Describe("the source holds no audio", job.SourcePath));
    if (position < BASS_ChannelGetLength(stream, BASS_POS_BYTE))
        throw ConversionError(
            Describe("the source is damaged or cut off, or the output could not be written completely",
                     job.SourcePath));
    guard.Complete();
    return TModifyProgress::Finalised;
}

} // namespace

void InitiateLibraries() {
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
}

void FreeLibraries() {
    BASS_Free();
}

TModifyProgress ConvertAudio(const ConversionJob& job) {
    if (!IsAudioFormat(job.TargetFormat)) return TModifyProgress::FormatErr;
    const TModifyProgress result = Encode(job);
    if (result == TModifyProgress::Finalised)
        CarryAudioTags(job.SourcePath, job.OutputPath, job.TargetFormat, job.ReportLoss);
    return result;
}
