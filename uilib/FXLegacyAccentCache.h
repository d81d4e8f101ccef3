#pragma once
// The accent of the older controls: the system accent without lightening and
// a variant kept in a readable brightness band, re-read at most every 30 s.
#include "FXClock.h"
#include "FXTypes.h"

#include <functional>

class FXLegacyAccentCache {
  public:
    // Refreshes when never filled, when more than 30 whole seconds have passed
    // or when RefreshAlways is on, then answers for Kind: the accent, the
    // adjusted accent, the custom accent, or 0xD47800 for any other kind.
    TColor Get(CAccentColor Kind);
    // Re-reads the system accent now and calls the change hook.
    void Refresh();
    // Forgets the cached values, so the next answer re-reads the system.
    void Invalidate() { FFilled = false; }

    bool RefreshAlways() const { return FRefreshAlways; }
    void setRefreshAlways(bool value) { FRefreshAlways = value; }
    TColor CustomAccent() const { return FCustomAccent; }
    void setCustomAccent(TColor value) { FCustomAccent = value; }
    // Called after every refresh; none by default.
    void setOnChange(std::function<void()> hook) { FOnChange = std::move(hook); }

  private:
    bool FFilled = false;
    FXClock::TimePoint FLastRefresh{};
    TColor FAccent = 0xD77800;
    TColor FAccentAdjust = 0xD77800;
    TColor FCustomAccent = 0xC57517;
    bool FRefreshAlways = false;
    std::function<void()> FOnChange;
};

// The process-wide cache (main thread only).
FXLegacyAccentCache& LegacyAccentCache();

TColor GetLegacyAccentColor(CAccentColor Kind);
