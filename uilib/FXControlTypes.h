#pragma once
// Placement and direction choices shared by the themed controls.
#include <cstdint>

// Where an icon or a box glyph sits relative to the caption.
enum class FXDrawLayout : std::uint8_t { Left = 0, Right = 1, Top = 2, Bottom = 3 };

enum class FXOrientation : std::uint8_t { Horizontal = 0, Vertical = 1 };
