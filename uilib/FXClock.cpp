#include "FXClock.h"

namespace {
std::function<FXClock::TimePoint()>& Source() {
    static std::function<FXClock::TimePoint()> source;
    return source;
}
} // namespace

FXClock::TimePoint FXClock::Now() {
    return Source() ? Source()() : std::chrono::steady_clock::now();
}

void FXClock::SetSource(std::function<TimePoint()> source) {
    Source() = std::move(source);
}
