#include "FXScrollbar.h"
#include "FXScrollBox.h"

#include "ColorFunctions.h"
#include "FXCompleteColorSet.h"
#include "FXDrawing.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class RecordingScrollbar : public FXScrollbar {
  public:
    using FXScrollbar::FXScrollbar;
    using FXScrollbar::SetInteractionState;
    // Distinct track colours in the order painted.
    std::vector<TColor> Tracks;
    // The fade's position at every paint while it runs.
    std::vector<int> Positions;
    int Paints = 0;

  protected:
    void PaintBuffer(QPainter& painter) override {
        if (Tracks.empty() || Tracks.back() != TrackColor()) Tracks.push_back(TrackColor());
        if (FadeTimer()->isActive() || (!Positions.empty() && Positions.back() != AnimPos()))
            Positions.push_back(AnimPos());
        ++Paints;
        FXScrollbar::PaintBuffer(painter);
    }
};

class ScrollbarTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(300, 300);
        Bar = new RecordingScrollbar(Parent.get());
        Bar->move(100, 20);
        Parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
        QCoreApplication::processEvents();
        Bar->clearFocus();
        // The pointer of an earlier test may rest over the bar.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Bar, &leave);
        ASSERT_TRUE(Eventually([&] { return !Bar->FadeTimer()->isActive(); }));
    }
    void TearDown() override {
        Parent.reset();
        ThemedWidgetTest::TearDown();
    }
    std::unique_ptr<QWidget> Parent;
    RecordingScrollbar* Bar = nullptr;
};

TEST_F(ScrollbarTest, ThumbFollowsThePageButNeverShrinksBelowTwenty) {
    EXPECT_EQ(Bar->ThumbLength(), 40);
    Bar->setPageSize(50);
    // 225 less the spacing on both ends (2 x 3), inside again (2 x 3) and both buttons (2 x 12).
    EXPECT_EQ(Bar->ThumbLength(), int(0.5 * (225 - 6 - 6 - 24)));
    Bar->setMax(100000);
    EXPECT_EQ(Bar->ThumbLength(), 20);
    Bar->setPageSize(0);
    EXPECT_EQ(Bar->PageSize(), 50);
    Bar->setCustomScrollbarSize(60);
    EXPECT_EQ(Bar->ThumbLength(), 60);
    Bar->setCustomScrollbarSize(225);
    EXPECT_EQ(Bar->CustomScrollbarSize(), 60);
}

TEST_F(ScrollbarTest, ThumbMovesWithThePosition) {
    const int top = Bar->SliderRect().top();
    EXPECT_EQ(top, 3 + 12);
    Bar->setPosition(100);
    EXPECT_EQ(Bar->SliderRect().top(), 3 + (225 - 6 - 6 - 24 - 40) + 12);
    Bar->setPosition(500);
    EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(ScrollbarTest, HoldingTheSecondButtonStepsAtOnceThenAfterHalfASecondThenEvery50Ms) {
    const QPoint button = Bar->Button2().center();
    QTest::mouseMove(Bar, button);
    QTest::mousePress(Bar, Qt::LeftButton, {}, button);
    EXPECT_EQ(Bar->Position(), 1);
    ASSERT_TRUE(Bar->Repeater()->isActive());
    EXPECT_EQ(Bar->Repeater()->interval(), 500);
    ASSERT_TRUE(Eventually([&] { return Bar->Position() == 2; }));
    EXPECT_EQ(Bar->Repeater()->interval(), 50);
    ASSERT_TRUE(Eventually([&] { return Bar->Position() == 3; }));
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, button);
    EXPECT_FALSE(Bar->Repeater()->isActive());
    const QPoint first = Bar->Button1().center();
    QTest::mouseMove(Bar, first);
    QTest::mousePress(Bar, Qt::LeftButton, {}, first);
    EXPECT_EQ(Bar->Position(), 2);
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, first);
}

struct TrackColours {
    bool Dark;
};

class ScrollbarLook : public ScrollbarTest, public testing::WithParamInterface<bool> {};

