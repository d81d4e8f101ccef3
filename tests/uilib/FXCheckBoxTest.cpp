#include "FXCheckBox.h"

#include "FXCompleteColorSet.h"
#include "FXFormReading.h"
#include "FXSingleColorStateSet.h"
#include "SymbolFont.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// Records the tick's progress at every buffer paint.
class RecordingCheckBox : public FXCheckBox {
  public:
    using FXCheckBox::FXCheckBox;
    struct Frame {
        int Status;
        TickStrokes Tick;
    };
    std::vector<Frame> Frames;

  protected:
    void PaintBuffer(QPainter& painter) override {
        Frames.push_back({AnimationStatus(), Tick()});
        FXCheckBox::PaintBuffer(painter);
    }
};

class CheckBoxTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(300, 200);
        Box = new RecordingCheckBox(Parent.get());
        Parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
        QCoreApplication::processEvents();
        // The window gives its first control the focus, whose outline would cover chosen pixels.
        Box->clearFocus();
    }
    // The glyph colour of the state the pointer left the box in.
    QColor GlyphColour() const { return ToQColor(Box->IconAccentColors().GetColor(Box->Interaction())); }
    // Pixels of exactly colour inside rect.
    static int Count(const QImage& image, const QRect& rect, const QColor& colour) {
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += image.pixelColor(x, y).rgb() == colour.rgb();
        return count;
    }
    std::unique_ptr<QWidget> Parent;
    RecordingCheckBox* Box = nullptr;
};

TEST_F(CheckBoxTest, LoadedCheckedShowsTheWholeTickAtOnce) {
    RecordingCheckBox loaded(Parent.get());
    QSignalSpy changes(&loaded, &FXCheckBox::OnChange);
    {
        FXFormReading reading;
        loaded.setState(FXCheckBoxState::Checked);
    }
    EXPECT_EQ(loaded.AnimationStatus(), 100);
    EXPECT_FALSE(loaded.AnimateTimer()->isActive());
    // The change is still reported while reading.
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(CheckBoxTest, ClickGrowsTheFirstStrokeThenTheSecond) {
    Box->Frames.clear();
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(10, 15));
    ASSERT_EQ(Box->State(), FXCheckBoxState::Checked);
    ASSERT_TRUE(Eventually([&] { return !Box->AnimateTimer()->isActive(); }));
    // Paints of the pointer's own state changes repeat a status; the ticks are what counts.
    std::vector<int> statuses;
    size_t first = 0;
    while (first < Box->Frames.size() && Box->Frames[first].Status != 0)
        ++first;
    Box->Frames.erase(Box->Frames.begin(), Box->Frames.begin() + first);
    for (size_t i = 0; i < Box->Frames.size();)
        if (i > 0 && Box->Frames[i].Status == Box->Frames[i - 1].Status)
            Box->Frames.erase(Box->Frames.begin() + i);
        else
            ++i;
    for (const auto& frame : Box->Frames)
        statuses.push_back(frame.Status);
    std::vector<int> expected;
    for (int status = 0; status <= 100; status += 5)
        expected.push_back(status);
    ASSERT_EQ(statuses, expected);
    for (size_t tick = 1; tick < Box->Frames.size(); ++tick) {
        const auto& strokes = Box->Frames[tick].Tick;
        if (tick <= 10) {
            EXPECT_FALSE(strokes.Second.has_value()) << tick;
            const double f = tick * 5 / 50.0;
            EXPECT_EQ(strokes.First->p2().x(),
                      strokes.P1.x() + int(std::nearbyint(f * (strokes.P2.x() - strokes.P1.x()))));
            EXPECT_EQ(strokes.First->p2().y(),
                      strokes.P1.y() + int(std::nearbyint(f * (strokes.P2.y() - strokes.P1.y()))));
        } else {
            EXPECT_EQ(strokes.First->p2(), strokes.P2) << tick;
            ASSERT_TRUE(strokes.Second.has_value()) << tick;
            const double f = (tick * 5 - 50) / 50.0;
            EXPECT_EQ(strokes.Second->p2().x(),
                      strokes.P2.x() + int(std::nearbyint(f * (strokes.P3.x() - strokes.P2.x()))));
        }
    }
    EXPECT_EQ(Box->Frames.back().Tick.Second->p2(), Box->Frames.back().Tick.P3);
}

struct ToggleCase {
    bool AllowGrayed;
    FXCheckBoxState From;
    FXCheckBoxState To;
};

class CheckBoxToggle : public CheckBoxTest, public testing::WithParamInterface<ToggleCase> {};

TEST_P(CheckBoxToggle, FollowsTheTable) {
    const ToggleCase& c = GetParam();
    Box->setAllowGrayed(true);
    Box->setState(c.From);
    Box->setAllowGrayed(c.AllowGrayed);
    if (!c.AllowGrayed && c.From == FXCheckBoxState::Grayed) {
        // Switching AllowGrayed off already cleared it.
        EXPECT_EQ(Box->State(), FXCheckBoxState::Unchecked);
        Box->setState(FXCheckBoxState::Grayed);
    }
    Box->Toggle();
    EXPECT_EQ(Box->State(), c.To);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckBoxToggle,
    testing::Values(ToggleCase{false, FXCheckBoxState::Unchecked, FXCheckBoxState::Checked},
                    ToggleCase{false, FXCheckBoxState::Checked, FXCheckBoxState::Unchecked},
                    ToggleCase{false, FXCheckBoxState::Grayed, FXCheckBoxState::Unchecked},
                    ToggleCase{true, FXCheckBoxState::Unchecked, FXCheckBoxState::Checked},
                    ToggleCase{true, FXCheckBoxState::Checked, FXCheckBoxState::Grayed},
                    ToggleCase{true, FXCheckBoxState::Grayed, FXCheckBoxState::Unchecked}));

