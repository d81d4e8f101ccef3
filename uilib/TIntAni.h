#pragma once
// An integer animation: a worker thread walks from StartValue to EndValue along
// an easing curve in Step steps over about Duration milliseconds and hands
// every value to OnSync on the main thread, waiting for it; then OnDone.
//
//     auto* ani = new TIntAni(true, TAniKind::akOut, TAniFunctionKind::afkCubic, 0, 255,
//                             [this](int value) { FOpacity = value; update(); },
//                             [this] { FAnimating = false; });
//     ani->Start(); // frees itself after OnDone
#include "TIntAniCollection.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

using TAniSyncProc = std::function<void(int)>;
using TAniDoneProc = std::function<void()>;

class TIntAni {
  public:
    // Suspended; the owner frees it; linear curve.
    TIntAni();
    // Suspended. With FreeOnFinish the object must live on the heap; it deletes
    // itself after the completion callback, and the owner drops its pointer in
    // that callback at the latest.
    TIntAni(bool FreeOnFinish, TAniKind aAniKind, TAniFunctionKind aAniFunctionKind, int aStartValue,
            int aDeltaValue, TAniSyncProc aSyncProc, TAniDoneProc aDoneProc);
    // Lets a running animation play out first (serving its callbacks).
    ~TIntAni();
    TIntAni(const TIntAni&) = delete;
    TIntAni& operator=(const TIntAni&) = delete;

    // The properties are read when the thread begins; change them before Start.
    int Step() const { return FStep; }
    // 1..255; a step count of 0 would divide by zero and becomes 1.
    void setStep(int value);
    TAniKind AniKind() const { return FAniKind; }
    void setAniKind(TAniKind value);
    TAniFunctionKind AniFunctionKind() const { return FAniFunctionKind; }
    void setAniFunctionKind(TAniFunctionKind value);
    int DelayStartTime() const { return FDelayStartTime; }
    void setDelayStartTime(int value);
    int Duration() const { return FDuration; }
    void setDuration(int value);
    int StartValue() const { return FStartValue; }
    void setStartValue(int value);
    int DeltaValue() const { return FDeltaValue; }
    void setDeltaValue(int value);
    int EndValue() const { return FStartValue + FDeltaValue; }
    void setEndValue(int value);
    const TAniSyncProc& OnSync() const { return FOnSync; }
    void setOnSync(TAniSyncProc value);
    const TAniDoneProc& OnDone() const { return FOnDone; }
    void setOnDone(TAniDoneProc value);
    const TAniFunction& AniFunction() const { return FAniFunction; }
    bool FreeOnFinish() const { return FFreeOnFinish; }

    // The value and progress of the latest step.
    int CurrentValue() const { return FCurrentValue; }
    double Percent() const { return FPercent; }
    // Started and not yet finished.
    bool Running() const { return FRunning; }

    // Begins running; a second call does nothing.
    void Start();
    // Marks the thread terminated. The steps do not look at it: an animation
    // always plays out.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Returns when the animation has played out. On the main thread it keeps
    // serving the callbacks of this and every other animation while it waits.
    // Not for an animation that frees itself.
    void WaitFor();

  private:
    // What one run reads, copied when it starts.
    struct TRunSettings {
        TAniFunction Function;
        int Duration;
        int StartValue;
        int DeltaValue;
        int Steps;
        int DelayStartTime;
    };
    void Run(TRunSettings settings, bool freeOnFinish);
    void Execute(const TRunSettings& settings);
    void SelectFunction();

    std::atomic<int> FCurrentValue = 0;
    std::uint8_t FStep = 25;
    TAniFunction FAniFunction;
    TAniSyncProc FOnSync;
    TAniDoneProc FOnDone;
    TAniKind FAniKind = TAniKind::akIn;
    TAniFunctionKind FAniFunctionKind = TAniFunctionKind::afkLinear;
    int FDelayStartTime = 0;
    int FDuration = 400;
    int FStartValue = 0;
    int FDeltaValue = 0;
    std::atomic<double> FPercent = 0;

    bool FFreeOnFinish = false;
    bool FStarted = false;
    std::atomic<bool> FRunning = false;
    std::atomic<bool> FTerminated = false;
    std::jthread FThread;
};
