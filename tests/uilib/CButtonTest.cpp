#include "CButton.h"
#include "ColorFunctions.h"
#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXLegacyAccentCache.h"

#include "ThemedWidgetTest.h"

#include <QDialog>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

class CButtonTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        LegacyAccentCache().Invalidate();
        FWindow = std::make_unique<QWidget>();
        FWindow->resize(300, 200);
        FButton = new CButton(FWindow.get());
        FButton->move(20, 20);
    }
    void TearDown() override {
        CButtonDefaultPreset() = {};
        FWindow.reset();
        ThemedWidgetTest::TearDown();
    }

    void ShowActive() {
        FWindow->show();
        FWindow->activateWindow();
        ASSERT_TRUE(Eventually([this] {
            return FWindow->isActiveWindow() && QGuiApplication::applicationState() == Qt::ApplicationActive;
        }));
    }

    QImage Face() { return Shot(*FButton); }

    static void Enter(QWidget& widget) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&widget, &event);
    }

    std::unique_ptr<QWidget> FWindow;
    CButton* FButton = nullptr;
};

TEST_F(CButtonTest, NewButtonIsClickMeInWhiteOnTheAdjustedAccentWithARoundedUnderline) {
    const TColor accent = GetLegacyAccentColor(CAccentColor::AccentAdjust);
    const TColor leave = ChangeLightness(accent, 15);
    EXPECT_EQ(FButton->size(), QSize(110, 40));
    EXPECT_EQ(FButton->Text(), QStringLiteral("Click me"));
    EXPECT_EQ(FButton->Colors().Leave, leave);
    EXPECT_EQ(FButton->Colors().Enter, ChangeLightness(leave, 40));
    EXPECT_EQ(FButton->Colors().BLine, ChangeLightness(leave, -40));
    EXPECT_EQ(FButton->TextColors().Leave, 0xFFFFFFu);

    FWindow->show();
    const QImage face = Face();
    EXPECT_TRUE(Near(PixelAt(face, 12, 15), ToQColor(leave)));
    // The underline runs along the bottom edge, under the caption.
    EXPECT_TRUE(Near(PixelAt(face, 55, 38), ToQColor(ChangeLightness(leave, -40))));
    int white = 0;
    for (int y = 8; y < 32; ++y)
        for (int x = 20; x < 90; ++x)
            if (Near(PixelAt(face, x, y), Qt::white, 10)) ++white;
    EXPECT_GT(white, 20) << "the caption is drawn in white";
    // The rounded corner shows the edge colour, the parent's background.
    EXPECT_TRUE(Near(PixelAt(face, 0, 0), FWindow->palette().color(QPalette::Window)));
}

TEST_F(CButtonTest, HoverBlendsLeaveToEnterOverTenTicksAndRestsAt250) {
    ShowActive();
    // Activation gave the button the focus, which shows as the Enter state.
    FButton->clearFocus();
    const CButtonColors colors = FButton->Colors();
    QSignalSpy changes(FButton, &CButton::OnStateChange);
    Enter(*FButton);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(1).value<CButtonState>(), CButtonState::mbsEnter);
    ASSERT_TRUE(FButton->FadeRunning());

    std::vector<int> weights;
    std::vector<TColor> bodies;
    while (FButton->FadeRunning()) {
        weights.push_back(FButton->FadeWeight());
        bodies.push_back(FButton->BodyColor());
        FButton->FadeTick();
    }
    const std::vector<int> expected{0, 25, 50, 75, 100, 125, 150, 175, 200, 225, 250};
    EXPECT_EQ(weights, expected);
    for (std::size_t i = 0; i < bodies.size(); ++i)
        EXPECT_EQ(bodies[i], BlendColors(colors.Leave, colors.Enter, expected[i]));
    EXPECT_EQ(FButton->BodyColor(), BlendColors(colors.Leave, colors.Enter, 250));
}

TEST_F(CButtonTest, WithoutAFadeANewStateShowsAtOnce) {
    // Hidden: no fade runs, and the body is the new state's colour, not the old one.
    FButton->setState(CButtonState::mbsDown);
    EXPECT_FALSE(FButton->FadeRunning());
    EXPECT_EQ(FButton->BodyColor(), BlendColors(FButton->Colors().Leave, FButton->Colors().Down, 250));
}

