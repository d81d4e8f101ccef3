#include "FXSlider.h"

#include "ColorFunctions.h"
#include "FXCompleteColorSet.h"
#include "FXCustomTooltip.h"
#include "FXDrawing.h"
#include "FXHintPopup.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class RecordingSlider : public FXSlider {
  public:
    using FXSlider::FXSlider;
    using FXSlider::SetInteractionState;
    std::vector<int> Fills;

  protected:
    void PaintBuffer(QPainter& painter) override {
        if (Fills.empty() || Fills.back() != CenterFill()) Fills.push_back(CenterFill());
        FXSlider::PaintBuffer(painter);
    }
};

class SliderTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(400, 200);
        Slider = new RecordingSlider(Parent.get());
        Slider->move(20, 80);
        Parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
        QCoreApplication::processEvents();
        Slider->clearFocus();
    }
    void TearDown() override {
        Parent.reset();
        ThemedWidgetTest::TearDown();
    }
    std::unique_ptr<QWidget> Parent;
    RecordingSlider* Slider = nullptr;
};

TEST_F(SliderTest, FullValueDrawsTheThumbAtTheEndAndFillsToItsCentre) {
    Slider->setPosition(100);
    EXPECT_EQ(Slider->PositionDraw(), 203);
    EXPECT_EQ(Slider->IconRect(), QRect(203, 9, 22, 22));
    EXPECT_EQ(Slider->SliderFull(), QRect(0, 17, 214, 6));
    const QImage shot = Shot(*Slider);
    const QColor accent = ToQColor(ThemeManager->AccentColor());
    EXPECT_TRUE(Near(PixelAt(shot, 100, 20), accent, 0));
    EXPECT_TRUE(Near(PixelAt(shot, 195, 20), accent, 0));
    Slider->setPosition(0);
    EXPECT_EQ(Slider->PositionDraw(), 0);
    EXPECT_TRUE(
        Near(PixelAt(Shot(*Slider), 100, 20), ToQColor(Slider->DrawColors().BackGroundInterior()), 0));
}

TEST_F(SliderTest, HoverGrowsTheDotInEightTicksAndPressShrinksIt) {
    EXPECT_EQ(Slider->DotSize(), 11);
    Slider->Fills.clear();
    Slider->SetInteractionState(FXControlState::Hover);
    ASSERT_TRUE(Eventually([&] { return !Slider->FillTimer()->isActive(); }));
    EXPECT_EQ(Slider->Fills, (std::vector<int>{50, 52, 54, 56, 58, 60, 62, 64, 65}));
    EXPECT_EQ(Slider->DotSize(), 14);
    Slider->SetInteractionState(FXControlState::Press);
    ASSERT_TRUE(Eventually([&] { return !Slider->FillTimer()->isActive(); }));
    EXPECT_EQ(Slider->CenterFill(), 45);
    EXPECT_EQ(Slider->DotSize(), 9);
}

