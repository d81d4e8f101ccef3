#pragma once
// A colour with transparency for painting: alpha in the top byte, then red,
// green and blue.
#include "FXTypes.h"

#include <QColor>

#include <cstdint>

class FXColor {
  public:
    constexpr FXColor() = default;
    // Moves the channels of a Windows colour into ARGB order and puts Alpha on
    // top; a system colour constant is taken as it is, not looked up.
    constexpr FXColor(TColor color, std::uint8_t Alpha)
        : FValue(std::uint32_t(Alpha) << 24 | (color & 0xFF) << 16 | (color & 0xFF00) |
                 (color >> 16 & 0xFF)) {}
    static constexpr FXColor FromArgb(std::uint32_t argb) {
        FXColor result;
        result.FValue = argb;
        return result;
    }

    constexpr std::uint32_t Value() const { return FValue; }
    constexpr int Alpha() const { return int(FValue >> 24); }
    constexpr int Red() const { return int(FValue >> 16 & 0xFF); }
    constexpr int Green() const { return int(FValue >> 8 & 0xFF); }
    constexpr int Blue() const { return int(FValue & 0xFF); }
    // The Windows colour of the three channels, without alpha.
    constexpr TColor ToColor() const { return TColor(Red()) | TColor(Green()) << 8 | TColor(Blue()) << 16; }
    QColor ToQColor() const;

    constexpr bool operator==(const FXColor&) const = default;

  private:
    std::uint32_t FValue = 0;
};
