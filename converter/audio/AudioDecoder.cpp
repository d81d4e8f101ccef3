#include "AudioDecoder.h"

#include "Bass.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace {

std::uint32_t ReadLE32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The demuxer trusts a WAVE file's data chunk only as far as the file reaches, so a
// cut-off file would look complete. The header still tells how much data there was
// meant to be; 0 when it does not say (streamed files, compressed data, RF64).
std::uint64_t AnnouncedWaveFrames(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0; // never consume a pipe
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::uint64_t frames = 0;
    unsigned char head[12];
    if (std::fread(head, 1, 12, file) == 12 && !std::memcmp(head, "RIFF", 4) &&
        !std::memcmp(head + 8, "WAVE", 4)) {
        unsigned formatTag = 0, blockAlign = 0;
        unsigned char chunk[8];
        while (std::fread(chunk, 1, 8, file) == 8) {
            const std::uint32_t size = ReadLE32(chunk + 4);
            if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
                unsigned char fmt[16];
                if (std::fread(fmt, 1, 16, file) != 16) break;
                formatTag = fmt[0] | fmt[1] << 8;
                blockAlign = fmt[12] | fmt[13] << 8;
                if (std::fseek(file, static_cast<long>(size) - 16 + (size & 1), SEEK_CUR) != 0) break;
            } else if (!std::memcmp(chunk, "data", 4)) {
                const bool plainSamples = formatTag == 1 || formatTag == 3 || formatTag == 0xFFFE;
                if (plainSamples && blockAlign > 0 && size != 0 && size != 0xFFFFFFFF)
                    frames = size / blockAlign;
                break;
            } else if (std::fseek(file, static_cast<long>(size) + (size & 1), SEEK_CUR) != 0) {
                break;
            }
        }
    }
    std::fclose(file);
    return frames;
}

// Tags that describe the source's encoding rather than its content.
bool IsEncodingTag(const char* key) {
    static const char* const Keys[] = {"encoder",       "iTunSMPB",          "iTunNORM",     "major_brand",
                                       "minor_version", "compatible_brands", "handler_name", "vendor_id"};
    return std::any_of(std::begin(Keys), std::end(Keys),
                       [key](const char* k) { return !strcasecmp(k, key); });
}

std::uint32_t ContainerTypeOf(const AVFormatContext* input, AVCodecID codec) {
    const char* name = input->iformat->name;
    if (!std::strcmp(name, "mp3")) return BASS_CTYPE_STREAM_MP3;
    if (!std::strcmp(name, "flac")) return BASS_CTYPE_STREAM_FLAC;
    if (!std::strcmp(name, "wav")) return BASS_CTYPE_STREAM_WAV;
    if (!std::strcmp(name, "ogg"))
        return codec == AV_CODEC_ID_OPUS ? BASS_CTYPE_STREAM_OPUS : BASS_CTYPE_STREAM_OGG;
    return BASS_CTYPE_STREAM_OTHER;
}

int OriginalBitsOf(const AVCodecParameters* parameters) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters->codec_id);
    if (!descriptor || !(descriptor->props & AV_CODEC_PROP_LOSSLESS)) return 0;
    if (parameters->bits_per_raw_sample > 0) return parameters->bits_per_raw_sample;
    if (parameters->bits_per_coded_sample > 0) return parameters->bits_per_coded_sample;
    return av_get_bits_per_sample(parameters->codec_id);
}

// Rates and channel counts no recording has. A WAVE header claiming 1 Hz makes
// every encoder resample each sample into tens of thousands, and gigabytes of
// memory from a small file.
constexpr int MinSampleRate = 1000;
constexpr int MaxSampleRate = 768000;
constexpr int MaxChannels = 64;

bool IsPlausibleAudio(int sampleRate, int channels) {
    return sampleRate >= MinSampleRate && sampleRate <= MaxSampleRate && channels > 0 &&
           channels <= MaxChannels;
}

} // namespace

std::unique_ptr<AudioDecoder> AudioDecoder::Open(const std::string& path, int& error) {
    std::unique_ptr<AudioDecoder> decoder(new AudioDecoder);
    if (!decoder->OpenFile(path, error)) return nullptr;
    error = BASS_OK;
    return decoder;
}

