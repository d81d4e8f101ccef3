#include "AudioEncoder.h"

#include "Bass.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <strings.h>

namespace {

struct KindTraits {
    const char* Codec;
    const char* Muxer;
    const char* Word; // its name in FORMSHIFT_HIDE_AUDIO_ENCODERS
};

KindTraits TraitsOf(AudioEncoder::Kind kind) {
    switch (kind) {
    case AudioEncoder::Kind::MP3:
        return {"libmp3lame", "mp3", "mp3"};
    case AudioEncoder::Kind::FLAC:
        return {"flac", "flac", "flac"};
    case AudioEncoder::Kind::OGG:
        return {"libvorbis", "ogg", "ogg"};
    case AudioEncoder::Kind::OPUS:
        return {"libopus", "opus", "opus"};
    case AudioEncoder::Kind::WAVE:
        break;
    }
    return {"pcm_s16le", "wav", "wave"};
}

bool Hidden(const char* word) {
    const char* list = std::getenv("FORMSHIFT_HIDE_AUDIO_ENCODERS");
    if (!list) return false;
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto first = item.find_first_not_of(" \t");
        const auto last = item.find_last_not_of(" \t");
        if (first != std::string::npos && !strcasecmp(item.substr(first, last - first + 1).c_str(), word))
            return true;
    }
    return false;
}

// The source's layout when the encoder takes it, else one with as many channels,
// else the widest it takes that needs no more channels than the source has.
void ChooseLayout(const AVCodec* codec, const AVChannelLayout& source, AVChannelLayout& chosen) {
    const AVChannelLayout* pick = nullptr;
    if (codec->ch_layouts) {
        for (const AVChannelLayout* layout = codec->ch_layouts; layout->nb_channels; ++layout) {
            if (!av_channel_layout_compare(layout, &source)) {
                pick = layout;
                break;
            }
            if (layout->nb_channels == source.nb_channels &&
                (!pick || pick->nb_channels != source.nb_channels))
                pick = layout;
            else if (layout->nb_channels < source.nb_channels &&
                     (!pick || layout->nb_channels > pick->nb_channels))
                pick = layout;
        }
        if (!pick) pick = codec->ch_layouts;
    }
    av_channel_layout_copy(&chosen, pick ? pick : &source);
}

int ChooseRate(const AVCodec* codec, int source) {
    if (!codec->supported_samplerates) return source;
    int above = 0, highest = 0;
    for (const int* rate = codec->supported_samplerates; *rate; ++rate) {
        if (*rate == source) return source;
        if (*rate > source && (!above || *rate < above)) above = *rate;
        if (*rate > highest) highest = *rate;
    }
    return above ? above : highest;
}

bool Supports(const AVCodec* codec, AVSampleFormat format) {
    if (!codec->sample_fmts) return true;
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == format) return true;
    return false;
}

AVSampleFormat ChooseSampleFormat(const AVCodec* codec, AudioEncoder::Kind kind, int originalBits) {
    if (kind == AudioEncoder::Kind::FLAC && originalBits > 16 && Supports(codec, AV_SAMPLE_FMT_S32))
        return AV_SAMPLE_FMT_S32;
    // Lossy encoders work in float: give them the samples without rounding to 16 bits first.
    for (AVSampleFormat preferred :
         {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S16P})
        if (Supports(codec, preferred)) return preferred;
    return codec->sample_fmts[0];
}

void SetTags(AVDictionary** dictionary, const AudioFormat& source) {
    for (const auto& [key, value] : source.Tags)
        av_dict_set(dictionary, key.c_str(), value.c_str(), 0);
}

} // namespace

bool AudioEncoder::Available(Kind kind) {
    const KindTraits traits = TraitsOf(kind);
    return !Hidden(traits.Word) && avcodec_find_encoder_by_name(traits.Codec) &&
           av_guess_format(traits.Muxer, nullptr, nullptr);
}

std::unique_ptr<AudioEncoder> AudioEncoder::Create(Kind kind, const std::string& path,
                                                   const AudioFormat& source, int& error) {
    if (!Available(kind)) return error = BASS_ERROR_NOTAVAIL, nullptr;
    std::unique_ptr<AudioEncoder> encoder(new AudioEncoder);
    if (!encoder->Open(kind, path, source, error)) return nullptr;
    error = BASS_OK;
    return encoder;
}