TEST_P(ScrollbarLook, AwayShowsAThinStripAndNearFadesTheTrackInIn17Ticks) {
    SetDark(GetParam());
    Bar->UpdateTheme(false);
    ASSERT_TRUE(Bar->Minimised());
    const TColor surface = ThemeManager->SystemColor()->BackGround();
    const TColor interior = ThemeManager->SystemColor()->BackGroundInterior();
    const TColor thumb = ChangeLightness(interior, GetParam() ? 75 : -75);
    const int y = Bar->SliderRect().center().y();
    QImage shot = Shot(*Bar);
    EXPECT_TRUE(Near(PixelAt(shot, 8, y), ToQColor(thumb), 0));
    EXPECT_TRUE(Near(PixelAt(shot, 4, y), ToQColor(surface), 0));
    EXPECT_EQ(Bar->ThumbShape().width(), 3);

    Bar->Tracks.clear();
    Bar->Positions.clear();
    Bar->SetInteractionState(FXControlState::Hover);
    EXPECT_EQ(Bar->FadeTimer()->interval(), 10);
    ASSERT_TRUE(Eventually([&] { return !Bar->FadeTimer()->isActive(); }));
    std::vector<int> steps{0};
    for (int pos = 15; pos <= 255; pos += 15)
        steps.push_back(pos);
    EXPECT_EQ(Bar->Positions, steps);
    std::vector<TColor> expected{surface};
    for (int pos = 15; pos <= 255; pos += 15)
        if (BlendColors(surface, interior, pos) != expected.back())
            expected.push_back(BlendColors(surface, interior, pos));
    EXPECT_EQ(Bar->Tracks, expected);
    EXPECT_EQ(Bar->AnimPos(), 255);
    shot = Shot(*Bar);
    EXPECT_TRUE(Near(PixelAt(shot, 4, y), ToQColor(thumb), 0));
    EXPECT_TRUE(Near(PixelAt(shot, 6, 160), ToQColor(interior), 0));
    // The arrows show in the thumb's colour while expanded.
    EXPECT_TRUE(Near(PixelAt(shot, 6, 220 - 5), ToQColor(thumb), 8));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, ScrollbarLook, testing::Bool());

TEST_F(ScrollbarTest, DraggingPlacesTheThumbUnderThePointer) {
    QTest::mouseMove(Bar, QPoint(6, 100));
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(6, 100));
    ASSERT_TRUE(Bar->Dragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 20 + 92.5), Bar->mapToGlobal(QPointF(6, 112.5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Bar, &move);
    EXPECT_EQ(Bar->Position(), 50);
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(6, 112));
    EXPECT_FALSE(Bar->Dragging());
}

TEST_F(ScrollbarTest, KeysScrollAndArrowsAcrossTheBarMoveTheFocus) {
    Bar->setFocus();
    ASSERT_TRUE(Eventually([&] { return Bar->hasFocus(); }));
    QSignalSpy changes(Bar, &FXScrollbar::OnChange);
    QTest::keyClick(Bar, Qt::Key_Plus);
    QTest::keyClick(Bar, Qt::Key_Down);
    EXPECT_EQ(Bar->Position(), 2);
    QTest::keyClick(Bar, Qt::Key_Minus);
    QTest::keyClick(Bar, Qt::Key_Up);
    QTest::keyClick(Bar, Qt::Key_Up);
    EXPECT_EQ(Bar->Position(), 0);
    QTest::keyClick(Bar, Qt::Key_PageDown);
    EXPECT_EQ(Bar->Position(), 10);
    QTest::keyClick(Bar, Qt::Key_End);
    EXPECT_EQ(Bar->Position(), 100);
    QTest::keyClick(Bar, Qt::Key_Home);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_EQ(changes.count(), 7);
}

TEST_F(ScrollbarTest, AnnouncesAScrollBarWithItsValue) {
    Bar->setPosition(40);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Bar);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::ScrollBar);
    EXPECT_EQ(access->valueInterface()->currentValue().toInt(), 40);
    access->valueInterface()->setCurrentValue(60);
    EXPECT_EQ(Bar->Position(), 60);
}

TEST_F(ScrollbarTest, IdleBarRunsNoTimer) {
    for (const QTimer* timer : Bar->findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive());
}

class ScrollBoxTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(400, 400);
        Box = new FXScrollBox(Parent.get());
        Parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
    }
    void TearDown() override {
        Parent.reset();
        ThemedWidgetTest::TearDown();
    }
    QWidget* AddChild(const QRect& geometry) {
        auto* child = new QWidget(Box);
        child->setGeometry(geometry);
        child->show();
        QCoreApplication::processEvents();
        return child;
    }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool sideways = false) {
        const QPoint angle = sideways ? QPoint(delta, 0) : QPoint(0, delta);
        QWheelEvent wheel(QPointF(50, 50), Box->mapToGlobal(QPointF(50, 50)), QPoint(), angle, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Box, &wheel);
    }
    std::unique_ptr<QWidget> Parent;
    FXScrollBox* Box = nullptr;
};

