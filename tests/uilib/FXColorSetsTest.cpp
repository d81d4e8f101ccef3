#include "FXColorSets.h"
#include "FXColorSet.h"
#include "FXColorStateSet.h"
#include "FXColorStateSets.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXControl.h"
#include "FXFormReading.h"
#include "FXSingleColorStateSet.h"
#include "FXSingleColorStateSets.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// An owner that counts the updates its palettes ask for.
class CountingOwner : public QObject, public FXControl {
  public:
    int Updates = 0;
    bool IsContainer() override { return false; }
    void UpdateTheme(bool) override { ++Updates; }
    TColor Background() override { return 0; }
};

struct DefaultCase {
    const char* name;
    std::function<std::unique_ptr<QObject>()> make;
    const char* property;
    TColor expected;
};

void PrintTo(const DefaultCase& c, std::ostream* os) {
    *os << c.name << "." << c.property;
}

class PaletteDefaultsTest : public testing::TestWithParam<DefaultCase> {};

TEST_P(PaletteDefaultsTest, PropertyHasItsDesignedDefault) {
    const auto object = GetParam().make();
    const QVariant value = object->property(GetParam().property);
    ASSERT_TRUE(value.isValid()) << GetParam().property;
    EXPECT_EQ(value.toUInt(), GetParam().expected);
}

template <typename T, typename... Args> std::function<std::unique_ptr<QObject>()> Make(Args... args) {
    return [=] { return std::make_unique<T>(args...); };
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, PaletteDefaultsTest,
    testing::Values(
        DefaultCase{"ColorSets", Make<FXColorSets>(false), "Accent", 0xD47800},
        DefaultCase{"ColorSets", Make<FXColorSets>(false), "LightBackGround", 0xF3F3F3},
        DefaultCase{"ColorSets", Make<FXColorSets>(false), "LightForeGround", 0x1B1B1A},
        DefaultCase{"ColorSets", Make<FXColorSets>(false), "DarkBackGround", 0x202020},
        DefaultCase{"ColorSets", Make<FXColorSets>(false), "DarkForeGround", 0xFFFFFF},
        DefaultCase{"FocusColorSets", Make<FXColorSets>(true), "Accent", 0xD47800},
        DefaultCase{"FocusColorSets", Make<FXColorSets>(true), "LightBackGround", 0xFBFBFB},
        DefaultCase{"FocusColorSets", Make<FXColorSets>(true), "LightForeGround", 0x1B1B1A},
        DefaultCase{"FocusColorSets", Make<FXColorSets>(true), "DarkBackGround", 0x2B2B2B},
        DefaultCase{"FocusColorSets", Make<FXColorSets>(true), "DarkForeGround", 0xFFFFFF},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "Accent", 0xD47800},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "LightForeGround", 0x1B1B1A},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "LightBackGround", 0xF3F3F3},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "LightBackGroundInterior", 0xFBFBFB},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "DarkForeGround", 0xFFFFFF},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "DarkBackGround", 0x202020},
        DefaultCase{"CompleteColorSets", Make<FXCompleteColorSets>(), "DarkBackGroundInterior", 0x2B2B2B},
        DefaultCase{"ColorSet", Make<FXColorSet>(), "Accent", 0xD47800},
        DefaultCase{"ColorSet", Make<FXColorSet>(), "BackGround", 0},
        DefaultCase{"ColorSet", Make<FXColorSet>(), "ForeGround", 0},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "Accent", 0xD47800},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "LightNone", 0x8B8B8B},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "LightHover", 0x9F9F9F},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "LightPress", 0x757575},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "DarkNone", 0xA29F9D},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "DarkHover", 0xB7B5B3},
        DefaultCase{"SingleColorStateSets", Make<FXSingleColorStateSets>(), "DarkPress", 0x8D8987},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "Accent", 0xD47800},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightBackgroundNone", 0x8B8B8B},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightBackgroundHover", 0x9F9F9F},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightBackgroundPress", 0x757575},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightForeGroundNone", 0x1B1B1B},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightForeGroundHover", 0x1B1B1B},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "LightForeGroundPress", 0x878787},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkBackGroundNone", 0xA29F9D},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkBackGroundHover", 0xB7B5B3},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkBackGroundPress", 0x8D8987},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkForeGroundNone", 0xFFFFFF},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkForeGroundHover", 0xFFFFFF},
        DefaultCase{"ColorStateSets", Make<FXColorStateSets>(), "DarkForeGroundPress", 0xCECECE}));

