#include "AudioLibrary.h"

AudioLibrary& AudioLibrary::Instance() {
    static AudioLibrary library;
    return library;
}

bool AudioLibrary::Start() {
    std::lock_guard lock(FMutex);
    if (FStarted) return false;
    FStarted = true;
    return true;
}

bool AudioLibrary::Stop() {
    std::map<std::uint32_t, std::shared_ptr<AudioStream>> streams;
    {
        std::lock_guard lock(FMutex);
        if (!FStarted) return false;
        FStarted = false;
        streams.swap(FStreams);
    }
    // Outside the lock: a stream's end callback may be calling into the library.
    for (auto& [handle, stream] : streams)
        stream->Stop();
    return true;
}

bool AudioLibrary::Started() const {
    std::lock_guard lock(FMutex);
    return FStarted;
}

std::uint32_t AudioLibrary::NewHandle() {
    std::lock_guard lock(FMutex);
    do {
        ++FLastHandle;
    } while (FLastHandle == 0 || FStreams.count(FLastHandle));
    return FLastHandle;
}

bool AudioLibrary::AddStream(std::uint32_t handle, std::shared_ptr<AudioStream> stream) {
    std::lock_guard lock(FMutex);
    if (!FStarted) return false;
    FStreams[handle] = std::move(stream);
    return true;
}

std::shared_ptr<AudioStream> AudioLibrary::Stream(std::uint32_t handle) const {
    std::lock_guard lock(FMutex);
    const auto found = FStreams.find(handle);
    return found == FStreams.end() ? nullptr : found->second;
}

std::shared_ptr<AudioStream> AudioLibrary::TakeStream(std::uint32_t handle) {
    std::lock_guard lock(FMutex);
    const auto found = FStreams.find(handle);
    if (found == FStreams.end()) return nullptr;
    std::shared_ptr<AudioStream> stream = std::move(found->second);
    FStreams.erase(found);
    return stream;
}

std::size_t AudioLibrary::StreamCount() const {
    std::lock_guard lock(FMutex);
    return FStreams.size();
}
