#include "FXProgress.h"

#include "FXColorSet.h"
#include "FXCompleteColorSet.h"
#include "FXDrawing.h"
#include "FXPanel.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

// Records what every buffer paint shows.
class RecordingProgress : public FXProgress {
  public:
    using FXProgress::FXProgress;
    struct Frame {
        float ValueAdd;
        int Width;
        int Offset;
        int InterSize;
        int Phase;
    };
    std::vector<Frame> Frames;

  protected:
    void PaintBuffer(QPainter& painter) override {
        Frames.push_back({ValueAdd(), FilledRect().width(), Offset(), InterSize(), LengthState()});
        FXProgress::PaintBuffer(painter);
    }
};

class ProgressTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(300, 100);
        Bar = new RecordingProgress(Parent.get());
        Parent->show();
        // The first paint of the window is not part of what a test records.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
        QCoreApplication::processEvents();
    }
    std::unique_ptr<QWidget> Parent;
    RecordingProgress* Bar = nullptr;
};

TEST_F(ProgressTest, GlideFromEmptyToFullWalksTwentyFiveFramesAndEndsAtFullWidth) {
    Bar->Frames.clear();
    Bar->setValue(100);
    ASSERT_TRUE(Eventually([&] { return !Bar->Gliding(); }));
    std::vector<float> expected{-100};
    for (int pos = 0; pos < 25; ++pos)
        expected.push_back(float(25 - pos) / 25 * -100.0f);
    expected.push_back(0);
    std::vector<float> shown;
    for (const auto& frame : Bar->Frames)
        shown.push_back(frame.ValueAdd);
    EXPECT_EQ(shown, expected);
    // The first frame still shows the old value; widths only grow; the end is the full track.
    EXPECT_EQ(Bar->Frames.front().Width, 0);
    for (size_t i = 1; i < Bar->Frames.size(); ++i)
        EXPECT_GE(Bar->Frames[i].Width, Bar->Frames[i - 1].Width);
    EXPECT_EQ(Bar->FilledRect().width(), 199);
    EXPECT_EQ(Bar->ValueAdd(), 0);
}

TEST_F(ProgressTest, NewValueDuringAGlideStartsFromTheShownWidth) {
    Bar->setValue(100);
    ASSERT_TRUE(Eventually([&] { return Bar->ValueAdd() > -60; }));
    const int shownWidth = Bar->FilledRect().width();
    const float shownValue = Bar->Value() + Bar->ValueAdd();
    Bar->setValue(20);
    EXPECT_EQ(Bar->FilledRect().width(), shownWidth);
    EXPECT_FLOAT_EQ(Bar->ValueAdd(), shownValue - 20);
    ASSERT_TRUE(Eventually([&] { return !Bar->Gliding(); }));
    EXPECT_EQ(Bar->FilledRect().width(), int(std::nearbyint(199 * 0.2)));
}

TEST_F(ProgressTest, WithoutAnimationsTheValueJumps) {
    Bar->setAnimations(false);
    Bar->setValue(50);
    EXPECT_FALSE(Bar->Gliding());
    EXPECT_EQ(Bar->FilledRect().width(), int(std::nearbyint(199 * 0.5)));
}

TEST_F(ProgressTest, MarqueeAlternatesAThirdAndAWidthOverTwoPointTwo) {
    Bar->Frames.clear();
    Bar->setProgressKind(FXProgressKind::Intermediate);
    ASSERT_TRUE(Bar->MarqueeRunning());
    // Run until the bar has wrapped into the second phase and moved on twice.
    ASSERT_TRUE(Eventually([&] {
        int afterWrap = 0;
        for (const auto& frame : Bar->Frames)
            afterWrap += frame.Phase == 1;
        return afterWrap >= 3;
    }));
    const int w = 200;
    std::vector<std::pair<int, int>> expected;
    int offset = 0;
    // The setter's own frame, before the first step.
    expected.push_back({0, 0});
    while (true) {
        offset += w / 30;
        if (offset >= w) break;
        expected.push_back({offset, (w + 2) / 3});
    }
    const int second = int(std::ceil(w / 2.2));
    expected.push_back({-second, second});
    expected.push_back({-second + w / 20, second});
    expected.push_back({-second + 2 * (w / 20), second});
    ASSERT_GE(Bar->Frames.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Bar->Frames[i].Offset, expected[i].first) << "frame " << i;
        EXPECT_EQ(Bar->Frames[i].InterSize, expected[i].second) << "frame " << i;
    }
    EXPECT_EQ(Bar->FilledRect().left(), Bar->Offset());
}

