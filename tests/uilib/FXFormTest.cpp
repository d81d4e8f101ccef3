#include "FXForm.h"
#include "ColorFunctions.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXColorizationEvent.h"
#include "FXCompleteColorSet.h"
#include "FXCustomTooltip.h"
#include "FXFillForm.h"
#include "FXFormEvents.h"
#include "FXPanel.h"
#include "FXTextBox.h"
#include "FXTitleBar.h"
#include "TIntAni.h"
#include "TitleBarColors.h"

#include "ThemedWidgetTest.h"

#include <QLayout>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

using FormTest = ThemedWidgetTest;

constexpr TColor LightBackground = 0xF3F3F3;
constexpr TColor DarkBackground = 0x202020;

// Records every colour the form is painted in.
class ColourRecorder : public QObject {
  public:
    explicit ColourRecorder(FXForm& form) : FForm(form) {
        Colours.push_back(form.FormColor());
        form.installEventFilter(this);
    }
    std::vector<TColor> Colours;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange &&
            (Colours.empty() || Colours.back() != FForm.FormColor()))
            Colours.push_back(FForm.FormColor());
        return false;
    }

  private:
    FXForm& FForm;
};

TEST_F(FormTest, IsAFramelessWindowWithItsOwnTitleBar) {
    FXForm form;
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.isWindow());
    ASSERT_NE(form.TitleBar(), nullptr);
    EXPECT_EQ(form.GetTitlebarHeight(), form.TitleBar()->height());
    EXPECT_EQ(form.contentsMargins().top(), form.TitleBar()->height());
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 251 / 255.0);
    form.setMicaEffect(false);
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0);
}

TEST_F(FormTest, HiddenFormRecoloursAtOnce) {
    FXForm form;
    EXPECT_EQ(form.FormColor(), LightBackground);
    SetDark(true);
    EXPECT_EQ(form.FormColor(), DarkBackground);
    EXPECT_FALSE(form.ThemeAnimationRunning());
    EXPECT_EQ(form.palette().color(QPalette::Window), ToQColor(DarkBackground));
    EXPECT_EQ(form.palette().color(QPalette::WindowText),
              ToQColor(ThemeManager->SystemColor()->ForeGround()));
}

TEST_F(FormTest, VisibleFormFadesThroughTheEngineStepsAndEndsOnTheNewBackground) {
    FXForm form;
    form.show();
    ColourRecorder recorder(form);
    SetDark(true);
    ASSERT_TRUE(Eventually([&] { return !form.ThemeAnimationRunning(); }));
    EXPECT_EQ(form.FormColor(), DarkBackground);
    // Weights 42, 58, 75, 91, 107, 124 of 255, then the exact new colour.
    std::vector<TColor> expected{LightBackground};
    for (int weight : {42, 58, 75, 91, 107, 124})
        expected.push_back(BlendColors(LightBackground, DarkBackground, weight));
    expected.push_back(DarkBackground);
    EXPECT_EQ(recorder.Colours, expected);
}

TEST_F(FormTest, NoAnimationWhenThemeChangeAnimationIsOff) {
    FXForm form;
    form.setAllowThemeChangeAnimation(false);
    form.show();
    SetDark(true);
    EXPECT_FALSE(form.ThemeAnimationRunning());
    EXPECT_EQ(form.FormColor(), DarkBackground);
}

TEST_F(FormTest, AccentOnlyChangeReportsRedraw) {
    FXForm form;
    QSignalSpy changes(&form, &FXForm::OnThemeChange);
    ThemeManager->setAccentColor(0x00FF00);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<FXThemeType>(), FXThemeType::Redraw);
    EXPECT_EQ(changes.at(0).at(2).value<TColor>(), 0x00FF00u);
    SetDark(true);
    EXPECT_EQ(changes.last().at(0).value<FXThemeType>(), FXThemeType::AppTheme);
    EXPECT_TRUE(changes.last().at(1).toBool());
}

TEST_F(FormTest, ThemeChangeReachesNestedControlsAndTooltips) {
    FXForm form;
    auto* panel = new FXPanel(&form);
    auto* label = new FXTextBox(panel);
    SetDark(true);
    EXPECT_EQ(label->Background(), DarkBackground);
    EXPECT_EQ(ApplicationTooltip(), FXTooltipKind::Dark);
    SetDark(false);
    EXPECT_EQ(label->Background(), LightBackground);
    EXPECT_EQ(ApplicationTooltip(), FXTooltipKind::Light);
}

