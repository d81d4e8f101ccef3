#include "LocalColor.h"

#include <algorithm>

TColor ChangeLightness(TColor color, int Amount) {
    const auto shift = [Amount](int channel) { return std::clamp(channel + Amount, 0, 255); };
    return RGB(shift(GetRValue(color)), shift(GetGValue(color)), shift(GetBValue(color)));
}
