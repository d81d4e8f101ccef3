#include "FXButton.h"

#include "ColorFunctions.h"
#include "FXColorStateSet.h"
#include "FXCompleteColorSet.h"
#include "FXIconSelect.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

// Records the cross-fade position of every buffer paint.
class RecordingButton : public FXButton {
  public:
    using FXButton::FXButton;
    using FXButton::SetInteractionState;
    std::vector<int> Positions;
    int Paints = 0;

  protected:
    void PaintBuffer(QPainter& painter) override {
        ++Paints;
        if (AnimationRunning()) Positions.push_back(AnimPos());
        FXButton::PaintBuffer(painter);
    }
};

class ButtonTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(400, 300);
    }
    // An empty caption, so that a pixel of the body shows only its colour.
    RecordingButton* Bare(FXButtonKind kind = FXButtonKind::Normal) {
        auto* button = new RecordingButton(Parent.get());
        button->setText(QString());
        button->setButtonKind(kind);
        button->setAnimation(false);
        return button;
    }
    std::unique_ptr<QWidget> Parent;
};

TColor Grey(int level) {
    return RGB(level, level, level);
}

struct StateColours {
    bool Dark;
    FXControlState State;
    int Grey;
};

class ButtonStateColours : public ButtonTest, public testing::WithParamInterface<StateColours> {};

TEST_P(ButtonStateColours, NormalButtonBodyFollowsTheState) {
    const StateColours& c = GetParam();
    SetDark(c.Dark);
    RecordingButton* button = Bare();
    button->SetInteractionState(c.State);
    EXPECT_EQ(button->ButtonColors().GetColor(false, c.State), Grey(c.Grey));
    const QImage shot = Shot(*button);
    EXPECT_TRUE(Near(PixelAt(shot, 8, 17), ToQColor(Grey(c.Grey)), 0));
    EXPECT_TRUE(Near(PixelAt(shot, 130, 8), ToQColor(Grey(c.Grey)), 0));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, ButtonStateColours,
                         testing::Values(StateColours{false, FXControlState::None, 255},
                                         StateColours{false, FXControlState::Hover, 245},
                                         StateColours{false, FXControlState::Press, 255},
                                         StateColours{true, FXControlState::None, 38},
                                         StateColours{true, FXControlState::Hover, 48},
                                         StateColours{true, FXControlState::Press, 33}));

TEST_F(ButtonTest, CheckedToggleLooksLikeAnAccentButtonAndUncheckedLikeANormalOne) {
    RecordingButton* accent = Bare(FXButtonKind::Accent);
    RecordingButton* toggle = Bare(FXButtonKind::Toggle);
    RecordingButton* normal = Bare(FXButtonKind::Normal);
    toggle->move(0, 50);
    normal->move(0, 100);
    toggle->setChecked(true);
    for (FXControlState state : {FXControlState::None, FXControlState::Hover, FXControlState::Press}) {
        EXPECT_EQ(toggle->ButtonColors().GetColor(false, state),
                  accent->ButtonColors().GetColor(false, state));
        EXPECT_EQ(toggle->ButtonColors().GetColor(true, state), accent->ButtonColors().GetColor(true, state));
    }
    const QPoint points[] = {{8, 17}, {1, 1}, {70, 1}, {138, 33}};
    for (const QPoint& p : points)
        EXPECT_EQ(PixelAt(Shot(*toggle), p.x(), p.y()), PixelAt(Shot(*accent), p.x(), p.y()));
    EXPECT_TRUE(Near(PixelAt(Shot(*toggle), 8, 17), ToQColor(ThemeManager->AccentColor()), 0));

    toggle->setChecked(false);
    for (const QPoint& p : points)
        EXPECT_EQ(PixelAt(Shot(*toggle), p.x(), p.y()), PixelAt(Shot(*normal), p.x(), p.y()));
    EXPECT_TRUE(Near(PixelAt(Shot(*toggle), 8, 17), QColor(255, 255, 255), 0));
}

