#include "TIntAni.h"

#include "FXMainThread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

void SleepMilliseconds(double ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

int SaturatedInt(double value) {
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return int(std::clamp(value, low, high));
}

} // namespace

TIntAni::TIntAni() {
    SelectFunction();
}

TIntAni::TIntAni(bool FreeOnFinish, TAniKind aAniKind, TAniFunctionKind aAniFunctionKind, int aStartValue,
                 int aDeltaValue, TAniSyncProc aSyncProc, TAniDoneProc aDoneProc)
    : FOnSync(std::move(aSyncProc)), FOnDone(std::move(aDoneProc)), FAniKind(aAniKind),
      FAniFunctionKind(aAniFunctionKind), FStartValue(aStartValue), FDeltaValue(aDeltaValue),
      FFreeOnFinish(FreeOnFinish) {
    SelectFunction();
}

TIntAni::~TIntAni() {
    if (FThread.joinable()) WaitFor();
}

void TIntAni::setStep(int value) {
    FStep = std::uint8_t(std::clamp(value, 1, 255));
}
void TIntAni::setAniKind(TAniKind value) {
    FAniKind = value;
}
void TIntAni::setAniFunctionKind(TAniFunctionKind value) {
    FAniFunctionKind = value;
}
void TIntAni::setDelayStartTime(int value) {
    FDelayStartTime = std::max(value, 0);
}
void TIntAni::setDuration(int value) {
    FDuration = std::max(value, 0);
}
void TIntAni::setStartValue(int value) {
    FStartValue = value;
}
void TIntAni::setDeltaValue(int value) {
    FDeltaValue = value;
}
void TIntAni::setEndValue(int value) {
    FDeltaValue = value - FStartValue;
}
void TIntAni::setOnSync(TAniSyncProc value) {
    FOnSync = std::move(value);
}
void TIntAni::setOnDone(TAniDoneProc value) {
    FOnDone = std::move(value);
}

void TIntAni::SelectFunction() {
    FAniFunction = TIntAniCollection::Select(FAniFunctionKind, FAniKind);
}

void TIntAni::Start() {
    if (FStarted) return;
    FStarted = true;
    FRunning = true;
    // The worker gets its own copy of everything it reads, taken here on the
    // owner's thread: later changes of the properties never race with it.
    SelectFunction();
    TRunSettings settings{FAniFunction, FDuration, FStartValue, FDeltaValue, FStep, FDelayStartTime};
    if (FFreeOnFinish)
        std::thread(&TIntAni::Run, this, std::move(settings), true).detach();
    else
        FThread = std::jthread(&TIntAni::Run, this, std::move(settings), false);
}

void TIntAni::WaitFor() {
    if (FFreeOnFinish) throw std::logic_error("WaitFor on an animation that frees itself");
    if (!FThread.joinable()) return;
    if (FXMainThread::IsCurrent()) FXMainThread::ServeUntil([this] { return !FRunning; });
    FThread.join();
}

void TIntAni::Run(TRunSettings settings, bool freeOnFinish) {
    Execute(settings);
    if (freeOnFinish) {
        // Freed on the main thread, after its last callback; this thread does not touch it again.
        FXMainThread::Synchronize([this] { delete this; });
        return;
    }
    FRunning = false;
    FXMainThread::Wake();
}

void TIntAni::Execute(const TRunSettings& settings) {
    if (!settings.Function) return;
    const int duration = settings.Duration;
    const int start = settings.StartValue;
    const int delta = settings.DeltaValue;
    const int steps = settings.Steps;
    SleepMilliseconds(settings.DelayStartTime);

    const auto sync = [this] {
        if (FOnSync) FOnSync(FCurrentValue);
    };
    // Halves to even, as the default floating-point rounding mode does.
    const double interval = std::nearbyint(double(duration) / steps);
    for (int i = 1; i <= steps; ++i) {
        // A rounded-up interval would carry the last step past the end.
        const double percent = duration > 0 ? std::min(interval * i / duration, 1.0) : 1.0;
        FPercent = percent;
        const float eased = settings.Function(float(percent));
        FCurrentValue = SaturatedInt(start + std::nearbyint(double(eased) * delta));
        FXMainThread::Synchronize(sync);
        SleepMilliseconds(interval);
    }
    FXMainThread::Synchronize(sync);
    FXMainThread::Synchronize([this] {
        if (FOnDone) FOnDone();
    });
}