TEST_F(FormTest, ColorizationNoticeRecomputesAndRepaints) {
    FXForm form;
    QSignalSpy changes(&form, &FXForm::OnThemeChange);
    FXColorizationEvent notice;
    QCoreApplication::sendEvent(&form, &notice);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(FormTest, CustomColoursReplaceTheSystemPalette) {
    FXForm form;
    form.CustomColors()->setLightBackGround(0x112233);
    form.CustomColors()->setLightForeGround(0xEEEEEE);
    form.CustomColors()->setEnabled(true);
    form.UpdateTheme(false);
    EXPECT_EQ(form.FormColor(), 0x112233u);
    EXPECT_EQ(form.Background(), 0x112233u);
}

TEST_F(FormTest, TitleBarColoursFollowTheFormRule) {
    const TitleBarColors colors = FormTitleBarColors(0xF3F3F3, 0x1B1B1A);
    EXPECT_EQ(colors.Background, ToQColor(0xF3F3F3));
    EXPECT_EQ(colors.InactiveBackground, ToQColor(0xF3F3F3));
    EXPECT_EQ(colors.ButtonHoverBackground, ToQColor(ChangeLightness(0xF3F3F3, 15)));
    EXPECT_EQ(colors.ButtonPressedBackground, ToQColor(ChangeLightness(0xF3F3F3, -30)));
    EXPECT_EQ(colors.ButtonHoverForeground, ToQColor(ChangeLightness(0x1B1B1A, 15)));
    EXPECT_EQ(colors.InactiveForeground, ToQColor(ChangeLightness(0x1B1B1A, 30)));
    FXForm form;
    form.setAllowThemeChangeAnimation(false);
    SetDark(true);
    EXPECT_EQ(form.TitleBar()->Colors().Background, ToQColor(DarkBackground));
    EXPECT_EQ(PixelAt(Shot(*form.TitleBar()), 2, 2), ToQColor(DarkBackground));
}

TEST_F(FormTest, ApplyTitleBarColorsReachesTheFormsTitleBar) {
    FXForm form;
    EXPECT_TRUE(ApplyTitleBarColors(&form, QColor(10, 20, 30), QColor(250, 250, 250)));
    EXPECT_EQ(form.TitleBar()->Colors().InactiveBackground, QColor(40, 50, 60));
    QWidget plain;
    EXPECT_FALSE(ApplyTitleBarColors(&plain, QColor(10, 20, 30), QColor(250, 250, 250)));
}

TEST_F(FormTest, TitleBarButtonsWorkAndAreNamed) {
    FXForm form;
    form.resize(400, 300);
    form.show();
    FXTitleBar* bar = form.TitleBar();
    EXPECT_EQ(bar->CloseButton()->accessibleName(), QStringLiteral("Close"));
    EXPECT_EQ(bar->CloseButton()->geometry().right(), form.width() - 1);
    EXPECT_TRUE(bar->MinimiseButton()->isVisible());
    EXPECT_TRUE(bar->MaximiseButton()->isVisible());
    EXPECT_EQ(bar->MaximiseButton()->geometry().right() + 1, bar->CloseButton()->x());
    bar->MaximiseButton()->click();
    EXPECT_TRUE(form.isMaximized());
    EXPECT_EQ(bar->MaximiseButton()->Kind(), FXTitleBarButtonKind::Restore);
    bar->MaximiseButton()->click();
    EXPECT_FALSE(form.isMaximized());
    form.setResizable(false);
    EXPECT_TRUE(bar->MaximiseButton()->isHidden());
    bar->CloseButton()->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FormTest, SmokeBlocksResizingRefusesClosingAndFadesOut) {
    FXForm form;
    form.resize(400, 300);
    form.show();
    form.setSmokeEffect(true);
    FXSmoke* smoke = form.Smoke();
    EXPECT_TRUE(smoke->isVisible());
    EXPECT_EQ(smoke->Alpha(), 150);
    EXPECT_EQ(smoke->geometry(), form.rect());
    EXPECT_EQ(form.minimumSize(), QSize(400, 300));
    EXPECT_EQ(form.maximumSize(), QSize(400, 300));
    EXPECT_FALSE(smoke->close());
    EXPECT_TRUE(smoke->isVisible());

    form.setSmokeEffect(false);
    EXPECT_NE(form.maximumSize(), QSize(400, 300));
    ASSERT_NE(form.SmokeAnimation(), nullptr);
    ASSERT_TRUE(Eventually([&] { return !smoke->isVisible(); }));
    EXPECT_EQ(smoke->Alpha(), 0);
}

TEST_F(FormTest, SmokeOffAndOnAgainWaitsForTheFadeAndShowsFullAlpha) {
    FXForm form;
    form.show();
    form.setSmokeEffect(true);
    form.setSmokeEffect(false);
    form.setSmokeEffect(true);
    EXPECT_FALSE(form.SmokeAnimation()->Running());
    EXPECT_TRUE(form.Smoke()->isVisible());
    EXPECT_EQ(form.Smoke()->Alpha(), 150);
}

TEST_F(FormTest, ActivationFocusesTheOverlay) {
    FXForm form;
    auto* label = new FXTextBox(&form);
    label->setFocusPolicy(Qt::StrongFocus);
    form.show();
    form.setSmokeEffect(true);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_TRUE(
        Eventually([&] { return form.Smoke()->hasFocus() || QApplication::focusWidget() == form.Smoke(); }));
}

TEST_F(FormTest, FullScreenAndBackRestoresTheBoundsAndTitleBar) {
    FXForm form;
    form.setGeometry(120, 80, 500, 350);
    form.show();
    const QRect before = form.geometry();
    form.setFullScreen(true);
    EXPECT_EQ(form.geometry(), form.screen()->geometry());
    EXPECT_FALSE(form.TitleBar()->isVisible());
    form.setFullScreen(true);
    EXPECT_EQ(form.geometry(), form.screen()->geometry());
    form.setFullScreen(false);
    EXPECT_EQ(form.geometry(), before);
    EXPECT_TRUE(form.TitleBar()->isVisible());
    EXPECT_EQ(form.contentsMargins().top(), form.TitleBar()->height());
}

TEST_F(FormTest, WindowUpdateLockFreezesPainting) {
    FXForm form;
    form.setWindowUpdateLocked(true);
    EXPECT_FALSE(form.updatesEnabled());
    form.setWindowUpdateLocked(false);
    EXPECT_TRUE(form.updatesEnabled());
}

// A child that counts the form's notices.
class NoticeCounter : public QWidget {
  public:
    using QWidget::QWidget;
    int Moves = 0;
    int Resizes = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == FXFormMovedEvent::Type()) ++Moves;
        if (event->type() == FXFormResizedEvent::Type()) ++Resizes;
        return QWidget::event(event);
    }
};

