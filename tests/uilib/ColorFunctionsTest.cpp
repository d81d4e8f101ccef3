#include "ColorFunctions.h"
#include "FXColor.h"

#include <gtest/gtest.h>

namespace {

struct LightnessCase {
    TColor color;
    int amount;
    TColor expected;
};

class ChangeLightnessTest : public testing::TestWithParam<LightnessCase> {};

TEST_P(ChangeLightnessTest, AddsToEveryChannelAndClamps) {
    EXPECT_EQ(ChangeLightness(GetParam().color, GetParam().amount), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeLightnessTest,
    testing::Values(LightnessCase{0xF0F0F0, 50, 0xFFFFFF}, LightnessCase{0xF0F0F0, -250, 0x000000},
                    LightnessCase{0xD77800, 50, 0xFFAA32}, LightnessCase{0x102030, 0, 0x102030},
                    LightnessCase{0x102030, 20, 0x243444}, LightnessCase{0x102030, -20, 0x000C1C},
                    // The top byte of a plain colour carries nothing.
                    LightnessCase{0x01102030, 1, 0x112131}));

TEST(ColorFunctionsTest, ChangeLightnessResolvesSystemColours) {
    // Without a desktop palette the classic window colour (white) is used.
    EXPECT_EQ(ChangeLightness(clWindow, -10), 0xF5F5F5u);
}

struct BrightnessCase {
    TColor color;
    int brightness;
    TColor contrast;
};

class BrightnessTest : public testing::TestWithParam<BrightnessCase> {};

TEST_P(BrightnessTest, TruncatedMeanAndContrastText) {
    EXPECT_EQ(GetBrightness(GetParam().color), GetParam().brightness);
    EXPECT_EQ(GetContrastTextColor(GetParam().color), GetParam().contrast);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrightnessTest,
    testing::Values(BrightnessCase{0x969696, 150, 0xF3F3F3}, BrightnessCase{0x979797, 151, 0x202020},
                    BrightnessCase{0x000000, 0, 0xF3F3F3}, BrightnessCase{0xFFFFFF, 255, 0x202020},
                    // (255 + 0 + 1) / 3 = 85.33 truncates to 85.
                    BrightnessCase{0x0100FF, 85, 0xF3F3F3}, BrightnessCase{0xD77800, 111, 0xF3F3F3}));

TEST(ColorFunctionsTest, ToGrayscaleUsesIntegerMeanInEveryChannel) {
    EXPECT_EQ(ToGrayscale(0x0100FF), 0x555555u);
    EXPECT_EQ(ToGrayscale(0xFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(ToGrayscale(0x000000), 0x000000u);
    EXPECT_EQ(ToGrayscale(0x030201), 0x020202u);
}

struct BlendCase {
    TColor from;
    TColor to;
    int weight;
    TColor expected;
};

class BlendColorsTest : public testing::TestWithParam<BlendCase> {};

TEST_P(BlendColorsTest, PerChannelTruncatingMix) {
    EXPECT_EQ(BlendColors(GetParam().from, GetParam().to, GetParam().weight), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlendColorsTest,
                         testing::Values(BlendCase{0x000000, 0xFFFFFF, 128, 0x808080},
                                         BlendCase{0x000000, 0xFFFFFF, 255, 0xFFFFFF},
                                         BlendCase{0x123456, 0xABCDEF, 0, 0x123456},
                                         BlendCase{0x123456, 0xABCDEF, 255, 0xABCDEF},
                                         // Going down, the negative step truncates toward zero:
                                         // 255 + (0 - 255) * 1 / 255 = 254.
                                         BlendCase{0xFFFFFF, 0x000000, 1, 0xFEFEFE},
                                         // 10 + (20 - 10) * 100 / 255 = 10 + 3 = 13.
                                         BlendCase{0x0A0A0A, 0x141414, 100, 0x0D0D0D},
                                         // Weights beyond the range are clamped per channel.
                                         BlendCase{0x000000, 0xFFFFFF, 300, 0xFFFFFF},
                                         BlendCase{0x000000, 0xFFFFFF, -5, 0x000000}));

TEST(FXColorTest, MovesChannelsIntoArgbOrder) {
    const FXColor color(0x3C2814, 0x80); // red 0x14, green 0x28, blue 0x3C
    EXPECT_EQ(color.Value(), 0x8014283Cu);
    EXPECT_EQ(color.Alpha(), 0x80);
    EXPECT_EQ(color.Red(), 0x14);
    EXPECT_EQ(color.Green(), 0x28);
    EXPECT_EQ(color.Blue(), 0x3C);
    EXPECT_EQ(color.ToColor(), 0x3C2814u);
    EXPECT_EQ(color.ToQColor(), QColor(0x14, 0x28, 0x3C, 0x80));
}

TEST(FXColorTest, SystemColourConstantsAreNotLookedUp) {
    EXPECT_EQ(FXColor(clBtnFace, 255).Value(), 0xFF0F0000u);
}

} // namespace
