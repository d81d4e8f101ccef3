#include "FXThemeManager.h"
#include "ColorFunctions.h"
#include "FXClock.h"
#include "FXColorSet.h"
#include "FXColorizationEvent.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXControl.h"
#include "FXSingleColorStateSet.h"
#include "FXSingleColorStateSets.h"
#include "SystemTheme.h"

#include "TestApplication.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;

// A top-level window that takes part in theme updates the way themed forms
// do, recording what the manager told it.
class ProbeForm : public QWidget, public FXControl {
  public:
    int Updates = 0;
    bool SawDark = false;
    TColor SawBackground = 0;
    std::function<void()> OnUpdate;

    bool IsContainer() override { return true; }
    void UpdateTheme(bool) override {
        ++Updates;
        SawDark = ThemeManager->DarkTheme();
        SawBackground = ThemeManager->SystemColor()->BackGround();
        if (OnUpdate) OnUpdate();
    }
    TColor Background() override { return SawBackground; }

  protected:
    bool event(QEvent* e) override {
        if (e->type() == FXColorizationEvent::Type()) {
            ThemeManager->MeasuredUpdateSettings();
            UpdateTheme(true);
            return true;
        }
        return QWidget::event(e);
    }
};

// The desktop's stored appearance values and a hand-stepped clock around a
// fresh theme manager.
class FXThemeManagerTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        SetSystemValueReader([this](const QString& key, const QString& name) -> std::optional<std::uint32_t> {
            if (key == QLatin1String(PersonalizeKey) && name == "AppsUseLightTheme") return AppsUseLightTheme;
            if (key == QLatin1String(DwmKey) && name == "AccentColor") {
                ++AccentReads;
                return StoredAccent;
            }
            return std::nullopt;
        });
        FXClock::SetSource([this] { return Now; });
    }
    void TearDown() override {
        FinalizeUILibrary();
        SetSystemValueReader({});
        FXClock::SetSource({});
        SetDesignEnvironment(false);
    }
    void Start() {
        FinalizeUILibrary();
        InitializeUILibrary();
    }

    std::optional<std::uint32_t> AppsUseLightTheme;
    std::optional<std::uint32_t> StoredAccent;
    int AccentReads = 0;
    FXClock::TimePoint Now{100s};
};

TEST_F(FXThemeManagerTest, StartsLightWithTheDefaultAccentRaisedBy50) {
    Start();
    EXPECT_FALSE(ThemeManager->DarkTheme());
    EXPECT_EQ(ThemeManager->DarkThemeMode(), FXDarkSetting::Auto);
    EXPECT_TRUE(ThemeManager->AutoAccentColor());
    EXPECT_FALSE(ThemeManager->LegacyFontColor());
    EXPECT_FALSE(ThemeManager->Designing());
    EXPECT_NE(ThemeManager->RegistryMonitor(), nullptr);
    EXPECT_EQ(ThemeManager->RegistryMonitor()->interval(), 100);
    EXPECT_TRUE(ThemeManager->RegistryMonitor()->isActive());

    const TColor accent = RGB(50, 170, 255);
    EXPECT_EQ(ThemeManager->AccentColor(), accent);
    EXPECT_EQ(ThemeManager->SystemColor()->Accent(), accent);
    EXPECT_EQ(ThemeManager->SystemColorSet()->Accent(), accent);
    EXPECT_EQ(ThemeManager->SystemGrayControl()->Accent(), accent);
    EXPECT_EQ(ThemeManager->SystemColor()->BackGround(), 0xF3F3F3u);
    EXPECT_EQ(ThemeManager->SystemColor()->ForeGround(), 0x1B1B1Au);
    EXPECT_EQ(ThemeManager->SystemColor()->BackGroundInterior(), 0xFBFBFBu);
    EXPECT_EQ(ThemeManager->SystemAccentInteractStates()->None(), accent);
    EXPECT_EQ(ThemeManager->SystemAccentInteractStates()->Hover(), RGB(75, 195, 255));
    EXPECT_EQ(ThemeManager->SystemAccentInteractStates()->Press(), RGB(25, 145, 230));
    EXPECT_EQ(ThemeManager->GetThemePrimaryColor(), 0xFFFFFFu);

    EXPECT_EQ(ThemeManager->FormFontHeight(), -16);
    EXPECT_EQ(ThemeManager->LargeFontHeight(), -20);
    EXPECT_FALSE(ThemeManager->FormFont().isEmpty());
    EXPECT_FALSE(ThemeManager->IconFont().isEmpty());

    const FXCompleteColorSets* tips = ThemeManager->SystemToolTip();
    EXPECT_EQ(tips->LightBackGround(), 0xF3F3F3u);
    EXPECT_EQ(tips->LightBackGroundInterior(), 0xFBFBFBu);
    EXPECT_EQ(tips->DarkBackGround(), 0x202020u);
    EXPECT_EQ(tips->DarkBackGroundInterior(), 0x2B2B2Bu);
}