TEST_F(CButtonTest, ApplyOncePresetIsAppliedOnceAndLaterColoursStay) {
    FButton->setUseAccentColor(CAccentColor::None);
    CButtonPresets preset;
    preset.Kind = CButtonPreset::cbprMetroSimple;
    preset.Color = 0x3366CC;
    preset.ApplyOnce = true;
    FButton->setPreset(preset);
    EXPECT_EQ(FButton->Preset().Kind, CButtonPreset::cbprCustom);
    EXPECT_EQ(FButton->Colors().Leave, 0x3366CCu);
    EXPECT_EQ(FButton->RoundAmount(), 0);

    CButtonColors mine{0x111111, 0x222222, 0x333333, 0x444444};
    FButton->setColors(mine);
    FWindow->show();
    Face();
    EXPECT_EQ(FButton->Colors(), mine);
}

TEST_F(CButtonTest, AccentColoursReplaceColoursReadFromALayout) {
    const CButtonColors designed{0x010101, 0x020202, 0x030303, 0x040404};
    {
        FXFormReading reading;
        FButton->setColors(designed);
    }
    FWindow->show();
    Face();
    EXPECT_EQ(FButton->Colors().Leave, ChangeLightness(GetLegacyAccentColor(CAccentColor::AccentAdjust), 15));

    auto* plain = new CButton(FWindow.get());
    plain->setUseAccentColor(CAccentColor::None);
    {
        FXFormReading reading;
        plain->setColors(designed);
    }
    plain->show();
    Shot(*plain);
    EXPECT_EQ(plain->Colors(), designed);
}

TEST_F(CButtonTest, EnterOnAFocusedDefaultButtonClicksOnceAndSetsTheModalResult) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* button = new CButton(&dialog);
    layout->addWidget(button);
    button->setDefault(true);
    button->setModalResult(1);
    QSignalSpy clicks(button, &CButton::OnClick);
    dialog.show();
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(CButtonTest, EscapeInTheWindowClicksTheCancelButton) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* ok = new CButton(&dialog);
    auto* cancel = new CButton(&dialog);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    cancel->setCancel(true);
    cancel->setModalResult(2);
    QSignalSpy okClicks(ok, &CButton::OnClick);
    QSignalSpy cancelClicks(cancel, &CButton::OnClick);
    dialog.show();
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_EQ(okClicks.count(), 0);
    EXPECT_EQ(cancelClicks.count(), 1);
    EXPECT_EQ(dialog.result(), 2);
}

TEST_F(CButtonTest, MouseClickReportsStatesAndClicksOnce) {
    ShowActive();
    QSignalSpy clicks(FButton, &CButton::OnClick);
    QSignalSpy changes(FButton, &CButton::OnStateChange);
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_GE(changes.count(), 2);
    EXPECT_EQ(changes.at(changes.count() - 2).at(1).value<CButtonState>(), CButtonState::mbsDown);
    EXPECT_EQ(changes.last().at(1).value<CButtonState>(), CButtonState::mbsEnter);
    EXPECT_TRUE(FButton->hasFocus());
}

TEST_F(CButtonTest, AnIconWithoutCaptionIsCentred) {
    FButton->setText(QString());
    FButton->setButtonIcon(CButtonIcon::cicYes);
    const QRect icon = FButton->Layout().IconRect;
    ASSERT_FALSE(icon.isEmpty());
    EXPECT_NEAR(icon.center().x(), FButton->width() / 2, 1);
    EXPECT_NEAR(icon.center().y(), FButton->height() / 2, 1);
    EXPECT_EQ(icon.height(), qRound(40 / 1.2));
}

TEST_F(CButtonTest, AnIconBesideTheCaptionSitsLeftOfIt) {
    FButton->setButtonIcon(CButtonIcon::cicArrow);
    const auto layout = FButton->Layout();
    ASSERT_FALSE(layout.IconRect.isEmpty());
    EXPECT_EQ(layout.IconRect.right() + 1 + 5, layout.TextPos.x());
    EXPECT_EQ(layout.IconRect.top(), layout.TextPos.y());
}

struct IconPlacementCase {
    CPosition Layout;
    // Where the icon's centre lies from the caption's centre: -1 before, 0 level, +1 after.
    int Horizontal;
    int Vertical;
};

class CButtonIconPlacementTest : public CButtonTest, public testing::WithParamInterface<IconPlacementCase> {};

