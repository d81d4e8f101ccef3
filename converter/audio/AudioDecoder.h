#pragma once
// Reads an audio file and hands out its samples as 32-bit float, interleaved, in
// the source's rate and channel layout (the layout of the first decoded data).
#include "AudioFormat.h"
#include "FFmpeg.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AudioDecoder {
  public:
    enum class ReadResult { Data, End, Failed };

    // Null when the file cannot be read as audio; `error` is then a BASS error code.
    static std::unique_ptr<AudioDecoder> Open(const std::string& path, int& error);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    const AudioFormat& Format() const { return FFormat; }
    std::uint32_t ContainerType() const { return FContainerType; }
    // The number of sample frames the file announces (0 when it does not say), and
    // whether that number is exact or only estimated from the bit rate.
    std::uint64_t LengthFrames() const { return FLengthFrames; }
    bool LengthExact() const { return FLengthExact; }

    // Decodes the next piece; on Data, Samples() holds Frames() frames until the next call.
    // Failed means the file could not be read on (an I/O error or an interruption):
    // undecodable packets are skipped, as players do.
    ReadResult Read();
    const float* Samples() const { return FSamples.data(); }
    int Frames() const { return FFrames; }

    // Safe from any thread: makes a read blocked on slow or stalled I/O give up.
    void Interrupt() { FInterrupted = true; }

  private:
    AudioDecoder() = default;
    bool OpenFile(const std::string& path, int& error);
    void ReadAnnouncedLength();
    void CollectTags();
    bool Convert(const AVFrame* frame);
    bool DrainResampler();
    static int InterruptRequested(void* decoder);

    InputContextPtr FInput;
    CodecContextPtr FCodec;
    ResamplerPtr FResampler;
    FramePtr FFrame;
    PacketPtr FPacket;
    int FStreamIndex = -1;
    AudioFormat FFormat;
    std::uint32_t FContainerType = 0;
    std::uint64_t FLengthFrames = 0;
    bool FLengthExact = false;
    // What the resampler was set up for; a stream may change its layout or rate midway.
    AVChannelLayout FResamplerLayout{};
    int FResamplerRate = 0;
    int FResamplerFormat = -1;
    std::vector<float> FSamples;
    int FFrames = 0;
    bool FDraining = false;
    std::atomic<bool> FInterrupted = false;
};