TEST_F(FormTest, MovesAndResizesAreBroadcastToChildren) {
    FXForm form;
    auto* child = new NoticeCounter(&form);
    form.show();
    QSignalSpy moved(&form, &FXForm::OnMove);
    const int moves = child->Moves, resizes = child->Resizes;
    form.move(form.pos() + QPoint(30, 20));
    ASSERT_TRUE(Eventually([&] { return child->Moves > moves; }));
    EXPECT_GE(moved.count(), 1);
    form.resize(form.size() + QSize(10, 10));
    ASSERT_TRUE(Eventually([&] { return child->Resizes > resizes; }));
}

TEST_F(FormTest, FillFormCoversTheClientAreaAndFollowsItsForm) {
    FXForm form;
    form.resize(400, 300);
    form.show();
    auto* page = new FXFillForm(&form);
    EXPECT_EQ(page->geometry(), QRect(0, form.GetTitlebarHeight(), 400, 300 - form.GetTitlebarHeight()));
    ASSERT_NE(page->Container(), nullptr);
    form.resize(500, 320);
    EXPECT_EQ(page->geometry(), QRect(0, form.GetTitlebarHeight(), 500, 320 - form.GetTitlebarHeight()));
    page->setFillMode(FXFormFill::Complete);
    EXPECT_EQ(page->geometry(), form.rect());
    EXPECT_EQ(page->layout()->contentsMargins().top(), 20 + form.GetTitlebarHeight());
}

TEST_F(FormTest, FillFormHidesOrFreesOnClose) {
    FXForm form;
    form.show();
    QPointer<FXFillForm> hiding = new FXFillForm(&form);
    hiding->show();
    hiding->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(hiding.isNull());
    EXPECT_FALSE(hiding->isVisible());

    QPointer<FXFillForm> freeing = FXFillForm::CreateNew(&form);
    EXPECT_EQ(freeing->CloseAction(), FXFormCloseAction::Free);
    freeing->show();
    freeing->close();
    ASSERT_TRUE(Eventually([&] { return freeing.isNull(); }));
}

TEST_F(FormTest, FillFormTakesTheThemeWithoutFading) {
    FXForm form;
    auto* page = new FXFillForm(&form);
    QSignalSpy changes(page, &FXFillForm::OnThemeChange);
    SetDark(true);
    EXPECT_EQ(page->Background(), DarkBackground);
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(changes.last().at(0).value<FXThemeType>(), FXThemeType::AppTheme);
}

} // namespace
