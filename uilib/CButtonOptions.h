#pragma once
// The option records of the older push button (CButton) and its enumerations.
// They are plain values: the button stores a changed record through its setter,
// which repaints.
#include "ColorFunctions.h"
#include "FXTypes.h"

#include <cstdint>

enum class CButtonState : std::uint8_t { mbsLeave = 0, mbsEnter = 1, mbsDown = 2 };
enum class CButtonAnimateEngine : std::uint8_t { cbneComponent = 0, cbneAtDraw = 1 };
enum class CPosition : std::uint8_t { cpLeft = 0, cpRight = 1, cpTop = 2, cpBottom = 3 };
enum class CButtonPreset : std::uint8_t {
    cbprCustom = 0,
    cbprFluent,
    cbprFluentFlat,
    cbprFluentRound,
    cbprMetro,
    cbprMetroLink,
    cbprMetroSimple,
    cbprMetroFade,
    cbprFluentGray,
    cbprClassic,
    cbprNewClassic,
    cbprGlobalApplyColor,
    cbprWin32,
    cbprAeroLink,
    cbprLink,
};
enum class CButtonIcon : std::uint8_t {
    cicNone = 0,
    cicSegoeFluent,
    cicYes,
    cicNo,
    cicTrueYes,
    cicNoAllow,
    cicQuestion,
    cicWarning,
    cicStart,
    cicNext,
    cicBack,
    cicUp,
    cicDown,
    cicArrow,
    cicEnter,
    cicRetry,
    cicDownload,
    cicUpload,
    cicSearch,
    cicSearchL,
};
// Caption alignment of the older button.
enum class CButtonAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

struct CButtonPresets {
    TColor Color = 0xFF0000;
    CButtonPreset Kind = CButtonPreset::cbprCustom;
    bool PenColorAuto = true;
    // Apply once at the next paint, then Kind returns to cbprCustom.
    bool ApplyOnce = false;
    bool IgnoreGlobalSync = false;
    bool operator==(const CButtonPresets&) const = default;
};

// A colour per mouse state, plus the underline colour.
struct CButtonColors {
    TColor Enter = 0;
    TColor Leave = 0;
    TColor Down = 0;
    TColor BLine = 0;
    TColor Get(CButtonState state) const {
        return state == CButtonState::mbsEnter ? Enter : state == CButtonState::mbsDown ? Down : Leave;
    }
    bool operator==(const CButtonColors&) const = default;
};

struct CButtonPen {
    TColor Color = clWindow;
    int Width = 0;
    bool EnableAlternativeColors = false;
    bool FormSyncedColor = false;
    TColor AltPressColor = 0;
    TColor AltHoverColor = 0;
    bool GlobalPresetExcept = false;
    bool operator==(const CButtonPen&) const = default;
};

struct CButtonUnderLine {
    int UnderLineThicknes = 6;
    bool Enable = true;
    bool UnderLineRound = true;
    bool operator==(const CButtonUnderLine&) const = default;
};

struct CButtonGradientSet {
    TColor Enter = 0xFF00FF;
    TColor Leave = 0x0000FF;
    TColor Down = 0x000080;
    bool Enabled = false;
    TColor Get(CButtonState state) const {
        return state == CButtonState::mbsEnter ? Enter : state == CButtonState::mbsDown ? Down : Leave;
    }
    bool operator==(const CButtonGradientSet&) const = default;
};

struct CButtonFontAutoSize {
    bool Enabled = false;
    int Max = -1; // -1: no limit
    int Min = -1;
    bool operator==(const CButtonFontAutoSize&) const = default;
};

struct CButtonAnimations {
    bool PressAnimation = false;
    bool FadeAnimation = true;
    int PADelay = 2;        // milliseconds between press steps
    int PAShrinkAmount = 6; // press steps
    int FASpeed = 10;       // fade timer ticks
    CButtonAnimateEngine PAAnimateEngine = CButtonAnimateEngine::cbneAtDraw;
    bool operator==(const CButtonAnimations&) const = default;
};

// The process-wide preset every button may adopt; nothing switches it on by default.
struct CButtonGlobalPreset {
    bool Enabled = false;
    CButtonPreset Kind = CButtonPreset::cbprFluent;
    TColor Color = 0xFF0000;
};
CButtonGlobalPreset& CButtonDefaultPreset();