TEST_F(ButtonTest, ClickTogglesAndReportsTheCheck) {
    RecordingButton* toggle = Bare(FXButtonKind::Toggle);
    QSignalSpy checks(toggle, &FXButton::OnCheck);
    QSignalSpy clicks(toggle, &FXButton::OnClick);
    toggle->Click();
    EXPECT_TRUE(toggle->Checked());
    toggle->Click();
    EXPECT_FALSE(toggle->Checked());
    EXPECT_EQ(checks.count(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonTest, LinkShowsTheHandOnlyWithAutomaticCursorAndOpensEvenWithoutAddress) {
    RecordingButton* link = Bare(FXButtonKind::Link);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    auto* manual = new RecordingButton(Parent.get());
    manual->setAutomaticCursorPointer(false);
    manual->setButtonKind(FXButtonKind::Link);
    EXPECT_EQ(manual->cursor().shape(), Qt::ArrowCursor);

    QSignalSpy opened(link, &FXButton::OnOpenLink);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(opened.count(), 1);
}

TEST_F(ButtonTest, StateTextStaysWithoutDurationAndTimesOutWithOne) {
    RecordingButton* button = Bare();
    button->setText(QStringLiteral("Check"));
    button->setStateText(QStringLiteral("Checking..."));
    button->setStateDuration(0);
    button->setStateEnabled(true);
    EXPECT_EQ(button->DisplayedText(), QStringLiteral("Checking..."));
    EXPECT_FALSE(button->StateTimer()->isActive());

    button->setStateEnabled(false);
    button->setStateDuration(1000);
    button->setStateEnabled(true);
    EXPECT_TRUE(button->StateTimer()->isActive());
    EXPECT_EQ(button->StateTimer()->interval(), 1000);
    EXPECT_TRUE(button->StateTimer()->isSingleShot() || button->StateTimer()->isActive());

    // Each activation counts from now; the expiry itself is waited for as a condition.
    button->setStateDuration(5);
    button->setStateEnabled(false);
    button->setStateEnabled(true);
    ASSERT_TRUE(Eventually([&] { return !button->StateEnabled(); }));
    EXPECT_EQ(button->DisplayedText(), QStringLiteral("Check"));
    EXPECT_FALSE(button->StateTimer()->isActive());
}

TEST_F(ButtonTest, AutoStateToggleSwitchesTheStateWhenThereIsNoDuration) {
    RecordingButton* button = Bare();
    button->setAutoStateToggle(true);
    button->setStateDuration(0);
    button->Click();
    EXPECT_TRUE(button->StateEnabled());
    button->Click();
    EXPECT_FALSE(button->StateEnabled());
}

TEST_F(ButtonTest, BeforeModalResultCanKeepTheDialogOpen) {
    QDialog dialog;
    auto* button = new FXButton(&dialog);
    button->setModalResult(QDialog::Accepted);
    dialog.open();
    button->setOnBeforeModalResult([](FXButton*, bool& send) { send = false; });
    button->Click();
    EXPECT_TRUE(dialog.isVisible());

    FXButton* sender = nullptr;
    button->setOnBeforeModalResult([&](FXButton* b, bool&) { sender = b; });
    button->Click();
    EXPECT_EQ(sender, button);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ButtonTest, EmptyModalResultLeavesTheDialogOpen) {
    QDialog dialog;
    auto* button = new FXButton(&dialog);
    dialog.open();
    button->Click();
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ButtonTest, DisabledButtonIsGreyWithTextFadedTowardTheBody) {
    RecordingButton* accent = Bare(FXButtonKind::Accent);
    accent->setEnabled(false);
    const TColor body = ToGrayscale(ThemeManager->AccentColor());
    EXPECT_EQ(accent->ButtonColors().BackgroundNone(), body);
    const TColor text = ToGrayscale(accent->DrawColors().BackGround());
    EXPECT_EQ(accent->ButtonColors().ForeGroundNone(), BlendColors(body, text, 100));
    EXPECT_TRUE(Near(PixelAt(Shot(*accent), 8, 17), ToQColor(body), 0));
    accent->setEnabled(true);
    EXPECT_EQ(accent->ButtonColors().BackgroundNone(), ThemeManager->AccentColor());
}

TEST_F(ButtonTest, CheckedTagIsTheFirstCheckedSiblingsTag) {
    std::vector<RecordingButton*> buttons;
    for (int tag : {1, 2, 3}) {
        buttons.push_back(Bare(FXButtonKind::Toggle));
        buttons.back()->setTag(tag);
    }
    EXPECT_EQ(buttons[0]->GetCheckedTag(), 1);
    EXPECT_EQ(buttons[2]->GetCheckedTag(), 3);
    buttons[1]->setChecked(true);
    for (RecordingButton* button : buttons)
        EXPECT_EQ(button->GetCheckedTag(), 2);
    FXButton orphan;
    orphan.setTag(7);
    EXPECT_EQ(orphan.GetCheckedTag(), 7);
}

TEST_F(ButtonTest, CrossFadeWalksTheEngineStepsByPercent) {
    auto* button = new RecordingButton(Parent.get());
    Parent->show();
    button->Positions.clear();
    button->SetInteractionState(FXControlState::Hover);
    ASSERT_TRUE(Eventually([&] { return !button->AnimationRunning(); }));
    // The first frame shows the old colours, then ten steps of a tenth each and the final sync.
    std::vector<int> expected{0};
    for (int i = 1; i <= 10; ++i)
        expected.push_back(int(1.0 * i / 10 * 255));
    expected.push_back(255);
    EXPECT_EQ(button->Positions, expected);
    EXPECT_EQ(button->AnimPos(), 255);
}

TEST_F(ButtonTest, StateChangeDuringAFadeOnlyRepaints) {
    auto* button = new RecordingButton(Parent.get());
    Parent->show();
    button->SetInteractionState(FXControlState::Hover);
    ASSERT_TRUE(button->AnimationRunning());
    const int before = button->AnimPos();
    button->SetInteractionState(FXControlState::Press);
    EXPECT_EQ(button->AnimPos(), before);
    ASSERT_TRUE(Eventually([&] { return !button->AnimationRunning(); }));
}

TEST_F(ButtonTest, DestroyedMidFadeIsNotTouchedByTheAnimation) {
    auto* button = new RecordingButton(Parent.get());
    Parent->show();
    button->SetInteractionState(FXControlState::Hover);
    delete button;
    // The animation plays out against a guarded pointer; serving it must not crash.
    int served = 0;
    EXPECT_TRUE(Eventually([&] { return ++served > 50; }));
}

TEST_F(ButtonTest, CaptionAndIndicatorRectangles) {
    Parent->show();
    auto* button = new RecordingButton(Parent.get());
    button->show();
    button->resize(200, 40);
    EXPECT_EQ(button->CaptionRect(), QRect(0, 0, 200, 40).adjusted(8, 8, -8, -8));
    button->setButtonKind(FXButtonKind::Dropdown);
    const int indicator = std::max(QFontMetrics(button->font()).height(), 30);
    EXPECT_EQ(button->IndicatorRect(), QRect(192 - indicator, 8, indicator, 24));
    EXPECT_EQ(button->CaptionRect().width(), 184 - indicator - 5);
}

TEST_F(ButtonTest, IconLeftOfTheCaptionIsCentredTogetherWithIt) {
    auto* button = new RecordingButton(Parent.get());
    button->resize(200, 40);
    button->Image()->setEnabled(true);
    const QFontMetrics metrics(button->font());
    const int c = int(std::nearbyint(metrics.height() * 1.25));
    const int w = metrics.horizontalAdvance(QStringLiteral("Button"));
    const int x = 8 + int(std::nearbyint((184 - w - c) / 2.0));
    EXPECT_EQ(button->ImageRect(), QRect(x, 8 + (24 - c) / 2, c, c));
    EXPECT_EQ(button->TheTextRect(), QRect(x + c + 5, 8, w, 24));
    EXPECT_TRUE(button->TextDrawFlags().testFlag(FXTextFlag::VerticalCenter));
}

TEST_F(ButtonTest, SpaceAndEnterPressAndClickOnce) {
    auto* button = new RecordingButton(Parent.get());
    Parent->show();
    QSignalSpy clicks(button, &FXButton::OnClick);
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(button->Interaction(), FXControlState::Press);
    QTest::keyPress(button, Qt::Key_Space, {}, -1);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(button, &repeat);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(button->Interaction(), FXControlState::None);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.count(), 4);
}

TEST_F(ButtonTest, TabFocusShowsTheOutline) {
    auto* first = new RecordingButton(Parent.get());
    auto* button = new RecordingButton(Parent.get());
    button->move(0, 50);
    Parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
    first->setFocus();
    ASSERT_TRUE(Eventually([&] { return first->hasFocus(); }));
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_TRUE(button->HasEnteredTab());
    const QImage shot = Shot(*button);
    // The outline is drawn in the theme's text colour over the body's edge.
    EXPECT_TRUE(Near(PixelAt(shot, 1, 17), ToQColor(ThemeManager->SystemColor()->ForeGround()), 40));
}

TEST_F(ButtonTest, AnnouncesTextRoleAndToggleState) {
    auto* button = new RecordingButton(Parent.get());
    button->setText(QStringLiteral("Convert All"));
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::PushButton);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Convert All"));
    EXPECT_FALSE(access->state().checkable);
    button->setButtonKind(FXButtonKind::Toggle);
    button->setChecked(true);
    EXPECT_TRUE(access->state().checkable);
    EXPECT_TRUE(access->state().checked);
    button->setStateText(QStringLiteral("Working"));
    button->setStateEnabled(true);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Working"));
}

