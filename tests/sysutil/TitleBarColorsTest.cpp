#include "TitleBarColors.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleBarColorsTest, LightBackgroundWithDarkText) {
    const TitleBarColors colors = TitleBarColorsFor(QColor(255, 255, 255), QColor(0, 0, 0));
    EXPECT_EQ(colors.Background, QColor(255, 255, 255));
    EXPECT_EQ(colors.ButtonBackground, QColor(255, 255, 255));
    EXPECT_EQ(colors.InactiveBackground, QColor(225, 225, 225));
    EXPECT_EQ(colors.ButtonPressedBackground, QColor(225, 225, 225));
    // The hover shift follows the foreground: dark text gives +15, clamped on white.
    EXPECT_EQ(colors.ButtonHoverBackground, QColor(255, 255, 255));
    EXPECT_EQ(colors.ButtonHoverForeground, QColor(15, 15, 15));
    EXPECT_EQ(colors.InactiveForeground, QColor(30, 30, 30));
    EXPECT_EQ(colors.ButtonInactiveForeground, QColor(30, 30, 30));
    EXPECT_EQ(colors.Foreground, QColor(0, 0, 0));
}

TEST(TitleBarColorsTest, DarkBackgroundWithLightText) {
    const TitleBarColors colors = TitleBarColorsFor(QColor(32, 32, 32), QColor(255, 255, 255));
    EXPECT_EQ(colors.InactiveBackground, QColor(62, 62, 62));
    EXPECT_EQ(colors.ButtonHoverBackground, QColor(17, 17, 17));
    EXPECT_EQ(colors.ButtonHoverForeground, QColor(240, 240, 240));
    EXPECT_EQ(colors.ButtonPressedForeground, QColor(225, 225, 225));
}

TEST(TitleBarColorsTest, BrightnessOfOneHundredCountsAsBright) {
    EXPECT_EQ(ColorBrightness(QColor(100, 100, 101)), 100);
    EXPECT_EQ(TitleBarColorsFor(QColor(100, 100, 101), Qt::black).InactiveBackground, QColor(70, 70, 71));
    EXPECT_EQ(TitleBarColorsFor(QColor(99, 99, 100), Qt::black).InactiveBackground, QColor(129, 129, 130));
    EXPECT_EQ(ShiftLightness(QColor(250, 5, 128, 77), 10), QColor(255, 15, 138, 77));
}

} // namespace
