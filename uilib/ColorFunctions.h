#pragma once
// The colour helpers every control derives its state colours with. Plain
// functions without state, on Windows colour values (red in the low byte).
#include "FXTypes.h"

constexpr int GetRValue(TColor color) {
    return int(color & 0xFF);
}
constexpr int GetGValue(TColor color) {
    return int((color >> 8) & 0xFF);
}
constexpr int GetBValue(TColor color) {
    return int((color >> 16) & 0xFF);
}
constexpr TColor RGB(int red, int green, int blue) {
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}

// System colour constants (top bit set, system colour index in the low byte).
constexpr TColor SystemColorFlag = 0x80000000u;
constexpr TColor clBtnFace = SystemColorFlag | 15;
constexpr TColor clWindow = SystemColorFlag | 5;
constexpr TColor clWindowText = SystemColorFlag | 8;
constexpr TColor clHighlight = SystemColorFlag | 13;

// A system colour constant becomes its current value (the desktop palette where
// one is known, the classic defaults otherwise); any other value keeps its three
// channels and loses its top byte.
TColor ColorToRGB(TColor color);

// Adds Amount to red, green and blue of the resolved colour, each clamped to 0..255.
TColor ChangeLightness(TColor color, int Amount);
// (red + green + blue) / 3 truncated, on the raw channels; 0..255.
int GetBrightness(TColor color);
// The mean of the resolved channels (integer division) in all three channels.
TColor ToGrayscale(TColor color);
// Light text (0xF3F3F3) for a background of brightness up to 150, dark (0x202020) above.
TColor GetContrastTextColor(TColor background);
// Per channel From + (To - From) * Weight / 255, truncated toward zero and clamped;
// Weight 0 gives From, 255 gives To.
TColor BlendColors(TColor From, TColor To, int Weight);
// The contrast ratio of two colours by their relative luminance (sRGB), 1 to 21.
double ContrastRatio(TColor a, TColor b);
// The colour moved toward black on a light background, or toward white on a dark
// one, just far enough to reach Minimum contrast; unchanged when it already does.
TColor ReadableOn(TColor text, TColor background, double Minimum = 4.5);