TEST_F(ButtonTest, HeldButtonRepeatsAfterHalfASecondThenFaster) {
    auto* button = new RecordingButton(Parent.get());
    Parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
    button->setRepeatWhenPressed(true);
    QSignalSpy clicks(button, &FXButton::OnClick);
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(button, &enter);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(button->Interaction(), FXControlState::Press);
    ASSERT_TRUE(button->RepeatTimer()->isActive());
    EXPECT_EQ(button->RepeatTimer()->interval(), 500);
    ASSERT_TRUE(Eventually([&] { return clicks.count() >= 1; }));
    EXPECT_EQ(button->RepeatTimer()->interval(), 50);
    EXPECT_TRUE(button->RepeatTimer()->isActive());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->RepeatTimer()->isActive());
}

TEST_F(ButtonTest, SameValueDoesNotRepaint) {
    RecordingButton* button = Bare();
    button->setRoundness(20);
    const int paints = button->Paints;
    button->setRoundness(20);
    button->setText(QString());
    button->setChecked(false);
    EXPECT_EQ(button->Paints, paints);
}

} // namespace

namespace {

TEST_F(ButtonTest, APileOfTransparentButtonsRedrawsEachOnceForAChangeBeneath) {
    std::vector<RecordingButton*> pile;
    for (int i = 0; i < 30; ++i)
        pile.push_back(Bare());
    for (RecordingButton* button : pile)
        button->Paints = 0;
    pile.front()->setRoundness(4);
    EXPECT_EQ(pile.front()->Paints, 1);
    for (size_t i = 1; i < pile.size(); ++i)
        EXPECT_EQ(pile[i]->Paints, 1) << i;
    // A control above one that lies above the changed one is reached through it.
    pile[1]->move(100, 0);
    pile[2]->move(200, 0);
    for (RecordingButton* button : pile)
        button->Paints = 0;
    pile[1]->setRoundness(4);
    EXPECT_EQ(pile[2]->Paints, 1);
    EXPECT_EQ(pile[0]->Paints, 0);
}

} // namespace