TEST_P(CButtonIconPlacementTest, TheIconSitsOnItsSideOfTheCaption) {
    const IconPlacementCase& c = GetParam();
    FButton->resize(200, 120);
    FButton->setButtonIcon(CButtonIcon::cicYes);
    FButton->setBImageLayout(c.Layout);
    const CButton::FaceLayout layout = FButton->Layout();
    const QFontMetrics metrics(layout.CaptionFont);
    const QRect caption(layout.TextPos, QSize(metrics.horizontalAdvance(layout.Caption), metrics.height()));
    const QRect icon = layout.IconRect;
    ASSERT_FALSE(icon.isEmpty());
    const auto side = [](int icon, int caption) {
        return std::abs(icon - caption) <= 2 ? 0 : icon < caption ? -1 : 1;
    };
    EXPECT_EQ(side(icon.center().x(), caption.center().x()), c.Horizontal);
    EXPECT_EQ(side(icon.center().y(), caption.center().y()), c.Vertical);
    EXPECT_FALSE(icon.intersects(caption));
}

INSTANTIATE_TEST_SUITE_P(IconLayouts, CButtonIconPlacementTest,
                         testing::Values(IconPlacementCase{CPosition::cpLeft, -1, 0},
                                         IconPlacementCase{CPosition::cpRight, 1, 0},
                                         IconPlacementCase{CPosition::cpTop, 0, -1},
                                         IconPlacementCase{CPosition::cpBottom, 0, 1}));

TEST_F(CButtonTest, AGradientRunsFromTheBodyColourToTheGradientColour) {
    FButton->setUnderLine({6, false, true});
    FButton->setRoundTransparent(false);
    FButton->setText(QString());
    FButton->setGradientOptions({0xFF00FF, 0x0000FF, 0x000080, true});
    FWindow->show();
    const QImage face = Face();
    EXPECT_TRUE(Near(PixelAt(face, 0, 20), ToQColor(FButton->BodyColor())));
    EXPECT_TRUE(Near(PixelAt(face, 109, 20), ToQColor(0x0000FF), 4));
}

TEST_F(CButtonTest, DisabledButtonPaintsItsBodyGrey) {
    FButton->setEnabled(false);
    FWindow->show();
    const TColor body = FButton->BodyColor();
    EXPECT_EQ(body, ToGrayscale(FButton->Colors().Leave));
    EXPECT_TRUE(Near(PixelAt(Face(), 12, 15), ToQColor(body)));
}

TEST_F(CButtonTest, TheProcessWidePresetIsAdoptedUnlessIgnored) {
    CButtonDefaultPreset() = {true, CButtonPreset::cbprMetro, 0x00FF00};
    FButton->Invalidate();
    EXPECT_EQ(FButton->Preset().Kind, CButtonPreset::cbprMetro);
    EXPECT_EQ(FButton->Preset().Color, 0x00FF00u);

    auto* own = new CButton(FWindow.get());
    CButtonPresets preset;
    preset.IgnoreGlobalSync = true;
    own->setPreset(preset);
    own->Invalidate();
    EXPECT_EQ(own->Preset().Kind, CButtonPreset::cbprCustom);
}

TEST_F(CButtonTest, PressShrinksTheDrawnFaceAndReleaseRestoresIt) {
    CButtonAnimations animations = FButton->Animations();
    animations.PressAnimation = true;
    FButton->setAnimations(animations);
    FWindow->show();
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    ASSERT_TRUE(Eventually([&] { return !FButton->PressAnimationRunning(); }));
    // Six steps of max(1, round(110 / 50)) = 2 and max(1, round(40 / 50)) = 1.
    EXPECT_EQ(FButton->Shrink(), QPoint(12, 6));
    EXPECT_EQ(FButton->size(), QSize(110, 40));
    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    ASSERT_TRUE(Eventually([&] { return !FButton->PressAnimationRunning(); }));
    EXPECT_EQ(FButton->Shrink(), QPoint(0, 0));
}

TEST_F(CButtonTest, ComponentPressShrinksTheControlAndReleaseRestoresIt) {
    FButton->setUseAccentColor(CAccentColor::None);
    CButtonPresets preset;
    preset.Kind = CButtonPreset::cbprFluentGray;
    FButton->setPreset(preset);
    FButton->resize(120, 80);
    FWindow->show();
    const QRect before = FButton->geometry();
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    ASSERT_TRUE(Eventually([&] { return !FButton->PressAnimationRunning(); }));
    // Two steps of w = 120 / 40 = 3 and h = 80 / 40 = 2, centred.
    EXPECT_EQ(FButton->geometry(), QRect(before.x() + 4, before.y() + 2, 114, 76));
    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    ASSERT_TRUE(Eventually([&] { return !FButton->PressAnimationRunning(); }));
    EXPECT_EQ(FButton->geometry(), before);
}