struct SwitchCase {
    std::optional<std::uint32_t> stored;
    bool dark;
};

class SystemSwitchTest : public FXThemeManagerTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(SystemSwitchTest, DarkOnlyWhenTheValueExistsAndIsNotOne) {
    AppsUseLightTheme = GetParam().stored;
    EXPECT_EQ(ReadSystemDarkMode(), GetParam().dark);
    Start();
    EXPECT_EQ(ThemeManager->DarkTheme(), GetParam().dark);
    EXPECT_EQ(ThemeManager->SystemColor()->BackGround(), GetParam().dark ? 0x202020u : 0xF3F3F3u);
    EXPECT_EQ(ThemeManager->GetThemePrimaryColor(), GetParam().dark ? 0x000000u : 0xFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Values, SystemSwitchTest,
                         testing::Values(SwitchCase{std::nullopt, false}, SwitchCase{1u, false},
                                         SwitchCase{0u, true}, SwitchCase{2u, true}));

TEST_F(FXThemeManagerTest, FlippingTheSystemSwitchRepaintsOpenFormsWhileTheLoopRuns) {
    AppsUseLightTheme = 1;
    Start();
    ProbeForm form;
    form.show();
    QEventLoop loop;
    form.OnUpdate = [&] { loop.quit(); };
    QTimer::singleShot(30, [&] { AppsUseLightTheme = 0; });
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); }); // a guard, never reached when it works
    ASSERT_EQ(loop.exec(), 0);
    EXPECT_EQ(form.Updates, 1);
    EXPECT_TRUE(form.SawDark);
    EXPECT_EQ(form.SawBackground, 0x202020u);
    EXPECT_TRUE(ThemeManager->DarkTheme());
}

TEST_F(FXThemeManagerTest, UnchangedSwitchRepaintsNothing) {
    AppsUseLightTheme = 0;
    Start();
    ProbeForm form;
    ThemeManager->RegistryMonitorTick();
    ThemeManager->UpdateThemeInformation();
    EXPECT_EQ(form.Updates, 0);
}

TEST_F(FXThemeManagerTest, ForcedModesIgnoreTheSystem) {
    AppsUseLightTheme = 0;
    Start();
    ProbeForm form;
    ThemeManager->setDarkThemeMode(FXDarkSetting::ForceLight);
    EXPECT_FALSE(ThemeManager->DarkTheme());
    EXPECT_EQ(form.Updates, 1);
    ThemeManager->RegistryMonitorTick();
    EXPECT_FALSE(ThemeManager->DarkTheme());

    AppsUseLightTheme = 1;
    ThemeManager->setDarkThemeMode(FXDarkSetting::ForceDark);
    EXPECT_TRUE(ThemeManager->DarkTheme());
    ThemeManager->RegistryMonitorTick();
    EXPECT_TRUE(ThemeManager->DarkTheme());
    EXPECT_EQ(form.Updates, 2);

    // Back in Auto, the next poll follows the system again.
    ThemeManager->setDarkThemeMode(FXDarkSetting::Auto);
    EXPECT_TRUE(ThemeManager->DarkTheme());
    ThemeManager->RegistryMonitorTick();
    EXPECT_FALSE(ThemeManager->DarkTheme());
    EXPECT_EQ(form.Updates, 3);
}

TEST_F(FXThemeManagerTest, SettingDarkThemeUpdatesOnlyOnChange) {
    Start();
    ProbeForm form;
    ThemeManager->setDarkTheme(false);
    EXPECT_EQ(form.Updates, 0);
    ThemeManager->setDarkTheme(true);
    EXPECT_EQ(form.Updates, 1);
    EXPECT_TRUE(form.SawDark);
}

