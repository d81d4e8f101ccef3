#include "FXLegacyAccentCache.h"

#include "ColorFunctions.h"
#include "SystemTheme.h"

#include <chrono>

TColor FXLegacyAccentCache::Get(CAccentColor Kind) {
    using namespace std::chrono;
    if (!FFilled || FRefreshAlways || duration_cast<seconds>(FXClock::Now() - FLastRefresh).count() > 30)
        Refresh();
    switch (Kind) {
    case CAccentColor::Accent:
        return FAccent;
    case CAccentColor::AccentAdjust:
        return FAccentAdjust;
    case CAccentColor::AccentCustom:
        return FCustomAccent;
    default:
        return 0xD47800;
    }
}

void FXLegacyAccentCache::Refresh() {
    FLastRefresh = FXClock::Now();
    FFilled = true;
    FAccent = ReadSystemAccentColor(false);
    FAccentAdjust = FAccent;
    const int brightness = GetBrightness(FAccent);
    if (brightness < 110)
        FAccentAdjust = ChangeLightness(FAccent, 110 - brightness);
    else if (brightness > 155)
        FAccentAdjust = ChangeLightness(FAccent, 155 - brightness);
    if (FOnChange) FOnChange();
}

FXLegacyAccentCache& LegacyAccentCache() {
    static FXLegacyAccentCache cache;
    return cache;
}

TColor GetLegacyAccentColor(CAccentColor Kind) {
    return LegacyAccentCache().Get(Kind);
}
