#pragma once
// The audio layer's state between BASS_Init and BASS_Free: the open streams by handle.
#include "AudioStream.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

class AudioLibrary {
  public:
    static AudioLibrary& Instance();

    // False when it already was.
    bool Start();
    // Stops and releases every stream; false when the library was not started.
    bool Stop();
    bool Started() const;

    std::uint32_t NewHandle();
    // False, and the stream is not kept, when the library is not started (a release
    // that came between the caller's check and this call).
    bool AddStream(std::uint32_t handle, std::shared_ptr<AudioStream> stream);
    std::shared_ptr<AudioStream> Stream(std::uint32_t handle) const;
    std::shared_ptr<AudioStream> TakeStream(std::uint32_t handle);
    std::size_t StreamCount() const;

  private:
    AudioLibrary() = default;

    mutable std::mutex FMutex;
    bool FStarted = false;
    std::uint32_t FLastHandle = 0;
    std::map<std::uint32_t, std::shared_ptr<AudioStream>> FStreams;
};