TEST_F(SliderTest, DraggingIsAUserChangeAndCodeIsNot) {
    QSignalSpy changes(Slider, &FXSlider::OnChange);
    QSignalSpy values(Slider, &FXSlider::OnChangeValue);
    Slider->setPosition(10);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(values.count(), 1);

    const QPoint thumb = Slider->IconRect().center();
    QTest::mouseMove(Slider, thumb);
    ASSERT_TRUE(Eventually([&] { return Slider->Interaction() == FXControlState::Hover; }));
    QTest::mousePress(Slider, Qt::LeftButton, {}, thumb);
    ASSERT_EQ(Slider->Interaction(), FXControlState::Press);
    // Half the travel: the thumb's centre at 11 + 101.5 pixels.
    QMouseEvent move(QEvent::MouseMove, QPointF(11 + 101.5, 20), Slider->mapToGlobal(QPointF(112.5, 20)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Slider, &move);
    EXPECT_EQ(Slider->Position(), 50);
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(values.count(), changes.count() + 1);
    EXPECT_TRUE(Slider->Hint().IsVisible());
    EXPECT_EQ(Slider->Hint().Text(), QStringLiteral("50"));
    QTest::mouseRelease(Slider, Qt::LeftButton, {}, QPoint(112, 20));
    EXPECT_EQ(Slider->PositionDraw(), 101);
    EXPECT_TRUE(Slider->Hint().HideTimer()->isActive());
    EXPECT_EQ(Slider->Hint().HideTimer()->interval(), 100);
}

TEST_F(SliderTest, FiveTicksSitAtQuartersOfTheTravel) {
    Slider->setTotalTicks(5);
    EXPECT_EQ(Slider->TickPositions(), (QVector<int>{11, 11 + 50, 11 + 101, 11 + 152, 11 + 203}));
    Slider->setTotalTicks(-1);
    EXPECT_EQ(Slider->TotalTicks(), 5);
    Slider->setTotalTicks(1);
    EXPECT_EQ(Slider->TickPositions(), (QVector<int>{11}));
    // A mark above the track in the track colour, none between the marks.
    Slider->setTotalTicks(5);
    const QImage shot = Shot(*Slider);
    const QColor track = ToQColor(Slider->DrawColors().BackGroundInterior());
    EXPECT_TRUE(Near(PixelAt(shot, 61, 11), track, 0));
    EXPECT_TRUE(Near(PixelAt(shot, 80, 11), ToQColor(Slider->DrawColors().BackGround()), 0));
}

TEST_F(SliderTest, HintTextCanBeReplaced) {
    Slider->setPosition(50);
    Slider->setOnHint([](FXSlider*, QString& hint) { hint += QStringLiteral(" %"); });
    Slider->setFocus();
    ASSERT_TRUE(Eventually([&] { return Slider->hasFocus(); }));
    QTest::keyClick(Slider, Qt::Key_Plus);
    EXPECT_EQ(Slider->Position(), 51);
    EXPECT_TRUE(Slider->Hint().IsVisible());
    EXPECT_EQ(Slider->Hint().Text(), QStringLiteral("51 %"));
    EXPECT_EQ(Slider->Hint().Window().HintText(), QStringLiteral("51 %"));
    EXPECT_EQ(Slider->Hint().Window().font().pointSize(), 11);
    // Centred two thumb sizes above the thumb's centre.
    const QPoint expected = Slider->mapToGlobal(Slider->IconRect().center() - QPoint(0, 44));
    EXPECT_LE(std::abs(Slider->Hint().Window().geometry().center().x() - expected.x()), 1);
    EXPECT_TRUE(Slider->Hint().HideTimer()->isActive());
    EXPECT_EQ(Slider->Hint().HideTimer()->interval(), 1000);
}

TEST_F(SliderTest, ArrowsAlongTheTrackStepAndTheOthersMoveTheFocus) {
    auto* other = new QPushButton(Parent.get());
    other->move(0, 0);
    other->show();
    Slider->setPosition(50);
    Slider->setSmallChange(5);
    Slider->setSmallChange(0);
    EXPECT_EQ(Slider->SmallChange(), 5);
    Slider->setFocus();
    ASSERT_TRUE(Eventually([&] { return Slider->hasFocus(); }));
    QSignalSpy changes(Slider, &FXSlider::OnChange);
    QTest::keyClick(Slider, Qt::Key_Right);
    EXPECT_EQ(Slider->Position(), 55);
    QTest::keyClick(Slider, Qt::Key_Left);
    QTest::keyClick(Slider, Qt::Key_Left);
    EXPECT_EQ(Slider->Position(), 45);
    QTest::keyClick(Slider, Qt::Key_Minus);
    EXPECT_EQ(Slider->Position(), 40);
    QTest::keyClick(Slider, Qt::Key_PageUp);
    EXPECT_EQ(Slider->Position(), 50);
    QTest::keyClick(Slider, Qt::Key_End);
    EXPECT_EQ(Slider->Position(), 100);
    QTest::keyClick(Slider, Qt::Key_Right);
    EXPECT_EQ(Slider->Position(), 100);
    QTest::keyClick(Slider, Qt::Key_Home);
    EXPECT_EQ(Slider->Position(), 0);
    EXPECT_EQ(changes.count(), 7);
    QTest::keyClick(Slider, Qt::Key_Down);
    EXPECT_EQ(Slider->Position(), 0);
    EXPECT_FALSE(Slider->hasFocus());
}

TEST_F(SliderTest, VerticalSliderStepsWithUpAndDown) {
    Slider->setOrientation(FXOrientation::Vertical);
    EXPECT_EQ(Slider->size(), QSize(40, 225));
    Slider->setPosition(100);
    EXPECT_EQ(Slider->IconRect(), QRect(9, 203, 22, 22));
    Slider->setFocus();
    ASSERT_TRUE(Eventually([&] { return Slider->hasFocus(); }));
    QTest::keyClick(Slider, Qt::Key_Up);
    EXPECT_EQ(Slider->Position(), 99);
    QTest::keyClick(Slider, Qt::Key_Down);
    EXPECT_EQ(Slider->Position(), 100);
}

TEST_F(SliderTest, MinAndMaxPullThePositionAlong) {
    Slider->setPosition(50);
    Slider->setMin(60);
    EXPECT_EQ(Slider->Position(), 60);
    Slider->setMax(40);
    EXPECT_EQ(Slider->Min(), 40);
    EXPECT_EQ(Slider->Position(), 40);
    EXPECT_EQ(Slider->PositionDraw(), 0);
}

struct SliderColours {
    bool Dark;
    TColor Track;
    TColor ThumbFill;
};

class SliderPalette : public SliderTest, public testing::WithParamInterface<SliderColours> {};

TEST_P(SliderPalette, TrackAndThumbAtChosenPoints) {
    const SliderColours& c = GetParam();
    SetDark(c.Dark);
    Slider->UpdateTheme(false);
    Slider->setPosition(50);
    EXPECT_EQ(Slider->DrawColors().BackGroundInterior(), c.Track);
    EXPECT_EQ(Slider->IconColors().BackGround(), c.ThumbFill);
    const QImage shot = Shot(*Slider);
    EXPECT_TRUE(Near(PixelAt(shot, 180, 20), ToQColor(c.Track), 0));
    // Between the thumb's rim and its dot lies the thumb's fill.
    const QPoint centre = Slider->IconRect().center();
    EXPECT_TRUE(Near(PixelAt(shot, centre.x() - 8, centre.y()), ToQColor(c.ThumbFill), 1));
    EXPECT_TRUE(Near(PixelAt(shot, centre.x(), centre.y()), ToQColor(ThemeManager->AccentColor()), 0));
}

INSTANTIATE_TEST_SUITE_P(
    LightAndDark, SliderPalette,
    testing::Values(SliderColours{false, ChangeLightness(0xFBFBFB, -100), ChangeLightness(0xF3F3F3, -10)},
                    SliderColours{true, ChangeLightness(0x2B2B2B, 150),
                                  ChangeLightness(ChangeLightness(0x2B2B2B, 150), -100)}));

TEST_F(SliderTest, AnnouncesASliderWhoseValueCanBeSet) {
    Slider->setPosition(30);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Slider);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Slider);
    ASSERT_NE(access->valueInterface(), nullptr);
    EXPECT_EQ(access->valueInterface()->currentValue().toInt(), 30);
    QSignalSpy changes(Slider, &FXSlider::OnChange);
    access->valueInterface()->setCurrentValue(70);
    EXPECT_EQ(Slider->Position(), 70);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(SliderTest, HidingEndsTheDotAnimationAndTheHint) {
    Slider->SetInteractionState(FXControlState::Hover);
    Slider->setFocus();
    ASSERT_TRUE(Eventually([&] { return Slider->hasFocus(); }));
    QTest::keyClick(Slider, Qt::Key_Plus);
    ASSERT_TRUE(Slider->Hint().IsVisible());
    Slider->hide();
    EXPECT_FALSE(Slider->FillTimer()->isActive());
    EXPECT_FALSE(Slider->Hint().IsVisible());
    EXPECT_FALSE(Slider->Hint().HideTimer()->isActive());
}

} // namespace
