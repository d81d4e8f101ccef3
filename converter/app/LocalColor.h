#pragma once
// The colour helper the label buttons need, kept here until the user-interface
// library's colour functions are available to the program.
#include <cstdint>

// A Windows colour value: red in the low byte, then green, then blue.
using TColor = std::uint32_t;

constexpr int GetRValue(TColor color) { return int(color & 0xFF); }
constexpr int GetGValue(TColor color) { return int((color >> 8) & 0xFF); }
constexpr int GetBValue(TColor color) { return int((color >> 16) & 0xFF); }
constexpr TColor RGB(int red, int green, int blue) {
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}

// Adds Amount to red, green and blue, each clamped to 0..255.
TColor ChangeLightness(TColor color, int Amount);