namespace {

TEST_F(ButtonTest, ALinkIsAnnouncedAsALinkAfterItsKindChanges) {
    auto* button = new RecordingButton(Parent.get());
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::PushButton);
    button->setButtonKind(FXButtonKind::Link);
    EXPECT_EQ(access->role(), QAccessible::Link);
}

} // namespace

namespace {

// WCAG contrast, computed here rather than by the library it checks.
double TestContrast(TColor a, TColor b) {
    const auto luminance = [](TColor colour) {
        const auto linear = [](int value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) +
               0.0722 * linear(GetBValue(colour));
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

struct LinkCase {
    const char* Name;
    TColor Accent;
    bool Dark;
};

class LinkContrastTest : public ButtonTest, public testing::WithParamInterface<LinkCase> {};

TEST_P(LinkContrastTest, TheLinkTextReadsInEveryStateAndKeepsAReadableAccent) {
    ThemeManager->setAccentColor(GetParam().Accent);
    SetDark(GetParam().Dark);
    RecordingButton* link = Bare(FXButtonKind::Link);
    link->UpdateTheme(false);
    const FXColorStateSet& colours = link->ButtonColors();
    EXPECT_GE(TestContrast(colours.ForeGroundNone(), colours.BackgroundNone()), 4.5);
    EXPECT_GE(TestContrast(colours.ForeGroundHover(), colours.BackgroundHover()), 4.5);
    EXPECT_GE(TestContrast(colours.ForeGroundPress(), colours.BackgroundPress()), 4.5);
    // An accent that reads already is shown as it is.
    if (TestContrast(GetParam().Accent, colours.BackgroundNone()) >= 4.5 &&
        TestContrast(GetParam().Accent, colours.BackgroundHover()) >= 4.5) {
        EXPECT_EQ(colours.ForeGroundNone(), GetParam().Accent);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accents, LinkContrastTest,
    testing::Values(LinkCase{"DefaultLight", 0xD77800, false}, LinkCase{"DefaultDark", 0xD77800, true},
                    LinkCase{"PaleYellowLight", RGB(255, 230, 100), false},
                    LinkCase{"PaleYellowDark", RGB(255, 230, 100), true},
                    LinkCase{"NavyLight", RGB(0, 0, 80), false}, LinkCase{"NavyDark", RGB(0, 0, 80), true},
                    LinkCase{"MidGreyLight", RGB(128, 128, 128), false},
                    LinkCase{"MidGreyDark", RGB(128, 128, 128), true}),
    [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.Name); });

} // namespace