TEST_F(CheckBoxTest, SwitchingAllowGrayedOffClearsGrayedWithoutAChange) {
    Box->setAllowGrayed(true);
    Box->setState(FXCheckBoxState::Grayed);
    EXPECT_TRUE(Box->Checked());
    QSignalSpy changes(Box, &FXCheckBox::OnChange);
    Box->setAllowGrayed(false);
    EXPECT_EQ(Box->State(), FXCheckBoxState::Unchecked);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(CheckBoxTest, DisabledIsGreyAndIgnoresClicks) {
    Box->setAnimationEnabled(false);
    Box->setEnabled(false);
    EXPECT_EQ(Box->DrawColors().ForeGround(), 0x808080u);
    EXPECT_EQ(Box->IconAccentColors().None(), 0x808080u);
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(10, 15));
    EXPECT_EQ(Box->State(), FXCheckBoxState::Unchecked);
    const QImage shot = Shot(*Box);
    const QColor grey(0x80, 0x80, 0x80);
    EXPECT_GT(Count(shot, Box->TextRect(), grey), 5);
    EXPECT_GT(Count(shot, Box->IconRect(), grey), 5);
    EXPECT_EQ(Count(shot, Box->TextRect(), ToQColor(0x1B1B1A)), 0);
    Box->setState(FXCheckBoxState::Checked);
    EXPECT_GT(Count(Shot(*Box), Box->IconRect(), GlyphColour()), 20);
    EXPECT_EQ(Box->IconAccentColors().Hover(), 0x999999u);
}

TEST_F(CheckBoxTest, CaptionStartsSixPixelsRightOfAnIconAreaTwelveWiderThanTheGlyph) {
    const QFont font = Box->IconFont();
    EXPECT_EQ(font.pointSize(), 16);
    const int gw = QFontMetrics(font).horizontalAdvance(SymbolText(QString(QChar(0xE003)), font.family()));
    EXPECT_EQ(Box->IconRect(), QRect(0, 0, gw + 12, 30));
    EXPECT_EQ(Box->TextRect().left(), gw + 12 + 6);
    EXPECT_EQ(Box->TextRect().right(), 179);
}

struct GlyphColours {
    bool Dark;
};

class CheckBoxColours : public CheckBoxTest, public testing::WithParamInterface<bool> {};

TEST_P(CheckBoxColours, SetBoxIsAccentAndClearBoxIsText) {
    SetDark(GetParam());
    Box->setAnimationEnabled(false);
    Box->UpdateTheme(false);
    ASSERT_EQ(Box->IconAccentColors().None(), ThemeManager->AccentColor());
    const QColor accent = GlyphColour();
    const QColor text = ToQColor(ThemeManager->SystemColor()->ForeGround());
    QImage shot = Shot(*Box);
    EXPECT_EQ(Count(shot, Box->IconRect(), accent), 0);
    EXPECT_GT(Count(shot, Box->IconRect(), text), 20);
    EXPECT_TRUE(Near(PixelAt(shot, Box->IconRect().center().x(), Box->IconRect().center().y()),
                     ToQColor(ThemeManager->SystemColor()->BackGround()), 0));
    Box->setState(FXCheckBoxState::Checked);
    shot = Shot(*Box);
    EXPECT_GT(Count(shot, Box->IconRect(), accent), 40);
    // Away from the box the surface stays as it was.
    EXPECT_TRUE(Near(PixelAt(shot, 1, 1), ToQColor(ThemeManager->SystemColor()->BackGround()), 0));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, CheckBoxColours, testing::Bool());

TEST_F(CheckBoxTest, SpaceAndEnterToggle) {
    Box->setFocus();
    ASSERT_TRUE(Eventually([&] { return Box->hasFocus(); }));
    QTest::keyClick(Box, Qt::Key_Space);
    EXPECT_TRUE(Box->Checked());
    QTest::keyClick(Box, Qt::Key_Return);
    EXPECT_FALSE(Box->Checked());
}

TEST_F(CheckBoxTest, HandCursorOnlyOverTheBox) {
    Box->setAutomaticCursorPointer(true);
    QTest::mouseMove(Box, QPoint(5, 15));
    ASSERT_TRUE(Eventually([&] { return Box->cursor().shape() == Qt::PointingHandCursor; }));
    QTest::mouseMove(Box, QPoint(150, 15));
    ASSERT_TRUE(Eventually([&] { return Box->cursor().shape() == Qt::ArrowCursor; }));
}

TEST_F(CheckBoxTest, AnnouncesItsCaptionRoleAndState) {
    Box->setText(QStringLiteral("Remove leftover program data"));
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Box);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::CheckBox);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Remove leftover program data"));
    EXPECT_TRUE(access->state().checkable);
    EXPECT_FALSE(access->state().checked);
    Box->setChecked(true);
    EXPECT_TRUE(access->state().checked);
    Box->setAllowGrayed(true);
    Box->Toggle();
    EXPECT_TRUE(access->state().checkStateMixed);
    EXPECT_FALSE(access->state().checked);
}

} // namespace