TEST_F(FXThemeManagerTest, FixedAccentStopsFollowingTheSystemUntilAutoIsBack) {
    Start();
    ProbeForm form;
    ThemeManager->setAccentColor(RGB(10, 240, 128));
    EXPECT_FALSE(ThemeManager->AutoAccentColor());
    EXPECT_EQ(form.Updates, 1);
    EXPECT_EQ(ThemeManager->SystemColor()->Accent(), RGB(10, 240, 128));
    // Hover saturates above 230, press stops at 0 below 25.
    EXPECT_EQ(ThemeManager->SystemAccentInteractStates()->Hover(), RGB(35, 255, 153));
    EXPECT_EQ(ThemeManager->SystemAccentInteractStates()->Press(), RGB(0, 215, 103));

    StoredAccent = 0xFF000000u | RGB(100, 100, 100);
    Now += 5s;
    ThemeManager->MeasuredUpdateSettings();
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(10, 240, 128));

    ThemeManager->setAutoAccentColor(false);
    EXPECT_EQ(form.Updates, 2) << "turning it off only stores";
    ThemeManager->setAutoAccentColor(true);
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(150, 150, 150));
    EXPECT_EQ(form.Updates, 3);
}

TEST_F(FXThemeManagerTest, StoredAccentLosesItsAlphaAndSaturatesAfterRaising) {
    StoredAccent = 0xFF000000u | RGB(210, 100, 10);
    Start();
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(255, 150, 60));
    EXPECT_EQ(ReadSystemAccentColor(false), RGB(210, 100, 10));
}

TEST_F(FXThemeManagerTest, ColorizationBurstRecomputesOncePerSecond) {
    Start();
    ProbeForm first;
    ProbeForm second;
    first.show();
    second.show();
    const int readsBefore = AccentReads;

    StoredAccent = 0xFF000000u | RGB(1, 2, 3);
    Now += 999ms;
    ThemeManager->BroadcastColorization();
    QCoreApplication::sendPostedEvents(nullptr, FXColorizationEvent::Type());
    EXPECT_EQ(AccentReads, readsBefore) << "less than a second since the last recomputation";
    EXPECT_EQ(first.Updates, 1);
    EXPECT_EQ(second.Updates, 1);

    Now += 1ms;
    ThemeManager->BroadcastColorization();
    QCoreApplication::sendPostedEvents(nullptr, FXColorizationEvent::Type());
    EXPECT_EQ(AccentReads, readsBefore + 1);
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(51, 52, 53));
    EXPECT_GE(first.Updates, 2);
    EXPECT_GE(second.Updates, 2);
}

TEST_F(FXThemeManagerTest, NotifyUpdateReachesOnlyThemedWindows) {
    Start();
    ProbeForm themed;
    QWidget plain;
    ProbeForm child;
    child.setParent(&themed);
    ThemeManager->NotifyUpdate();
    EXPECT_EQ(themed.Updates, 1);
    EXPECT_EQ(child.Updates, 0) << "a form forwards to its own controls";
}

TEST_F(FXThemeManagerTest, DesignEnvironmentStaysLightWithoutPolling) {
    AppsUseLightTheme = 0;
    SetDesignEnvironment(true);
    Start();
    EXPECT_TRUE(ThemeManager->Designing());
    EXPECT_FALSE(ThemeManager->DarkTheme());
    EXPECT_EQ(ThemeManager->RegistryMonitor(), nullptr);
}

TEST_F(FXThemeManagerTest, LoadColorSetCopiesTheSystemPalette) {
    AppsUseLightTheme = 0;
    Start();
    FXCompleteColorSet resolved;
    ThemeManager->LoadColorSet(resolved);
    EXPECT_EQ(resolved.BackGround(), 0x202020u);
    EXPECT_EQ(resolved.BackGroundInterior(), 0x2B2B2Bu);
    EXPECT_EQ(resolved.Accent(), RGB(50, 170, 255));
    FXColorSet plainResolved;
    ThemeManager->LoadColorSet(plainResolved);
    EXPECT_EQ(plainResolved.ForeGround(), 0xFFFFFFu);

    FXCompleteColorSets palette;
    palette.setLightBackGround(0x010101);
    ThemeManager->LoadColorSet(palette);
    EXPECT_EQ(palette.Accent(), RGB(50, 170, 255));
    EXPECT_EQ(palette.LightBackGround(), 0xF3F3F3u);
}

TEST_F(FXThemeManagerTest, FontsComeFromInstalledFaces) {
    Start();
    const QStringList families = QFontDatabase::families();
    EXPECT_TRUE(families.contains(ThemeManager->FormFont(), Qt::CaseInsensitive))
        << ThemeManager->FormFont().toStdString();
    if (!families.contains("Material Icons", Qt::CaseInsensitive))
        GTEST_SKIP() << "no Material icon font installed";
    EXPECT_EQ(ThemeManager->IconFont(), "Material Icons");
}

} // namespace
