#include "TIntAniCollection.h"

#include <cmath>

namespace {

constexpr float Overshoot = 1.70158f;
constexpr float OvershootInOut = 2.5949095f; // Overshoot * 1.525
constexpr float Pi = 3.14159265358979f;

float Squared(float x) {
    return x * x;
}

} // namespace

float TIntAniCollection::Linear(float p) {
    return p;
}

float TIntAniCollection::QuadraticIn(float p) {
    return p * p;
}
float TIntAniCollection::QuadraticOut(float p) {
    return 1.0f - Squared(1.0f - p);
}
float TIntAniCollection::QuadraticInOut(float p) {
    if (p < 0.5f) return 2.0f * p * p;
    return 1.0f - 2.0f * Squared(p - 1.0f);
}

float TIntAniCollection::CubicIn(float p) {
    return p * p * p;
}
float TIntAniCollection::CubicOut(float p) {
    const float q = 1.0f - p;
    return 1.0f - q * q * q;
}
float TIntAniCollection::CubicInOut(float p) {
    if (p < 0.5f) return 4.0f * p * p * p;
    const float q = p - 1.0f;
    return 4.0f * q * q * q + 1.0f;
}

float TIntAniCollection::QuarticIn(float p) {
    return Squared(p * p);
}
float TIntAniCollection::QuarticOut(float p) {
    return 1.0f - Squared(Squared(1.0f - p));
}
float TIntAniCollection::QuarticInOut(float p) {
    if (p < 0.5f) return 8.0f * Squared(p * p);
    return 1.0f - 8.0f * Squared(Squared(p - 1.0f));
}

float TIntAniCollection::QuinticIn(float p) {
    return Squared(p * p) * p;
}
float TIntAniCollection::QuinticOut(float p) {
    const float q = 1.0f - p;
    return 1.0f - Squared(q * q) * q;
}
float TIntAniCollection::QuinticInOut(float p) {
    if (p < 0.5f) return 16.0f * Squared(p * p) * p;
    const float q = p - 1.0f;
    return 16.0f * Squared(q * q) * q + 1.0f;
}

float TIntAniCollection::BackIn(float p) {
    return p * p * ((Overshoot + 1.0f) * p - Overshoot);
}
float TIntAniCollection::BackOut(float p) {
    const float q = p - 1.0f;
    return q * q * ((Overshoot + 1.0f) * q + Overshoot) + 1.0f;
}
float TIntAniCollection::BackInOut(float p) {
    float a = 2.0f * p;
    if (a / 2.0f < 0.5f) return 0.5f * (a * a * ((OvershootInOut + 1.0f) * a - OvershootInOut));
    a = 2.0f * p - 2.0f;
    return 0.5f * (a * a * ((OvershootInOut + 1.0f) * a + OvershootInOut)) + 1.0f;
}

float TIntAniCollection::BounceOut(float p) {
    constexpr float k = 7.5625f;
    if (p < 1.0f / 2.75f) return k * p * p;
    if (p < 2.0f / 2.75f) return k * Squared(p - 1.5f / 2.75f) + 0.75f;
    if (p < 2.5f / 2.75f) return k * Squared(p - 2.25f / 2.75f) + 0.9375f;
    return k * Squared(p - 2.625f / 2.75f) + 0.984375f;
}
float TIntAniCollection::BounceIn(float p) {
    return 1.0f - BounceOut(1.0f - p);
}
float TIntAniCollection::BounceInOut(float p) {
    if (p < 0.5f) return 0.5f * (1.0f - BounceOut(1.0f - 2.0f * p));
    return 0.5f * (BounceOut(2.0f * p - 1.0f) + 1.0f);
}

float TIntAniCollection::ExpoIn(float p) {
    return std::pow(2.0f, 10.0f * (p - 1.0f));
}
float TIntAniCollection::ExpoOut(float p) {
    return 1.0f - std::pow(2.0f, -10.0f * p);
}
float TIntAniCollection::ExpoInOut(float p) {
    const float a = 2.0f * p;
    if (a / 2.0f < 0.5f) return 0.5f * std::pow(2.0f, 10.0f * (a - 1.0f));
    return 0.5f * (2.0f - std::pow(2.0f, -10.0f * (a - 1.0f)));
}

float TIntAniCollection::SineIn(float p) {
    return 1.0f - std::cos(p * Pi / 2.0f);
}
float TIntAniCollection::SineOut(float p) {
    return std::sin(p * Pi / 2.0f);
}
float TIntAniCollection::SineInOut(float p) {
    return 0.5f * (1.0f - std::cos(p * Pi));
}

float TIntAniCollection::CircleIn(float p) {
    return 1.0f - std::sqrt(1.0f - p * p);
}
float TIntAniCollection::CircleOut(float p) {
    return std::sqrt(1.0f - Squared(p - 1.0f));
}
float TIntAniCollection::CircleInOut(float p) {
    float a = 2.0f * p;
    if (a / 2.0f < 0.5f) return 0.5f * (1.0f - std::sqrt(1.0f - a * a));
    a = 2.0f * p - 2.0f;
    return 0.5f * (std::sqrt(1.0f - a * a) + 1.0f);
}

TAniFunction TIntAniCollection::Select(TAniFunctionKind Family, TAniKind Kind) {
    using F = float (*)(float);
    static constexpr F Curves[10][3] = {
        {Linear, Linear, Linear},
        {QuadraticIn, QuadraticOut, QuadraticInOut},
        {CubicIn, CubicOut, CubicInOut},
        {QuarticIn, QuarticOut, QuarticInOut},
        {QuinticIn, QuinticOut, QuinticInOut},
        {BackIn, BackOut, BackInOut},
        {BounceIn, BounceOut, BounceInOut},
        {ExpoIn, ExpoOut, ExpoInOut},
        {SineIn, SineOut, SineInOut},
        {CircleIn, CircleOut, CircleInOut},
    };
    const auto family = std::size_t(Family);
    const auto kind = std::size_t(Kind);
    if (family >= std::size(Curves) || kind >= 3) return {};
    return Curves[family][kind];
}
