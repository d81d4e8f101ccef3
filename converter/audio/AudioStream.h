#pragma once
// A stream of the audio layer: a decoder whose data a worker thread "plays" into
// the attached encoders, paced by the playback-rate attribute, never to a device.
#include "AudioDecoder.h"
#include "AudioEncoder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class AudioStream : public std::enable_shared_from_this<AudioStream> {
  public:
    using EndCallback = void (*)(std::uint32_t sync, std::uint32_t channel, std::uint32_t data, void* user);

    AudioStream(std::uint32_t handle, std::unique_ptr<AudioDecoder> decoder, std::string fileName);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    const AudioFormat& Format() const { return FDecoder->Format(); }
    std::uint32_t ContainerType() const { return FDecoder->ContainerType(); }
    const std::string& FileName() const { return FFileName; }
    std::uint64_t LengthBytes() const { return FLengthBytes; }
    std::uint64_t PositionBytes() const { return FPositionBytes; }
    bool Playing() const { return FState == State::Playing; }
    bool Ended() const { return FState == State::Ended; }

    // Frames per second of playback; 0 plays at the source's own rate.
    void SetRate(double framesPerSecond);
    void SetVolume(float volume) { FVolume = volume; }
    // Fails once the stream has ended.
    bool AddEncoder(std::unique_ptr<AudioEncoder> encoder);
    void AddEndCallback(std::uint32_t sync, EndCallback callback, void* user);
    // Starts the worker; does nothing while it plays; false once the stream has ended.
    bool Play();
    // Stops playback and waits for the worker (unless called from it, by an end
    // callback); encoders that were not finished close their files as they are.
    void Stop();

  private:
    enum class State { Idle, Playing, Ended };
    struct EndSync {
        std::uint32_t Sync;
        EndCallback Callback;
        void* User;
    };

    void Run();
    bool Deliver(const float* samples, int frames);
    bool FinishEncoders();
    void WaitForPace(std::uint64_t framesPlayed);
    std::uint64_t TruncationTolerance() const;

    const std::uint32_t FHandle;
    std::unique_ptr<AudioDecoder> FDecoder;
    const std::string FFileName;
    const std::uint64_t FFrameBytes;
    std::atomic<std::uint64_t> FLengthBytes = 0;
    std::atomic<std::uint64_t> FPositionBytes = 0;
    std::atomic<State> FState = State::Idle;
    std::atomic<float> FVolume = 1.0f;

    std::mutex FMutex; // guards what follows
    std::condition_variable FWake;
    bool FStopRequested = false;
    double FRate = 0;
    // Pacing restarts from here whenever the rate changes.
    std::chrono::steady_clock::time_point FPaceStart;
    std::uint64_t FPaceStartFrames = 0;
    std::uint64_t FFramesPlayed = 0;
    std::vector<std::unique_ptr<AudioEncoder>> FEncoders;
    std::vector<EndSync> FEndSyncs;
    std::thread::id FWorkerId;

    std::thread FWorker;
};