TEST_F(ScrollBoxTest, ContentBelowTheViewGivesTheVerticalBarItsRange) {
    EXPECT_FALSE(Box->ScrollBarVert()->isVisible());
    EXPECT_FALSE(Box->ScrollBarHorz()->isVisible());
    AddChild(QRect(0, 0, 100, 300));
    EXPECT_EQ(Box->ScrollBarVert()->Max(), 300 + 100 - (150 - 12));
    EXPECT_TRUE(Box->ScrollBarVert()->isVisible());
    EXPECT_FALSE(Box->ScrollBarHorz()->isVisible());
    EXPECT_EQ(Box->ScrollBarVert()->geometry(), QRect(200 - 12, 0, 12, 150));
    Box->setScrollbarEnableVertical(false);
    EXPECT_FALSE(Box->ScrollBarVert()->isVisible());
}

TEST_F(ScrollBoxTest, OneNotchScrollsTwentyThenFive) {
    QWidget* child = AddChild(QRect(0, 0, 100, 300));
    std::vector<int> offsets;
    QObject::connect(Box->ScrollBarVert(), &FXScrollbar::OnChange, [&] { offsets.push_back(Box->PosY()); });
    Wheel(-120);
    EXPECT_EQ(Box->AnimY(), 25);
    ASSERT_TRUE(Eventually([&] { return !Box->SmoothTimer()->isActive(); }));
    EXPECT_EQ(offsets, (std::vector<int>{20, 25}));
    EXPECT_EQ(child->y(), -25);
    EXPECT_EQ(Box->ScrollBarVert()->y(), 0);
    Wheel(120);
    ASSERT_TRUE(Eventually([&] { return !Box->SmoothTimer()->isActive(); }));
    EXPECT_EQ(child->y(), 0);
}

TEST_F(ScrollBoxTest, ScrollingStopsAtTheEnds) {
    QWidget* child = AddChild(QRect(0, 0, 100, 300));
    Box->setScrollSpeed(200);
    Wheel(120);
    ASSERT_TRUE(Eventually([&] { return !Box->SmoothTimer()->isActive(); }));
    EXPECT_EQ(child->y(), 0);
    Wheel(-120);
    Wheel(-120);
    ASSERT_TRUE(Eventually([&] { return !Box->SmoothTimer()->isActive(); }));
    EXPECT_EQ(Box->ScrollBarVert()->Position(), 262);
    EXPECT_EQ(child->y(), -262);
}

TEST_F(ScrollBoxTest, ShiftScrollsSidewaysAndAHiddenDirectionFallsBack) {
    Box->setScrollExtendY(0);
    QWidget* wide = AddChild(QRect(0, 0, 600, 50));
    ASSERT_FALSE(Box->ScrollBarVert()->isVisible());
    Box->setAnimation(false);
    Wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(wide->x(), -25);
    // No vertical range: the plain wheel takes the horizontal bar.
    Wheel(-120);
    EXPECT_EQ(wide->x(), -50);
    Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(wide->x(), -50);
    Wheel(120, Qt::NoModifier, true);
    EXPECT_EQ(wide->x(), -25);
}

TEST_F(ScrollBoxTest, DestroyAllKeepsTheBars) {
    AddChild(QRect(0, 0, 100, 300));
    AddChild(QRect(0, 0, 100, 30));
    Box->DestroyAll();
    EXPECT_EQ(Box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 2);
    EXPECT_FALSE(Box->ScrollBarVert()->isVisible());
}

TEST_F(ScrollBoxTest, ThemeReachesTheBarsAndTheContent) {
    auto* inner = new FXScrollbar(Box);
    Box->setBackgroundColor(FXBackgroundColor::Content);
    SetDark(true);
    Box->UpdateTheme(true);
    EXPECT_EQ(Box->Background(), 0x2B2B2Bu);
    EXPECT_EQ(Box->ScrollBarVert()->DrawColors().BackGround(), 0x2B2B2Bu);
    EXPECT_EQ(inner->DrawColors().BackGround(), 0x2B2B2Bu);
    EXPECT_TRUE(Near(PixelAt(Shot(*Box), 20, 20), ToQColor(0x2B2B2B), 0));
}

} // namespace