AudioEncoder::~AudioEncoder() {
    if (FConverted) av_freep(&FConverted[0]);
    av_freep(&FConverted);
}

bool AudioEncoder::Open(Kind kind, const std::string& path, const AudioFormat& source, int& error) {
    const KindTraits traits = TraitsOf(kind);
    const AVCodec* codec = avcodec_find_encoder_by_name(traits.Codec);
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, traits.Muxer, nullptr) < 0)
        return error = BASS_ERROR_NOTAVAIL, false;
    FOutput.reset(output);
    FStream = avformat_new_stream(output, nullptr);
    FCodec.reset(avcodec_alloc_context3(codec));
    if (!FStream || !FCodec) return error = BASS_ERROR_MEM, false;

    AVCodecContext* context = FCodec.get();
    ChooseLayout(codec, source.Layout, context->ch_layout);
    context->sample_rate = kind == Kind::OPUS ? 48000 : ChooseRate(codec, source.SampleRate);
    context->sample_fmt = ChooseSampleFormat(codec, kind, source.OriginalBits);
    context->time_base = {1, context->sample_rate};
    context->thread_count = 1;
    switch (kind) {
    case Kind::MP3: // LAME -V2, about 190 kbps
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = 2 * FF_QP2LAMBDA;
        break;
    case Kind::OGG:
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = 5 * FF_QP2LAMBDA;
        break;
    case Kind::OPUS:
        context->bit_rate =
            context->ch_layout.nb_channels <= 2 ? 128000 : 64000 * context->ch_layout.nb_channels;
        break;
    case Kind::FLAC:
        if (context->sample_fmt == AV_SAMPLE_FMT_S32) context->bits_per_raw_sample = 24;
        break;
    case Kind::WAVE:
        break;
    }
    if (output->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(context, codec, nullptr) < 0) return error = BASS_ERROR_CODEC, false;
    if (avcodec_parameters_from_context(FStream->codecpar, context) < 0) return error = BASS_ERROR_MEM, false;
    FStream->time_base = context->time_base;

    const bool anySize = context->frame_size <= 0 || (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    FFrameSize = anySize ? 4096 : context->frame_size;
    FPadLastFrame = !anySize && !(codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);

    SwrContext* resampler = nullptr;
    // FFmpeg 5 takes the layouts as non-const but only reads them.
    if (swr_alloc_set_opts2(&resampler, &context->ch_layout, context->sample_fmt, context->sample_rate,
                            const_cast<AVChannelLayout*>(&source.Layout), AV_SAMPLE_FMT_FLT,
                            source.SampleRate, 0, nullptr) < 0)
        return error = BASS_ERROR_MEM, false;
    FResampler.reset(resampler);
    if (swr_init(resampler) < 0) return error = BASS_ERROR_CODEC, false;
    FFifo.reset(av_audio_fifo_alloc(context->sample_fmt, context->ch_layout.nb_channels, FFrameSize * 2));
    FFrame.reset(av_frame_alloc());
    FPacket.reset(av_packet_alloc());
    if (!FFifo || !FFrame || !FPacket) return error = BASS_ERROR_MEM, false;
    FFrame->nb_samples = FFrameSize;
    FFrame->format = context->sample_fmt;
    FFrame->sample_rate = context->sample_rate;
    if (av_channel_layout_copy(&FFrame->ch_layout, &context->ch_layout) < 0 ||
        av_frame_get_buffer(FFrame.get(), 0) < 0)
        return error = BASS_ERROR_MEM, false;

    // Ogg keeps comments per stream, the other containers per file. A WAVE file gets its
    // INFO list once the samples are written, after them, where adding it moves nothing.
    // Without the muxer's own name in it either, the file has no list before its samples
    // that growing would move them all.
    if (kind != Kind::WAVE) {
        SetTags(&output->metadata, source);
        SetTags(&FStream->metadata, source);
    } else {
        output->flags |= AVFMT_FLAG_BITEXACT;
    }
    // Room for the pictures and for tags longer than the muxer writes them (the FLAC and
    // ID3v2 headers take padding).
    if (source.PictureBytes > 0)
        output->metadata_header_padding = int(std::min<std::int64_t>(source.PictureBytes + 1024, 1 << 24));

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avio_open2(&output->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return error = BASS_ERROR_CREATE, false;
    AVDictionary* muxerOptions = nullptr;
    if (kind == Kind::WAVE)
        av_dict_set(&muxerOptions, "rf64", "auto", 0); // past 4 GiB a plain WAVE cannot go
    const int header = avformat_write_header(output, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (header < 0) return error = BASS_ERROR_CREATE, false;
    return true;
}

bool AudioEncoder::ReserveConverted(int frames) {
    if (frames <= FConvertedCapacity) return true;
    if (FConverted) av_freep(&FConverted[0]);
    av_freep(&FConverted);
    FConvertedCapacity = 0;
    if (av_samples_alloc_array_and_samples(&FConverted, nullptr, FCodec->ch_layout.nb_channels, frames,
                                           FCodec->sample_fmt, 0) < 0)
        return false;
    FConvertedCapacity = frames;
    return true;
}

bool AudioEncoder::Push(const std::uint8_t* const* planes, int frames) {
    const int room = swr_get_out_samples(FResampler.get(), frames);
    if (room < 0 || !ReserveConverted(room)) return false;
    const int converted =
        swr_convert(FResampler.get(), FConverted, room, const_cast<const std::uint8_t**>(planes), frames);
    if (converted < 0) return false;
    if (converted > 0 &&
        av_audio_fifo_write(FFifo.get(), reinterpret_cast<void**>(FConverted), converted) < converted)
        return false;
    return true;
}

bool AudioEncoder::Write(const float* samples, int frames) {
    if (FFailed || FFinished) return false;
    const auto* interleaved = reinterpret_cast<const std::uint8_t*>(samples);
    if (!Push(&interleaved, frames)) return FFailed = true, false;
    while (av_audio_fifo_size(FFifo.get()) >= FFrameSize)
        if (!EncodeFromFifo(FFrameSize)) return FFailed = true, false;
    return true;
}

bool AudioEncoder::EncodeFromFifo(int frames) {
    // The encoder has let go of the frame by now, so its buffer is reused without
    // an allocation for every frame (Vorbis takes 64 samples at a time).
    AVFrame* frame = FFrame.get();
    frame->nb_samples = FFrameSize;
    if (av_frame_make_writable(frame) < 0) return false;
    if (!FPadLastFrame) frame->nb_samples = frames;
    if (frames < frame->nb_samples)
        av_samples_set_silence(frame->extended_data, frames, frame->nb_samples - frames,
                               FCodec->ch_layout.nb_channels, FCodec->sample_fmt);
    if (av_audio_fifo_read(FFifo.get(), reinterpret_cast<void**>(frame->extended_data), frames) < frames)
        return false;
    frame->pts = FNextPts;
    FNextPts += frames;
    if (avcodec_send_frame(FCodec.get(), frame) < 0) return false;
    return WritePackets();
}

bool AudioEncoder::WritePackets() {
    for (;;) {
        const int received = avcodec_receive_packet(FCodec.get(), FPacket.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) return false;
        FPacket->stream_index = FStream->index;
        av_packet_rescale_ts(FPacket.get(), FCodec->time_base, FStream->time_base);
        const int written = av_write_frame(FOutput.get(), FPacket.get());
        av_packet_unref(FPacket.get());
        if (written < 0) return false;
    }
    return FOutput->pb->error == 0;
}

bool AudioEncoder::Finish() {
    if (FFailed || FFinished) return false;
    FFinished = true;
    // What the resampler still holds, then whatever is left as a last, shorter frame.
    if (!Push(nullptr, 0)) return false;
    while (const int left = av_audio_fifo_size(FFifo.get()))
        if (!EncodeFromFifo(std::min(left, FFrameSize))) return false;
    if (avcodec_send_frame(FCodec.get(), nullptr) < 0 || !WritePackets()) return false;
    if (av_write_trailer(FOutput.get()) < 0) return false;
    return avio_closep(&FOutput->pb) >= 0;
}
