#pragma once
// The options a run reads at the moment it needs them. The window's option
// controls write into this; their designed states are the defaults here.
#include <algorithm>
#include <thread>

enum class DoneAction { DoNothing = 0, PlaySound = 1, Close = 2, ShutDown = 3 };

constexpr int MinSimultaneousConversions = 1;
constexpr int MaxSimultaneousConversions = 64;

inline int ClampSimultaneousConversions(int count) {
    return std::clamp(count, MinSimultaneousConversions, MaxSimultaneousConversions);
}

// One conversion per core keeps every core busy without making files wait on each other.
inline int DefaultSimultaneousConversions() {
    return ClampSimultaneousConversions(static_cast<int>(std::thread::hardware_concurrency()));
}

struct ConversionSettings {
    bool IgnoreComplete = false; // "Ignore completed"
    bool IgnoreForErr = true;    // "Ignore format error"
    int DoneConvert = 1;         // item index of "ON CONVERT DONE"; outside 0..3 selects nothing
    bool UltraIcoRes = false;    // "Ultra-High Rez Icons"
    bool FixWhitePng = false;    // "Use pink mask"
    bool SmoothSize = true;      // "Smooth on downsize"
    bool Lossless = true;        // HEIC: "Lossless quality"
    int Quality = 100;           // HEIC: "HEIC quality (0-100)"
    int JpegQuality = 90;        // "JPEG quality (1-100)"; 90 is what JPEG files were always written at
    bool KeepFileDates = true;   // "Keep file dates": outputs get their source's modification time
    // "Simultaneous conversions": how many files convert at once; 1 converts them
    // one after the other in list order. A run clamps it to 1..64.
    int SimultaneousConversions = DefaultSimultaneousConversions();
};
