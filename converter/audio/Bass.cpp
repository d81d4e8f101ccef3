#include "Bass.h"

#include "AudioLibrary.h"
#include "FFmpeg.h"

#include <QFile>
#include <QString>
#include <cmath>

namespace {

thread_local int LastError = BASS_OK;

template <typename T> T Fail(int error, T result) {
    LastError = error;
    return result;
}

template <typename T> T Succeed(T result) {
    LastError = BASS_OK;
    return result;
}

// UTF-16 with BASS_UNICODE, else UTF-8; in the file system's encoding.
std::string FileNameOf(const void* name, DWORD flags) {
    if (flags & BASS_UNICODE)
        return QFile::encodeName(QString::fromUtf16(static_cast<const char16_t*>(name))).toStdString();
    return static_cast<const char*>(name);
}

bool IsEmptyText(const void* text, DWORD flags) {
    if (!text) return true;
    return flags & BASS_UNICODE ? *static_cast<const char16_t*>(text) == 0
                                : *static_cast<const char*>(text) == 0;
}

std::shared_ptr<AudioStream> FindStream(DWORD handle) {
    return AudioLibrary::Instance().Stream(handle);
}

HENCODE StartEncoder(DWORD handle, AudioEncoder::Kind kind, DWORD flags, const void* filename) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0u);
    if (!filename || IsEmptyText(filename, flags)) return Fail(BASS_ERROR_ILLPARAM, 0u);
    if (stream->Ended()) return Fail(BASS_ERROR_ENDED, 0u);
    int error = BASS_OK;
    std::unique_ptr<AudioEncoder> encoder =
        AudioEncoder::Create(kind, FileNameOf(filename, flags), stream->Format(), error);
    if (!encoder) return Fail(error, 0u);
    if (!stream->AddEncoder(std::move(encoder))) return Fail(BASS_ERROR_ENDED, 0u);
    return Succeed(AudioLibrary::Instance().NewHandle());
}

HENCODE StartAddOn(DWORD handle, AudioEncoder::Kind kind, const void* options, DWORD flags,
                   const void* filename) {
    // The encoders' own defaults are the only settings offered.
    if (!IsEmptyText(options, flags)) return Fail(BASS_ERROR_ILLPARAM, 0u);
    return StartEncoder(handle, kind, flags, filename);
}

} // namespace

int BASS_ErrorGetCode() {
    return LastError;
}

BOOL BASS_Init(int device, DWORD, DWORD, void*, const void*) {
    if (device < -1) return Fail(BASS_ERROR_ILLPARAM, 0);
    if (!AudioLibrary::Instance().Start()) return Fail(BASS_ERROR_ALREADY, 0);
    // Failures reach the caller as error codes; the program writes nothing to its console.
    av_log_set_level(AV_LOG_QUIET);
    return Succeed(1);
}

BOOL BASS_Free() {
    if (!AudioLibrary::Instance().Stop()) return Fail(BASS_ERROR_INIT, 0);
    return Succeed(1);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    AudioLibrary& library = AudioLibrary::Instance();
    if (!library.Started()) return Fail(BASS_ERROR_INIT, 0u);
    if (mem || offset != 0 || length != 0) return Fail(BASS_ERROR_NOTAVAIL, 0u);
    if (IsEmptyText(file, flags)) return Fail(BASS_ERROR_FILEOPEN, 0u);
    const std::string path = FileNameOf(file, flags);
    int error = BASS_OK;
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::Open(path, error);
    if (!decoder) return Fail(error, 0u);
    const HSTREAM handle = library.NewHandle();
    if (!library.AddStream(handle, std::make_shared<AudioStream>(handle, std::move(decoder), path)))
        return Fail(BASS_ERROR_INIT, 0u);
    return Succeed(handle);
}

BOOL BASS_StreamFree(HSTREAM handle) {
    const std::shared_ptr<AudioStream> stream = AudioLibrary::Instance().TakeStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0);
    stream->Stop();
    return Succeed(1);
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, ~QWORD{0});
    if (mode != BASS_POS_BYTE) return Fail(BASS_ERROR_NOTAVAIL, ~QWORD{0});
    return Succeed<QWORD>(stream->LengthBytes());
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, ~QWORD{0});
    if (mode != BASS_POS_BYTE) return Fail(BASS_ERROR_NOTAVAIL, ~QWORD{0});
    return Succeed<QWORD>(stream->PositionBytes());
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, -1.0);
    const AudioFormat& format = stream->Format();
    return Succeed(static_cast<double>(pos) / format.FrameBytes() / format.SampleRate);
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0);
    if (!info) return Fail(BASS_ERROR_ILLPARAM, 0);
    const AudioFormat& format = stream->Format();
    *info = BASS_CHANNELINFO{};
    info->freq = static_cast<DWORD>(format.SampleRate);
    info->chans = static_cast<DWORD>(format.Channels());
    info->flags = BASS_SAMPLE_FLOAT;
    info->ctype = stream->ContainerType();
    info->origres = static_cast<DWORD>(format.OriginalBits);
    info->filename = stream->FileName().c_str();
    return Succeed(1);
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0);
    if (!std::isfinite(value) || value < 0) return Fail(BASS_ERROR_ILLPARAM, 0);
    switch (attrib) {
    case BASS_ATTRIB_FREQ:
        stream->SetRate(value);
        return Succeed(1);
    case BASS_ATTRIB_VOL:
        stream->SetVolume(value);
        return Succeed(1);
    default:
        return Fail(BASS_ERROR_ILLTYPE, 0);
    }
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0);
    if (restart && (stream->Playing() || stream->Ended())) return Fail(BASS_ERROR_NOTAVAIL, 0);
    if (!stream->Play()) return Fail(BASS_ERROR_ENDED, 0);
    return Succeed(1);
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    return Succeed(stream->Playing() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user) {
    const std::shared_ptr<AudioStream> stream = FindStream(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE, 0u);
    if (!proc || (type & ~(BASS_SYNC_MIXTIME | BASS_SYNC_ONETIME)) != BASS_SYNC_END)
        return Fail(BASS_ERROR_ILLTYPE, 0u);
    const HSYNC sync = AudioLibrary::Instance().NewHandle();
    stream->AddEndCallback(sync, proc, user);
    return Succeed(sync);
}

HENCODE BASS_Encode_Start(DWORD handle, const void* cmdline, DWORD flags, ENCODEPROC*, void*) {
    // Only the built-in WAVE writer: outside encoder programs are never started.
    if (!(flags & BASS_ENCODE_PCM)) return Fail(BASS_ERROR_NOTAVAIL, 0u);
    return StartEncoder(handle, AudioEncoder::Kind::WAVE, flags, cmdline);
}

HENCODE BASS_Encode_MP3_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename) {
    return StartAddOn(handle, AudioEncoder::Kind::MP3, options, flags, filename);
}

HENCODE BASS_Encode_FLAC_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename) {
    return StartAddOn(handle, AudioEncoder::Kind::FLAC, options, flags, filename);
}

HENCODE BASS_Encode_OGG_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename) {
    return StartAddOn(handle, AudioEncoder::Kind::OGG, options, flags, filename);
}

HENCODE BASS_Encode_OPUS_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename) {
    return StartAddOn(handle, AudioEncoder::Kind::OPUS, options, flags, filename);
}
