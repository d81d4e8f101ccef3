#include "FXLegacyAccentCache.h"
#include "ColorFunctions.h"
#include "FXClock.h"
#include "SystemTheme.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;

// A stored accent value and a hand-stepped clock.
class FXLegacyAccentCacheTest : public testing::Test {
  protected:
    void SetUp() override {
        SetSystemValueReader([this](const QString& key, const QString& name) -> std::optional<std::uint32_t> {
            ++Reads;
            if (key == QLatin1String(DwmKey) && name == "AccentColor") return StoredAccent;
            return std::nullopt;
        });
        FXClock::SetSource([this] { return Now; });
        LegacyAccentCache().Invalidate();
    }
    void TearDown() override {
        SetSystemValueReader({});
        FXClock::SetSource({});
        LegacyAccentCache().Invalidate();
        LegacyAccentCache().setOnChange({});
        LegacyAccentCache().setRefreshAlways(false);
    }

    std::optional<std::uint32_t> StoredAccent;
    int Reads = 0;
    FXClock::TimePoint Now{1000s};
};

TEST_F(FXLegacyAccentCacheTest, MissingValueGivesTheDefaultAccent) {
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0xD77800u);
    // Brightness 111 lies inside the readable band.
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::AccentAdjust), 0xD77800u);
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::AccentCustom), 0xC57517u);
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::None), 0xD47800u);
}

TEST_F(FXLegacyAccentCacheTest, DarkAccentIsRaisedIntoTheBand) {
    StoredAccent = 0xFF000000u | RGB(90, 100, 110); // brightness 100
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), RGB(90, 100, 110));
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::AccentAdjust), RGB(100, 110, 120));
}

TEST_F(FXLegacyAccentCacheTest, BrightAccentIsLoweredIntoTheBand) {
    StoredAccent = 0xFF000000u | RGB(190, 200, 210); // brightness 200
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::AccentAdjust), RGB(145, 155, 165));
}

TEST_F(FXLegacyAccentCacheTest, AlphaByteNeverLeaksIntoTheColour) {
    StoredAccent = 0x80102030u;
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0x102030u);
}

TEST_F(FXLegacyAccentCacheTest, RereadsOnlyAfterMoreThanThirtyWholeSeconds) {
    StoredAccent = 0xFF102030u;
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0x102030u);
    StoredAccent = 0xFF405060u;
    Now += 30s;
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0x102030u);
    Now += 999ms;
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0x102030u);
    Now += 1ms;
    EXPECT_EQ(GetLegacyAccentColor(CAccentColor::Accent), 0x405060u);
}

TEST_F(FXLegacyAccentCacheTest, RefreshAlwaysRereadsEveryTimeAndCallsTheHook) {
    int changes = 0;
    LegacyAccentCache().setOnChange([&] { ++changes; });
    LegacyAccentCache().setRefreshAlways(true);
    GetLegacyAccentColor(CAccentColor::Accent);
    GetLegacyAccentColor(CAccentColor::Accent);
    EXPECT_EQ(Reads, 2);
    EXPECT_EQ(changes, 2);
}

} // namespace
