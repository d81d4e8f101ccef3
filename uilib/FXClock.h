#pragma once
// The library's notion of "now" for its caches and coalescing guards: a steady
// clock, so a change of the wall clock neither freezes nor floods them. Tests
// replace the source to step time without waiting.
#include <chrono>
#include <functional>

class FXClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    static TimePoint Now();
    // An empty source restores the steady clock.
    static void SetSource(std::function<TimePoint()> source);
};
