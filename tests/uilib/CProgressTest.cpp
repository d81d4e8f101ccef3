#include "CProgress.h"

#include "ColorFunctions.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXLegacyAccentCache.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTimer>

namespace {

class LegacyProgressTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(300, 100);
        Bar = new CProgress(Parent.get());
        Parent->show();
    }
    void Jump(int position) { Bar->SetValue(position, true); }
    std::unique_ptr<QWidget> Parent;
    CProgress* Bar = nullptr;
};

TEST_F(LegacyProgressTest, EqualMinAndMaxPaintAsARangeOfOne) {
    Bar->setMax(0);
    ASSERT_EQ(Bar->Min(), Bar->Max());
    const QImage frame = Bar->RenderFrame();
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(Near(PixelAt(frame, 100, 10), QColor(255, 255, 255), 0));
    // A range of one with the position one above the minimum fills everything.
    Bar->setMax(1);
    Jump(1);
    Bar->setMax(0);
    EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(LegacyProgressTest, CaptionShowsTheTextASpaceAndThePercentage) {
    CProgressText text = Bar->TextOverlay();
    text.Enabled = true;
    Bar->setTextOverlay(text);
    Jump(40);
    EXPECT_EQ(Bar->OverlayCaption(), QStringLiteral("Loading 40%"));
    Bar->setMin(10);
    EXPECT_EQ(Bar->OverlayCaption(), QStringLiteral("Loading 30%"));
}

TEST_F(LegacyProgressTest, NarrowBarShortensALongCaptionWithAnEllipsis) {
    Bar->resize(60, 20);
    CProgressText text = Bar->TextOverlay();
    text.Enabled = true;
    text.CaptionText = QStringLiteral("Removing the program files");
    Bar->setTextOverlay(text);
    const QString caption = Bar->OverlayCaption();
    EXPECT_TRUE(caption.endsWith(QStringLiteral("... 0%"))) << caption.toStdString();
    EXPECT_LT(caption.size(), text.CaptionText.size());
    text.TextWidthLimit = 0;
    Bar->setTextOverlay(text);
    EXPECT_EQ(Bar->OverlayCaption(), QStringLiteral("Removing the program files 0%"));
}

TEST_F(LegacyProgressTest, PositionOutsideTheRangeIsIgnoredExceptWhileReading) {
    Jump(20);
    Bar->setPosition(150);
    Bar->setPosition(-1);
    EXPECT_EQ(Bar->Position(), 20);
    EXPECT_FALSE(Bar->PositionTimer()->isActive());
    {
        FXFormReading reading;
        Bar->setPosition(150);
    }
    EXPECT_EQ(Bar->Position(), 150);
}

struct Walk {
    int Step;
    int Target;
    std::vector<int> Positions;
};

class PositionWalk : public LegacyProgressTest, public testing::WithParamInterface<Walk> {};

TEST_P(PositionWalk, StepsTowardTheTargetReportingEveryTick) {
    const Walk& walk = GetParam();
    CProgressAnimation animation = Bar->Animations();
    animation.Step = walk.Step;
    Bar->setAnimations(animation);
    QSignalSpy changes(Bar, &CProgress::OnChange);
    Bar->setPosition(walk.Target);
    EXPECT_EQ(Bar->PositionTimer()->interval(), 1);
    ASSERT_TRUE(Eventually([&] { return !Bar->PositionTimer()->isActive(); }));
    std::vector<int> positions;
    for (const QList<QVariant>& change : changes) {
        positions.push_back(change.at(0).toInt());
        EXPECT_EQ(change.at(1).toInt(), 100);
    }
    EXPECT_EQ(positions, walk.Positions);
    EXPECT_EQ(Bar->Position(), walk.Target);
}

INSTANTIATE_TEST_SUITE_P(Steps, PositionWalk,
                         testing::Values(Walk{1, 3, {1, 2, 3, 3}}, Walk{3, 5, {3, 6, 5}},
                                         Walk{5, 10, {5, 10, 10}}));

TEST_F(LegacyProgressTest, AccentKindSetsTheForeground) {
    Bar->setAccentColor(CAccentColor::Accent);
    EXPECT_EQ(Bar->Colors().Foreground, GetLegacyAccentColor(CAccentColor::Accent));
    Bar->setAccentColor(CAccentColor::None);
    CProgressColors colors = Bar->Colors();
    colors.Foreground = 0x123456;
    Bar->setColors(colors);
    EXPECT_EQ(Bar->Colors().Foreground, 0x123456u);
}

TEST_F(LegacyProgressTest, FadeHighlightIsBrightestAtItsPositionInsideTheFilledPart) {
    Bar->setAccentColor(CAccentColor::None);
    CProgressColors colors = Bar->Colors();
    colors.Foreground = RGB(0, 100, 0);
    Bar->setColors(colors);
    Jump(50);
    CProgressAnimate animate = Bar->AnimateProgress();
    animate.Position = 60;
    Bar->setAnimateProgress(animate);
    const QImage frame = Bar->RenderFrame();
    EXPECT_TRUE(Near(PixelAt(frame, 60, 10), ToQColor(ChangeLightness(colors.Foreground, 100)), 0));
    EXPECT_TRUE(Near(PixelAt(frame, 90, 10), ToQColor(ChangeLightness(colors.Foreground, 70)), 0));
    // Outside the filled part (100 of 200 pixels) the background stays.
    EXPECT_TRUE(Near(PixelAt(frame, 120, 10), QColor(255, 255, 255), 0));
    // The corners are framed in the parent's colour.
    const QColor parent = Parent->palette().color(QPalette::Window);
    EXPECT_TRUE(Near(PixelAt(frame, 0, 0), parent, 0));
}

struct PresetLook {
    CProgressPreset Preset;
    TColor Foreground;
    TColor Background;
};

class Presets : public LegacyProgressTest, public testing::WithParamInterface<PresetLook> {};

TEST_P(Presets, OverrideTheColours) {
    const PresetLook& look = GetParam();
    Bar->setPresets(look.Preset);
    Jump(50);
    CProgressAnimate animate = Bar->AnimateProgress();
    animate.Position = -500;
    Bar->setAnimateProgress(animate);
    const QImage frame = Bar->RenderFrame();
    EXPECT_TRUE(Near(PixelAt(frame, 50, 10), ToQColor(look.Foreground), 0))
        << PixelAt(frame, 50, 10).name().toStdString();
    EXPECT_TRUE(Near(PixelAt(frame, 150, 10), ToQColor(look.Background), 0));
}

INSTANTIATE_TEST_SUITE_P(Table, Presets,
                         testing::Values(PresetLook{CProgressPreset::cprStandard, 0x00D500, 0xFFFFFF},
                                         PresetLook{CProgressPreset::cprError, 0x0000FF, 0xFFFFFF},
                                         PresetLook{CProgressPreset::cprBlue, 12472848, 0xFFFFFF},
                                         PresetLook{CProgressPreset::cprModern, 12472848, 0x3F3F3F},
                                         PresetLook{CProgressPreset::cprWindows, 0x00D500, 0xFFFFFF}));

TEST_F(LegacyProgressTest, HighlightTimerRunsOnlyWhenThereIsSomethingToHighlight) {
    EXPECT_FALSE(Bar->HighlightTimer()->isActive());
    Jump(30);
    EXPECT_EQ(Bar->HighlightTimer()->isActive(),
              QGuiApplication::applicationState() == Qt::ApplicationActive);
    Bar->hide();
    EXPECT_FALSE(Bar->HighlightTimer()->isActive());
    Bar->show();
    CProgressAnimate animate = Bar->AnimateProgress();
    animate.Enable = false;
    Bar->setAnimateProgress(animate);
    EXPECT_FALSE(Bar->HighlightTimer()->isActive());
}

TEST_F(LegacyProgressTest, AnnouncesAProgressBarWithItsPosition) {
    Jump(25);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Bar);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::ProgressBar);
    ASSERT_NE(access->valueInterface(), nullptr);
    EXPECT_EQ(access->valueInterface()->currentValue().toInt(), 25);
}

} // namespace