TEST(FXColorSetsTest, PalettesStartDisabled) {
    EXPECT_FALSE(FXColorSets().Enabled());
    EXPECT_FALSE(FXCompleteColorSets().Enabled());
    EXPECT_FALSE(FXSingleColorStateSets().Enabled());
    EXPECT_FALSE(FXColorStateSets().Enabled());
}

TEST(FXColorSetsTest, IndexedAccessMatchesNamedProperties) {
    FXCompleteColorSets sets;
    sets.SetColor(FXColorSets::AccentIndex, 0x010203);
    sets.SetColor(FXColorSets::DarkBackGroundIndex, 0x040506);
    sets.SetColor(FXCompleteColorSets::DarkBackGroundInteriorIndex, 0x070809);
    EXPECT_EQ(sets.Accent(), 0x010203u);
    EXPECT_EQ(sets.DarkBackGround(), 0x040506u);
    EXPECT_EQ(sets.DarkBackGroundInterior(), 0x070809u);
    EXPECT_EQ(sets.GetColor(FXCompleteColorSets::LightBackGroundInteriorIndex), 0xFBFBFBu);
    EXPECT_EQ(sets.GetColor(99), 0u);
    sets.SetColor(99, 1); // ignored, nothing to store it in
}

TEST(FXColorSetsTest, ColourSetterNotifiesOwnerWhetherEnabledOrNot) {
    CountingOwner owner;
    auto* sets = new FXCompleteColorSets(&owner);
    EXPECT_EQ(owner.Updates, 0) << "construction does not notify";
    sets->setDarkBackGround(0x101010);
    EXPECT_EQ(owner.Updates, 1);
    sets->setEnabled(true);
    EXPECT_EQ(owner.Updates, 2);
    sets->setDarkBackGround(0x111111);
    EXPECT_EQ(owner.Updates, 3);
    EXPECT_EQ(sets->Owner(), &owner);
    EXPECT_EQ(sets->parent(), &owner) << "the owner frees its palette";
}

TEST(FXColorSetsTest, EnabledNotifiesOnlyOnChange) {
    CountingOwner owner;
    FXColorSets sets(&owner, false);
    sets.setEnabled(false);
    EXPECT_EQ(owner.Updates, 0);
    sets.setEnabled(true);
    sets.setEnabled(true);
    EXPECT_EQ(owner.Updates, 1);
}

TEST(FXColorSetsTest, NoNotificationWhileALayoutIsApplied) {
    CountingOwner owner;
    FXColorStateSets sets(&owner);
    {
        FXFormReading reading;
        sets.setDarkForeGroundPress(0x111111);
        sets.setLightBackgroundNone(0x222222);
        sets.setEnabled(true);
    }
    EXPECT_EQ(owner.Updates, 0);
    EXPECT_EQ(sets.DarkForeGroundPress(), 0x111111u);
    EXPECT_TRUE(sets.Enabled());
    sets.setDarkForeGroundPress(0x333333);
    EXPECT_EQ(owner.Updates, 1);
}

TEST(FXColorSetsTest, PlainAccentFieldsDoNotNotify) {
    CountingOwner owner;
    FXSingleColorStateSets single(&owner);
    FXColorStateSets states(&owner);
    single.setAccent(0x123456);
    states.setAccent(0x123456);
    EXPECT_EQ(owner.Updates, 0);
}

TEST(FXColorSetsTest, SingleStateSetterNotifiesEvenWhenUnchanged) {
    CountingOwner owner;
    FXSingleColorStateSets sets(&owner);
    sets.setLightNone(sets.LightNone());
    EXPECT_EQ(owner.Updates, 1);
    sets.SetLightColor(1, 2, 3);
    sets.SetDarkColor(4, 5, 6);
    EXPECT_EQ(owner.Updates, 3);
    EXPECT_EQ(sets.GetColor(false, FXControlState::Hover), 2u);
    EXPECT_EQ(sets.GetColor(true, FXControlState::Press), 6u);
    EXPECT_EQ(sets.GetColor(true, FXControlState(7)), 0u);
}

TEST(FXColorSetsTest, ResolvedSetsNeverNotify) {
    CountingOwner owner;
    FXCompleteColorSet set(&owner);
    set.setBackGround(1);
    set.setEnabled(true);
    FXSingleColorStateSet states(&owner);
    states.setHover(2);
    states.setEnabled(true);
    FXColorStateSet buttons(&owner);
    buttons.setForeGroundPress(3);
    buttons.setEnabled(true);
    EXPECT_EQ(owner.Updates, 0);
}

struct StateColorCase {
    bool dark;
    bool foreground;
    FXControlState state;
    TColor expected;
};

class ColorStateSetsGetColorTest : public testing::TestWithParam<StateColorCase> {};

