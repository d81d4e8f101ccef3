#pragma once
// What an encoder needs to know of the stream it receives: the decoded data is
// 32-bit float, interleaved, in this rate and channel layout.
#include "FFmpeg.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct AudioFormat {
    int SampleRate = 0;
    AVChannelLayout Layout{}; // always in native order, so it owns nothing and copies freely
    int OriginalBits = 0;     // bits per sample of a lossless source, 0 for lossy sources
    std::vector<std::pair<std::string, std::string>> Tags;
    // The bytes of the source's embedded pictures, which are added to the output once
    // it is written: its header keeps that much room, so adding them moves no audio.
    std::int64_t PictureBytes = 0;

    int Channels() const { return Layout.nb_channels; }
    int FrameBytes() const { return Layout.nb_channels * static_cast<int>(sizeof(float)); }
};
