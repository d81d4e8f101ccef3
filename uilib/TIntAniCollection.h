#pragma once
// The easing curves of the animation engine: ten families in an In, an Out and
// an InOut variant. Pure functions of the progress 0..1, evaluated in single
// precision throughout so every intermediate is rounded to a float.
#include <cstdint>
#include <functional>

enum class TAniKind : std::uint8_t { akIn = 0, akOut = 1, akInOut = 2 };

enum class TAniFunctionKind : std::uint8_t {
    afkLinear = 0,
    afkQuadratic = 1,
    afkCubic = 2,
    afkQuartic = 3,
    afkQuintic = 4,
    afkBack = 5,
    afkBounce = 6,
    afkExpo = 7,
    afkSine = 8,
    afkCircle = 9,
};

// Maps a progress to an eased progress.
using TAniFunction = std::function<float(float)>;

class TIntAniCollection {
  public:
    static float Linear(float p);
    static float QuadraticIn(float p);
    static float QuadraticOut(float p);
    static float QuadraticInOut(float p);
    static float CubicIn(float p);
    static float CubicOut(float p);
    static float CubicInOut(float p);
    static float QuarticIn(float p);
    static float QuarticOut(float p);
    static float QuarticInOut(float p);
    static float QuinticIn(float p);
    static float QuinticOut(float p);
    static float QuinticInOut(float p);
    static float BackIn(float p);
    static float BackOut(float p);
    static float BackInOut(float p);
    static float BounceIn(float p);
    static float BounceOut(float p);
    static float BounceInOut(float p);
    static float ExpoIn(float p);
    static float ExpoOut(float p);
    static float ExpoInOut(float p);
    static float SineIn(float p);
    static float SineOut(float p);
    static float SineInOut(float p);
    static float CircleIn(float p);
    static float CircleOut(float p);
    static float CircleInOut(float p);

    // The curve of a family and variant; empty for a value outside either enumeration.
    static TAniFunction Select(TAniFunctionKind Family, TAniKind Kind);
};
