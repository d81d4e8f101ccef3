#include "TIntAniCollection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using F = TAniFunctionKind;
using K = TAniKind;

struct CurveCase {
    F family;
    const char* name;
    float inAtZero;    // In(0)
    float outAtOne;    // Out(1)
    float inOutAtZero; // InOut(0)
    float inOutAtOne;  // InOut(1)
};

std::string CurveName(const testing::TestParamInfo<CurveCase>& info) {
    return info.param.name;
}

class EasingCurveTest : public testing::TestWithParam<CurveCase> {
  protected:
    float Eval(K kind, float p) const { return TIntAniCollection::Select(GetParam().family, kind)(p); }
};

TEST_P(EasingCurveTest, EndPoints) {
    EXPECT_NEAR(Eval(K::akIn, 0), GetParam().inAtZero, 1e-6);
    EXPECT_NEAR(Eval(K::akIn, 1), 1.0f, 1e-6);
    EXPECT_NEAR(Eval(K::akOut, 0), 0.0f, 1e-6);
    EXPECT_NEAR(Eval(K::akOut, 1), GetParam().outAtOne, 1e-6);
    EXPECT_NEAR(Eval(K::akInOut, 0), GetParam().inOutAtZero, 1e-6);
    EXPECT_NEAR(Eval(K::akInOut, 1), GetParam().inOutAtOne, 1e-6);
}

TEST_P(EasingCurveTest, InOutPassesHalfwayAtHalfTimeWithoutAJump) {
    EXPECT_NEAR(Eval(K::akInOut, 0.5f), 0.5f, 1e-6);
    // The neighbouring floats on either side: the two halves meet. (Circle is
    // vertical there, hence the loose bound.)
    EXPECT_NEAR(Eval(K::akInOut, std::nextafter(0.5f, 0.0f)), 0.5f, 1e-3);
    EXPECT_NEAR(Eval(K::akInOut, std::nextafter(0.5f, 1.0f)), 0.5f, 1e-3);
}

TEST_P(EasingCurveTest, OutMirrorsIn) {
    for (float p : {0.0f, 0.1f, 0.25f, 0.5f, 0.7f, 0.9f, 1.0f})
        EXPECT_NEAR(Eval(K::akOut, p), 1.0f - Eval(K::akIn, 1.0f - p), 1e-5) << "p = " << p;
}

constexpr float ExpoLow = 0.0009765625f; // 2^-10

INSTANTIATE_TEST_SUITE_P(
    Families, EasingCurveTest,
    testing::Values(CurveCase{F::afkLinear, "Linear", 0, 1, 0, 1},
                    CurveCase{F::afkQuadratic, "Quadratic", 0, 1, 0, 1},
                    CurveCase{F::afkCubic, "Cubic", 0, 1, 0, 1},
                    CurveCase{F::afkQuartic, "Quartic", 0, 1, 0, 1},
                    CurveCase{F::afkQuintic, "Quintic", 0, 1, 0, 1},
                    CurveCase{F::afkBack, "Back", 0, 1, 0, 1}, CurveCase{F::afkBounce, "Bounce", 0, 1, 0, 1},
                    CurveCase{F::afkExpo, "Expo", ExpoLow, 1 - ExpoLow, ExpoLow / 2, 1 - ExpoLow / 2},
                    CurveCase{F::afkSine, "Sine", 0, 1, 0, 1}, CurveCase{F::afkCircle, "Circle", 0, 1, 0, 1}),
    CurveName);

struct ValueCase {
    float (*curve)(float);
    float p;
    float expected;
    float tolerance;
};

class EasingValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(EasingValueTest, MatchesTheFormula) {
    EXPECT_NEAR(GetParam().curve(GetParam().p), GetParam().expected, GetParam().tolerance);
}

using C = TIntAniCollection;
INSTANTIATE_TEST_SUITE_P(
    Values, EasingValueTest,
    testing::Values(
        // The four branches of BounceOut.
        ValueCase{C::BounceOut, 0.2f, 0.3025f, 1e-6f}, ValueCase{C::BounceOut, 0.72f, 0.9804f, 1e-4f},
        ValueCase{C::BounceOut, 2.0f / 2.75f, 1.0f, 1e-6f}, ValueCase{C::BounceOut, 0.73f, 0.9963f, 1e-4f},
        ValueCase{C::BounceOut, 0.74f, 0.9837f, 1e-4f},
        ValueCase{C::BounceOut, 0.95f, 0.984375f + 7.5625f * 0.00002066f, 1e-5f},
        ValueCase{C::QuadraticInOut, 0.25f, 0.125f, 0}, ValueCase{C::QuadraticInOut, 0.75f, 0.875f, 0},
        ValueCase{C::CubicIn, 0.5f, 0.125f, 0}, ValueCase{C::QuarticOut, 0.5f, 0.9375f, 0},
        ValueCase{C::QuinticInOut, 0.25f, 0.015625f, 0},
        // Back dips below zero before it rises: 0.25 * (2.70158 * 0.5 - 1.70158).
        ValueCase{C::BackIn, 0.5f, -0.0876975f, 1e-6f}, ValueCase{C::ExpoOut, 0.5f, 0.96875f, 0},
        ValueCase{C::SineInOut, 0.25f, 0.1464466f, 1e-6f}, ValueCase{C::CircleIn, 0.6f, 0.2f, 1e-6f},
        ValueCase{C::CircleInOut, 0.25f, 0.0669873f, 1e-6f}));

TEST(TIntAniCollectionTest, LinearIsTheIdentityInEveryVariant) {
    for (K kind : {K::akIn, K::akOut, K::akInOut}) {
        const auto curve = TIntAniCollection::Select(F::afkLinear, kind);
        for (float p : {0.0f, 0.3f, 0.7f, 1.0f})
            EXPECT_EQ(curve(p), p);
    }
}

TEST(TIntAniCollectionTest, UnknownFamilyOrKindSelectsNothing) {
    EXPECT_FALSE(TIntAniCollection::Select(TAniFunctionKind(10), K::akIn));
    EXPECT_FALSE(TIntAniCollection::Select(F::afkCubic, TAniKind(3)));
    EXPECT_TRUE(TIntAniCollection::Select(F::afkCircle, K::akInOut));
}

} // namespace
