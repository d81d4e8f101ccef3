#pragma once
// Encodes float samples of a stream into one output file through FFmpeg.
#include "AudioFormat.h"
#include "FFmpeg.h"

#include <cstdint>
#include <memory>
#include <string>

class AudioEncoder {
  public:
    enum class Kind { MP3, FLAC, OGG, OPUS, WAVE };

    // Whether this FFmpeg build has the encoder and its container, and it is not
    // hidden by FORMSHIFT_HIDE_AUDIO_ENCODERS.
    static bool Available(Kind kind);
    // Creates the file and writes its header; null on failure, `error` then holding a
    // BASS error code.
    static std::unique_ptr<AudioEncoder> Create(Kind kind, const std::string& path, const AudioFormat& source,
                                                int& error);
    // An encoder that was not finished closes its file as it is.
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    // Interleaved frames in the source's format; false once anything failed.
    bool Write(const float* samples, int frames);
    // Flushes the encoder and completes the file; false when it could not.
    bool Finish();

  private:
    AudioEncoder() = default;
    bool Open(Kind kind, const std::string& path, const AudioFormat& source, int& error);
    bool Push(const std::uint8_t* const* planes, int frames);
    bool EncodeFromFifo(int frames);
    bool WritePackets();
    bool ReserveConverted(int frames);

    OutputContextPtr FOutput;
    AVStream* FStream = nullptr;
    CodecContextPtr FCodec;
    ResamplerPtr FResampler;
    AudioFifoPtr FFifo;
    FramePtr FFrame;
    PacketPtr FPacket;
    std::uint8_t** FConverted = nullptr;
    int FConvertedCapacity = 0;
    int FFrameSize = 0;
    bool FPadLastFrame = false;
    std::int64_t FNextPts = 0;
    bool FFailed = false;
    bool FFinished = false;
};
