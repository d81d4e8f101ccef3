#pragma once
// The options a run reads at the moment it needs them. The window's option
// controls write into this; their designed states are the defaults here.

enum class DoneAction { DoNothing = 0, PlaySound = 1, Close = 2, ShutDown = 3 };

struct ConversionSettings {
    bool IgnoreComplete = false; // "Ignore completed"
    bool IgnoreForErr = true;    // "Ignore format error"
    int DoneConvert = 1;         // item index of "ON CONVERT DONE"; outside 0..3 selects nothing
    bool UltraIcoRes = false;    // "Ultra-High Rez Icons"
    bool FixWhitePng = false;    // "Use pink mask"
    bool SmoothSize = true;      // "Smooth on downsize"
    bool Lossless = true;        // "Lossless quality"
    int Quality = 100;           // "Image Quality (0-100)"
};
