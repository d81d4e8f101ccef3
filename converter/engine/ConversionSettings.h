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
    bool Lossless = true;        // HEIC: "Lossless quality"
    int Quality = 100;           // HEIC: "HEIC quality (0-100)"
    int JpegQuality = 90;        // "JPEG quality (1-100)"; 90 is what JPEG files were always written at
    bool KeepFileDates = true;   // "Keep file dates": outputs get their source's modification time
};
