#include "AudioStream.h"

#include <algorithm>

AudioStream::AudioStream(std::uint32_t handle, std::unique_ptr<AudioDecoder> decoder, std::string fileName)
    : FHandle(handle), FDecoder(std::move(decoder)), FFileName(std::move(fileName)),
      FFrameBytes(static_cast<std::uint64_t>(FDecoder->Format().FrameBytes())) {
    FLengthBytes = FDecoder->LengthFrames() * FFrameBytes;
}

AudioStream::~AudioStream() {
    Stop();
    // Only when the worker itself let go of the last reference, on its way out.
    if (FWorker.joinable()) FWorker.detach();
}

void AudioStream::Stop() {
    bool onWorker;
    {
        std::lock_guard lock(FMutex);
        FStopRequested = true;
        FEncoders.clear();
        onWorker = FWorkerId == std::this_thread::get_id();
    }
    FDecoder->Interrupt();
    FWake.notify_all();
    if (!onWorker && FWorker.joinable()) FWorker.join();
}

void AudioStream::SetRate(double framesPerSecond) {
    {
        std::lock_guard lock(FMutex);
        FRate = framesPerSecond;
        FPaceStart = std::chrono::steady_clock::now();
        FPaceStartFrames = FFramesPlayed;
    }
    FWake.notify_all();
}

bool AudioStream::AddEncoder(std::unique_ptr<AudioEncoder> encoder) {
    std::lock_guard lock(FMutex);
    if (FState == State::Ended) return false;
    FEncoders.push_back(std::move(encoder));
    return true;
}

void AudioStream::AddEndCallback(std::uint32_t sync, EndCallback callback, void* user) {
    std::lock_guard lock(FMutex);
    FEndSyncs.push_back({sync, callback, user});
}

bool AudioStream::Play() {
    std::lock_guard lock(FMutex);
    if (FState == State::Ended) return false;
    if (FState == State::Playing) return true;
    FState = State::Playing;
    FPaceStart = std::chrono::steady_clock::now();
    FPaceStartFrames = FFramesPlayed;
    FWorker = std::thread(&AudioStream::Run, this);
    return true;
}

void AudioStream::WaitForPace(std::uint64_t framesPlayed) {
    std::unique_lock lock(FMutex);
    FFramesPlayed = framesPlayed;
    for (;;) {
        if (FStopRequested) return;
        const double rate = FRate > 0 ? FRate : FDecoder->Format().SampleRate;
        const auto due =
            FPaceStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>((framesPlayed - FPaceStartFrames) / rate));
        if (due <= std::chrono::steady_clock::now()) return;
        FWake.wait_until(lock, due);
    }
}

bool AudioStream::Deliver(const float* samples, int frames) {
    std::lock_guard lock(FMutex);
    for (const auto& encoder : FEncoders)
        if (!encoder->Write(samples, frames)) return false;
    return true;
}

bool AudioStream::FinishEncoders() {
    std::lock_guard lock(FMutex);
    bool complete = true;
    for (const auto& encoder : FEncoders)
        complete = encoder->Finish() && complete;
    return complete;
}

std::uint64_t AudioStream::TruncationTolerance() const {
    // Announced lengths of intact files may count the encoder's delay and padding.
    return std::max<std::uint64_t>(4096 * FFrameBytes, FLengthBytes / 200);
}

void AudioStream::Run() {
    {
        // Play() holds the lock until FWorker is assigned.
        std::lock_guard lock(FMutex);
        FWorkerId = std::this_thread::get_id();
    }
    std::uint64_t frames = 0;
    bool failed = false;
    for (;;) {
        WaitForPace(frames);
        {
            std::lock_guard lock(FMutex);
            if (FStopRequested) break;
        }
        const AudioDecoder::ReadResult result = FDecoder->Read();
        if (result == AudioDecoder::ReadResult::End) break;
        if (result == AudioDecoder::ReadResult::Failed || !Deliver(FDecoder->Samples(), FDecoder->Frames())) {
            failed = true;
            break;
        }
        frames += static_cast<std::uint64_t>(FDecoder->Frames());
        FPositionBytes = frames * FFrameBytes;
    }

    // An end callback may free this stream.
    const std::shared_ptr<AudioStream> self = shared_from_this();
    std::vector<EndSync> syncs;
    {
        std::lock_guard lock(FMutex);
        if (FStopRequested) {
            FState = State::Ended;
            return;
        }
        syncs = FEndSyncs;
    }
    const std::uint64_t played = frames * FFrameBytes;
    // A source whose length is known exactly but that ends well before it was cut off.
    if (!failed && FDecoder->LengthExact() && played + TruncationTolerance() < FLengthBytes) failed = true;
    if (!failed) failed = !FinishEncoders();
    // The position reaches the length only when the whole stream went through.
    FLengthBytes = failed ? std::max<std::uint64_t>(FLengthBytes, played + FFrameBytes) : played;
    FState = State::Ended;
    for (const EndSync& sync : syncs)
        sync.Callback(sync.Sync, FHandle, 0, sync.User);
}