TEST_F(ProgressTest, MarqueeStopsWhileHiddenAndWhenTheKindChanges) {
    Bar->setProgressKind(FXProgressKind::Intermediate);
    EXPECT_TRUE(Bar->MarqueeRunning());
    Bar->hide();
    EXPECT_FALSE(Bar->MarqueeRunning());
    Bar->show();
    EXPECT_TRUE(Bar->MarqueeRunning());
    Parent->hide();
    EXPECT_FALSE(Bar->MarqueeRunning());
    Parent->show();
    EXPECT_TRUE(Bar->MarqueeRunning());
    Bar->setProgressKind(FXProgressKind::Normal);
    EXPECT_FALSE(Bar->MarqueeRunning());
}

TEST_F(ProgressTest, IdleBarRunsNoTimer) {
    Bar->setValue(30);
    ASSERT_TRUE(Eventually([&] { return !Bar->Gliding(); }));
    for (const QTimer* timer : Bar->findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive());
}

TEST_F(ProgressTest, DisabledBarKeepsTheSystemColours) {
    auto* panel = new FXPanel(Parent.get());
    panel->setBackgroundColor(FXBackgroundColor::Content);
    auto* bar = new FXProgress(panel);
    bar->UpdateTheme(false);
    EXPECT_EQ(bar->DrawColors().BackGround(), panel->Background());
    EXPECT_EQ(bar->DrawColors().BackGroundInterior(), 0x2B2B2Bu);
    bar->setEnabled(false);
    EXPECT_EQ(bar->DrawColors().BackGround(), ThemeManager->SystemColor()->BackGround());
    EXPECT_EQ(bar->DrawColors().BackGroundInterior(), ThemeManager->SystemColor()->BackGroundInterior());
    EXPECT_EQ(bar->DrawColors().ForeGround(), 0x808080u);
}

struct BarColours {
    bool Dark;
    FXProgressKind Kind;
    TColor Bar; // 0: the accent
    TColor Track;
};

class ProgressColours : public ProgressTest, public testing::WithParamInterface<BarColours> {};

TEST_P(ProgressColours, TrackAndBarAtChosenPoints) {
    const BarColours& c = GetParam();
    SetDark(c.Dark);
    // Theme changes reach controls through their form; this one has none.
    Bar->UpdateTheme(false);
    Bar->setAnimations(false);
    Bar->setProgressHeight(8);
    Bar->setValue(50);
    Bar->setProgressKind(c.Kind);
    const QImage shot = Shot(*Bar);
    const TColor bar = c.Bar != 0 ? c.Bar : ThemeManager->AccentColor();
    EXPECT_TRUE(Near(PixelAt(shot, 50, 10), ToQColor(bar), 0)) << PixelAt(shot, 50, 10).name().toStdString();
    EXPECT_TRUE(Near(PixelAt(shot, 170, 10), ToQColor(c.Track), 0))
        << PixelAt(shot, 170, 10).name().toStdString();
    // Above the bar lies the surface.
    EXPECT_TRUE(Near(PixelAt(shot, 50, 2), ToQColor(ThemeManager->SystemColor()->BackGround()), 0));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, ProgressColours,
                         testing::Values(BarColours{false, FXProgressKind::Normal, 0, 0x2B2B2B},
                                         BarColours{true, FXProgressKind::Normal, 0, 0xFBFBFB},
                                         BarColours{false, FXProgressKind::Paused, 0x005D9D, 0x2B2B2B},
                                         BarColours{true, FXProgressKind::Paused, 0x00E1FC, 0xFBFBFB},
                                         BarColours{false, FXProgressKind::Error, 0x1C2BC4, 0x2B2B2B},
                                         BarColours{true, FXProgressKind::Error, 0xA499FF, 0xFBFBFB}));

TEST_F(ProgressTest, AnnouncesAProgressBarWithItsValue) {
    Bar->setAnimations(false);
    Bar->setValue(42);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Bar);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::ProgressBar);
    ASSERT_NE(access->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(access->valueInterface()->currentValue().toDouble(), 42);
    EXPECT_DOUBLE_EQ(access->valueInterface()->maximumValue().toDouble(), 100);
    EXPECT_EQ(Bar->focusPolicy(), Qt::NoFocus);
}

} // namespace