AudioDecoder::~AudioDecoder() {
    av_channel_layout_uninit(&FResamplerLayout);
}

int AudioDecoder::InterruptRequested(void* decoder) {
    return static_cast<AudioDecoder*>(decoder)->FInterrupted.load() ? 1 : 0;
}

bool AudioDecoder::OpenFile(const std::string& path, int& error) {
    AVFormatContext* input = avformat_alloc_context();
    if (!input) return error = BASS_ERROR_MEM, false;
    input->interrupt_callback = {&AudioDecoder::InterruptRequested, this};
    // The name is a file, never a URL of some other protocol ("pipe:", "http:"...).
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&input, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        // avformat_open_input has freed the context.
        error = opened == AVERROR(ENOENT) || opened == AVERROR(EACCES) || opened == AVERROR(EISDIR)
                    ? BASS_ERROR_FILEOPEN
                    : BASS_ERROR_FILEFORM;
        return false;
    }
    FInput.reset(input);
    if (avformat_find_stream_info(input, nullptr) < 0) return error = BASS_ERROR_FILEFORM, false;

    const AVCodec* codec = nullptr;
    FStreamIndex = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (FStreamIndex < 0)
        return error = FStreamIndex == AVERROR_DECODER_NOT_FOUND ? BASS_ERROR_CODEC : BASS_ERROR_FILEFORM,
               false;
    for (unsigned i = 0; i < input->nb_streams; ++i)
        if (static_cast<int>(i) != FStreamIndex) input->streams[i]->discard = AVDISCARD_ALL;
    const AVStream* stream = input->streams[FStreamIndex];

    FCodec.reset(avcodec_alloc_context3(codec));
    if (!FCodec) return error = BASS_ERROR_MEM, false;
    if (avcodec_parameters_to_context(FCodec.get(), stream->codecpar) < 0)
        return error = BASS_ERROR_MEM, false;
    FCodec->thread_count = 1;
    FCodec->pkt_timebase = stream->time_base;
    if (avcodec_open2(FCodec.get(), codec, nullptr) < 0) return error = BASS_ERROR_CODEC, false;
    if (!IsPlausibleAudio(FCodec->sample_rate, FCodec->ch_layout.nb_channels))
        return error = BASS_ERROR_FILEFORM, false;

    FFormat.SampleRate = FCodec->sample_rate;
    if (FCodec->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_copy(&FFormat.Layout, &FCodec->ch_layout);
    else
        av_channel_layout_default(&FFormat.Layout, FCodec->ch_layout.nb_channels);
    FFormat.OriginalBits = OriginalBitsOf(stream->codecpar);
    FContainerType = ContainerTypeOf(input, FCodec->codec_id);
    CollectTags();
    ReadAnnouncedLength();
    if (FContainerType == BASS_CTYPE_STREAM_WAV) {
        if (const std::uint64_t frames = AnnouncedWaveFrames(path)) {
            FLengthFrames = frames;
            FLengthExact = true;
        }
    }

    FFrame.reset(av_frame_alloc());
    FPacket.reset(av_packet_alloc());
    if (!FFrame || !FPacket) return error = BASS_ERROR_MEM, false;
    return true;
}

void AudioDecoder::ReadAnnouncedLength() {
    const AVFormatContext* input = FInput.get();
    const AVStream* stream = input->streams[FStreamIndex];
    const AVRational sampleBase{1, FFormat.SampleRate};
    std::int64_t frames = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        frames = av_rescale_q(stream->duration, stream->time_base, sampleBase);
    else if (input->duration != AV_NOPTS_VALUE && input->duration > 0)
        frames = av_rescale_q(input->duration, AV_TIME_BASE_Q, sampleBase);
    FLengthFrames = frames > 0 ? static_cast<std::uint64_t>(frames) : 0;
    FLengthExact = FLengthFrames > 0 && input->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
}

