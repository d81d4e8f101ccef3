#pragma once
// Value types shared by the whole user-interface library.
#include <cstdint>

// A Windows colour value: red in the low byte, then green, then blue. A value
// with the top bit set names a system colour (index in the low byte) and is
// resolved to plain RGB by ColorToRGB before its channels mean anything.
using TColor = std::uint32_t;

// Interaction state of a control; stored and compared as numbers.
enum class FXControlState : std::uint8_t { None = 0, Hover = 1, Press = 2 };

enum class FXDarkSetting : std::uint8_t { Auto = 0, ForceDark = 1, ForceLight = 2 };

enum class FXThemeType : std::uint8_t { Redraw = 0, Colorization = 1, AppTheme = 2 };

// Accent choices of the older controls (see GetLegacyAccentColor).
enum class CAccentColor : std::uint8_t { None = 0, Accent = 1, AccentAdjust = 2, AccentCustom = 3 };