TEST_F(CButtonTest, FlatCompleteSwitchesTheUnderlineOff) {
    FButton->setFlatComplete(true);
    EXPECT_FALSE(FButton->UnderLine().Enable);
}

struct PresetCase {
    CButtonPreset Kind;
    int RoundAmount;
    int PenWidth;
    bool Underline;
    bool RoundTransparent;
    bool Fade;
    bool Flat;
    bool SubText;
    CButtonIcon Icon;
    TColor Leave; // 0: the preset's own colour 0x3366CC
};

// The system button face, resolved when the test runs (the desktop palette may differ).
constexpr TColor ButtonFace = clBtnFace;

class CButtonPresetTest : public CButtonTest, public testing::WithParamInterface<PresetCase> {};

TEST_P(CButtonPresetTest, PresetSetsItsOptionsAndPaintsItsBody) {
    const PresetCase& c = GetParam();
    FButton->setUseAccentColor(CAccentColor::None);
    CButtonPresets preset;
    preset.Kind = c.Kind;
    preset.Color = 0x3366CC;
    FButton->setPreset(preset);
    EXPECT_EQ(FButton->RoundAmount(), c.RoundAmount);
    EXPECT_EQ(FButton->Pen().Width, c.PenWidth);
    EXPECT_EQ(FButton->UnderLine().Enable, c.Underline);
    EXPECT_EQ(FButton->RoundTransparent(), c.RoundTransparent);
    EXPECT_EQ(FButton->Animations().FadeAnimation, c.Fade);
    EXPECT_EQ(FButton->FlatButton(), c.Flat);
    EXPECT_EQ(FButton->SubTextEnabled(), c.SubText);
    EXPECT_EQ(FButton->ButtonIcon(), c.Icon);
    EXPECT_EQ(ColorToRGB(FButton->Colors().Leave), c.Leave == 0 ? 0x3366CCu : ColorToRGB(c.Leave));

    FButton->resize(160, 50);
    FWindow->show();
    const QImage face = Face();
    const int p = FButton->Pen().Width;
    EXPECT_TRUE(Near(PixelAt(face, p + 4, 25), ToQColor(FButton->BodyColor())));
    if (p > 0) {
        EXPECT_TRUE(Near(PixelAt(face, 0, 25), ToQColor(FButton->Pen().Color)));
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, CButtonPresetTest,
                         testing::Values(PresetCase{CButtonPreset::cbprFluent, 10, 0, true, true, true, false,
                                                    false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprFluentFlat, 10, 0, true, true, true,
                                                    true, false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprFluentRound, 25, 0, true, true, true,
                                                    false, false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprMetro, 0, 2, false, false, false,
                                                    false, false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprMetroLink, 0, 2, false, false, false,
                                                    false, true, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprMetroSimple, 0, 0, false, false, false,
                                                    false, false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprMetroFade, 0, 2, false, false, true,
                                                    false, false, CButtonIcon::cicNone, 0},
                                         PresetCase{CButtonPreset::cbprFluentGray, 0, 3, false, false, true,
                                                    false, false, CButtonIcon::cicNone, 0x4E4E4E},
                                         PresetCase{CButtonPreset::cbprClassic, 0, 1, false, false, true,
                                                    false, false, CButtonIcon::cicNone, ButtonFace},
                                         PresetCase{CButtonPreset::cbprNewClassic, 0, 1, false, false, true,
                                                    false, false, CButtonIcon::cicNone, ButtonFace},
                                         PresetCase{CButtonPreset::cbprGlobalApplyColor, 10, 0, true, true,
                                                    true, false, false, CButtonIcon::cicNone, 0xFF0000},
                                         PresetCase{CButtonPreset::cbprWin32, 0, 1, false, false, true, false,
                                                    false, CButtonIcon::cicNone, 0xE1E1E1},
                                         PresetCase{CButtonPreset::cbprAeroLink, 0, 1, false, false, true,
                                                    false, true, CButtonIcon::cicArrow, 0xF0F0F0},
                                         PresetCase{CButtonPreset::cbprLink, 0, 3, false, false, true, false,
                                                    true, CButtonIcon::cicArrow, 0xE1E1E1}));

} // namespace