TEST_P(ColorStateSetsGetColorTest, PicksThemeLayerAndState) {
    FXColorStateSets sets;
    const auto& c = GetParam();
    EXPECT_EQ(sets.GetColor(c.dark, c.foreground, c.state), c.expected);
    const FXColorStateSet resolved(sets, c.dark);
    EXPECT_EQ(resolved.GetColor(c.foreground, c.state), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColorStateSetsGetColorTest,
                         testing::Values(StateColorCase{true, true, FXControlState::Press, 0xCECECE},
                                         StateColorCase{true, false, FXControlState::Hover, 0xB7B5B3},
                                         StateColorCase{false, true, FXControlState::Press, 0x878787},
                                         StateColorCase{false, false, FXControlState::None, 0x8B8B8B},
                                         StateColorCase{true, true, FXControlState(3), 0},
                                         StateColorCase{false, false, FXControlState(200), 0}));

TEST(FXColorSetsTest, ResolvedSetsLoadTheChosenTheme) {
    FXCompleteColorSets palette;
    palette.setAccent(0x0000FF);
    const FXCompleteColorSet dark(palette, true);
    EXPECT_EQ(dark.Accent(), 0x0000FFu);
    EXPECT_EQ(dark.BackGround(), 0x202020u);
    EXPECT_EQ(dark.ForeGround(), 0xFFFFFFu);
    EXPECT_EQ(dark.BackGroundInterior(), 0x2B2B2Bu);
    FXCompleteColorSet light;
    light.LoadFrom(palette, false);
    EXPECT_EQ(light.BackGround(), 0xF3F3F3u);
    EXPECT_EQ(light.ForeGround(), 0x1B1B1Au);
    EXPECT_EQ(light.BackGroundInterior(), 0xFBFBFBu);

    const FXColorSets focus(true);
    const FXColorSet plain(focus, true);
    EXPECT_EQ(plain.BackGround(), 0x2B2B2Bu);
}

TEST(FXColorSetsTest, SingleStateSetLoadsAndCopies) {
    FXSingleColorStateSets palette;
    FXSingleColorStateSet dark(palette, true);
    EXPECT_EQ(dark.None(), 0xA29F9Du);
    EXPECT_EQ(dark.Hover(), 0xB7B5B3u);
    EXPECT_EQ(dark.Press(), 0x8D8987u);
    FXSingleColorStateSet own(1, 2, 3);
    own.setAccent(9);
    dark.CopyFrom(own);
    EXPECT_EQ(dark.Accent(), 9u);
    EXPECT_EQ(dark.GetColor(FXControlState::None), 1u);
    EXPECT_EQ(dark.GetColor(FXControlState::Hover), 2u);
    EXPECT_EQ(dark.GetColor(FXControlState::Press), 3u);
    EXPECT_EQ(dark.GetColor(FXControlState(5)), 0u);
}

TEST(FXColorSetsTest, AssignCopiesSameNamedPropertiesAcrossKinds) {
    FXCompleteColorSets palette;
    palette.setAccent(0x112233);
    palette.setEnabled(true);
    FXColorSet resolved;
    resolved.setBackGround(0x445566);
    resolved.Assign(&palette);
    EXPECT_EQ(resolved.Accent(), 0x112233u);
    EXPECT_TRUE(resolved.Enabled());
    EXPECT_EQ(resolved.BackGround(), 0x445566u) << "a name the palette lacks stays";

    FXSingleColorStateSets gray;
    FXColorSets back;
    back.Assign(&resolved);
    EXPECT_EQ(back.Accent(), 0x112233u);
    EXPECT_EQ(back.DarkBackGround(), 0x202020u);

    FXCompleteColorSets copy;
    palette.setDarkBackGroundInterior(0x0A0B0C);
    copy.Assign(&palette);
    EXPECT_EQ(copy.DarkBackGroundInterior(), 0x0A0B0Cu);

    FXCompleteColorSet complete;
    complete.Assign(&gray);
    EXPECT_EQ(complete.Accent(), 0xD47800u);
}

TEST(FXColorSetsTest, AssignNotifiesThroughTheTargetsSetters) {
    CountingOwner owner;
    FXColorSets target(&owner, false);
    const FXColorSets source(true);
    target.Assign(&source);
    EXPECT_EQ(target.LightBackGround(), 0xFBFBFBu);
    EXPECT_GT(owner.Updates, 0);
}

TEST(FXColorSetsTest, AssignRejectsOtherSources) {
    FXColorSets target;
    QObject stranger;
    EXPECT_THROW(target.Assign(&stranger), std::invalid_argument);
    EXPECT_THROW(target.Assign(nullptr), std::invalid_argument);
    EXPECT_EQ(target.Accent(), 0xD47800u);
}

} // namespace