void AudioDecoder::CollectTags() {
    for (unsigned i = 0; i < FInput->nb_streams; ++i) {
        const AVStream* stream = FInput->streams[i];
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
            FFormat.PictureBytes += stream->attached_pic.size;
    }
    // Ogg and FLAC keep their comments with the stream, the others with the file.
    for (const AVDictionary* dictionary : {FInput->metadata, FInput->streams[FStreamIndex]->metadata}) {
        const AVDictionaryEntry* entry = nullptr;
        while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX))) {
            if (!*entry->value || IsEncodingTag(entry->key)) continue;
            const bool known =
                std::any_of(FFormat.Tags.begin(), FFormat.Tags.end(),
                            [entry](const auto& tag) { return !strcasecmp(tag.first.c_str(), entry->key); });
            if (!known) FFormat.Tags.emplace_back(entry->key, entry->value);
        }
    }
}

AudioDecoder::ReadResult AudioDecoder::Read() {
    FFrames = 0;
    int damaged = 0;
    for (;;) {
        if (FInterrupted) return ReadResult::Failed;
        const int received = avcodec_receive_frame(FCodec.get(), FFrame.get());
        if (received == 0) {
            const bool converted = Convert(FFrame.get());
            av_frame_unref(FFrame.get());
            if (!converted) return ReadResult::Failed;
            if (FFrames > 0) return ReadResult::Data;
            continue;
        }
        if (received == AVERROR_EOF) {
            if (!DrainResampler()) return ReadResult::Failed;
            return FFrames > 0 ? ReadResult::Data : ReadResult::End;
        }
        // Anything but "needs more input" is a damaged packet: skip it and go on,
        // unless the decoder keeps failing without asking for input.
        if (received != AVERROR(EAGAIN)) {
            if (++damaged > 64) return ReadResult::Failed;
            continue;
        }
        if (FDraining) return ReadResult::End;

        const int read = av_read_frame(FInput.get(), FPacket.get());
        if (read == AVERROR_EOF) {
            FDraining = true;
            avcodec_send_packet(FCodec.get(), nullptr);
            continue;
        }
        if (read < 0) return ReadResult::Failed;
        if (FPacket->stream_index == FStreamIndex) avcodec_send_packet(FCodec.get(), FPacket.get());
        av_packet_unref(FPacket.get());
    }
}

bool AudioDecoder::Convert(const AVFrame* frame) {
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0) return true;
    if (!IsPlausibleAudio(frame->sample_rate, frame->ch_layout.nb_channels)) return false;
    if (!FResampler || frame->sample_rate != FResamplerRate || frame->format != FResamplerFormat ||
        av_channel_layout_compare(&frame->ch_layout, &FResamplerLayout) != 0) {
        SwrContext* resampler = nullptr;
        // FFmpeg 5 takes the layouts as non-const but only reads them.
        if (swr_alloc_set_opts2(&resampler, &FFormat.Layout, AV_SAMPLE_FMT_FLT, FFormat.SampleRate,
                                const_cast<AVChannelLayout*>(&frame->ch_layout),
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                nullptr) < 0)
            return false;
        FResampler.reset(resampler);
        if (swr_init(resampler) < 0) return false;
        av_channel_layout_uninit(&FResamplerLayout);
        av_channel_layout_copy(&FResamplerLayout, &frame->ch_layout);
        FResamplerRate = frame->sample_rate;
        FResamplerFormat = frame->format;
    }
    const int room = swr_get_out_samples(FResampler.get(), frame->nb_samples);
    if (room < 0) return false;
    FSamples.resize(static_cast<std::size_t>(FFrames + room) * FFormat.Channels());
    auto* out = reinterpret_cast<std::uint8_t*>(FSamples.data() +
                                                static_cast<std::size_t>(FFrames) * FFormat.Channels());
    const int converted =
        swr_convert(FResampler.get(), &out, room, const_cast<const std::uint8_t**>(frame->extended_data),
                    frame->nb_samples);
    if (converted < 0) return false;
    FFrames += converted;
    return true;
}

bool AudioDecoder::DrainResampler() {
    if (!FResampler) return true;
    for (;;) {
        const int room = swr_get_out_samples(FResampler.get(), 0);
        if (room <= 0) return room == 0;
        FSamples.resize(static_cast<std::size_t>(FFrames + room) * FFormat.Channels());
        auto* out = reinterpret_cast<std::uint8_t*>(FSamples.data() +
                                                    static_cast<std::size_t>(FFrames) * FFormat.Channels());
        const int converted = swr_convert(FResampler.get(), &out, room, nullptr, 0);
        if (converted < 0) return false;
        if (converted == 0) return true;
        FFrames += converted;
    }
}
