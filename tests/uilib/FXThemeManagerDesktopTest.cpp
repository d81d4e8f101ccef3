// The theme manager against the real registry store in a throw-away profile:
// values stored in the store, and the desktop's own answers beneath them.
#include "ColorFunctions.h"
#include "DesktopAppearance.h"
#include "FXColorizationEvent.h"
#include "FXCompleteColorSet.h"
#include "FXControl.h"
#include "FXThemeManager.h"
#include "RegistryStore.h"
#include "SystemTheme.h"
#include "TWinRegistry.h"
#include "TempProfile.h"

#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Personalize = QStringLiteral("HKEY_CURRENT_USER\\") + PersonalizeKey;
const QString Dwm = QStringLiteral("HKEY_CURRENT_USER\\") + DwmKey;

class ThemedWindow : public QWidget, public FXControl {
  public:
    int Updates = 0;
    int Colorizations = 0;
    bool SawDark = false;
    std::function<void()> OnUpdate;

    bool IsContainer() override { return true; }
    void UpdateTheme(bool) override {
        ++Updates;
        SawDark = ThemeManager->DarkTheme();
        if (OnUpdate) OnUpdate();
    }
    TColor Background() override { return ThemeManager->SystemColor()->BackGround(); }

  protected:
    bool event(QEvent* e) override {
        if (e->type() == FXColorizationEvent::Type()) {
            ++Colorizations;
            ThemeManager->MeasuredUpdateSettings();
            UpdateTheme(true);
            return true;
        }
        return QWidget::event(e);
    }
};

// Runs the event loop until `done` is called; false when the guard ran out first.
bool RunUntilDone(const std::function<void(std::function<void()>)>& arm) {
    QEventLoop loop;
    arm([&] { loop.quit(); });
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); });
    return loop.exec() == 0;
}

class FXThemeManagerDesktopTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        FRegistry.setErrorKind(TRegistryErrorKind::Disabled);
        ASSERT_TRUE(FRegistry.CreateKey(Personalize));
        ASSERT_TRUE(FRegistry.CreateKey(Dwm));
    }
    void TearDown() override { FinalizeUILibrary(); }

    TempProfile FProfile;
    TWinRegistry FRegistry;
};

TEST_F(FXThemeManagerDesktopTest, StoredSwitchFlippedWhileTheLoopRunsRepaintsTheWindow) {
    ASSERT_TRUE(FRegistry.WriteIntValue(Personalize, "AppsUseLightTheme", 1));
    InitializeUILibrary();
    ASSERT_FALSE(ThemeManager->DarkTheme());
    ThemedWindow window;
    window.show();
    ASSERT_TRUE(RunUntilDone([&](std::function<void()> done) {
        window.OnUpdate = done;
        QTimer::singleShot(30, [&] { FRegistry.WriteIntValue(Personalize, "AppsUseLightTheme", 0); });
    }));
    EXPECT_TRUE(window.SawDark);
    EXPECT_EQ(window.Background(), 0x202020u);
}

TEST_F(FXThemeManagerDesktopTest, DesktopSchemeIsFollowedWhenNothingIsStored) {
    DesktopAppearance::SetOverride(DesktopAppearance::State{DesktopAppearance::ColorScheme::PreferDark, {}});
    InitializeUILibrary();
    EXPECT_TRUE(ThemeManager->DarkTheme());
    ThemedWindow window;
    window.show();
    ASSERT_TRUE(RunUntilDone([&](std::function<void()> done) {
        window.OnUpdate = [&, done] {
            if (!ThemeManager->DarkTheme()) done();
        };
        DesktopAppearance::SetOverride(
            DesktopAppearance::State{DesktopAppearance::ColorScheme::PreferLight, {}});
    }));
    EXPECT_FALSE(window.SawDark);
    EXPECT_GE(window.Colorizations, 1) << "the desktop's notice reached the window";
}

TEST_F(FXThemeManagerDesktopTest, DesktopAccentIsRaisedBy50AndAbsentAccentGivesTheDefault) {
    InitializeUILibrary();
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(50, 170, 255));
    FinalizeUILibrary();
    DesktopAppearance::SetOverride(DesktopAppearance::State{{}, DesktopAppearance::Rgb{53, 132, 228}});
    EXPECT_EQ(ReadSystemAccentColor(false), RGB(53, 132, 228));
    InitializeUILibrary();
    EXPECT_EQ(ThemeManager->AccentColor(), RGB(103, 182, 255));
}

TEST_F(FXThemeManagerDesktopTest, RepeatedReadsSpareTheDatabaseUntilSomethingChanges) {
    ASSERT_TRUE(FRegistry.WriteIntValue(Personalize, "AppsUseLightTheme", 1));
    EXPECT_FALSE(ReadSystemDarkMode());
    EXPECT_EQ(ReadSystemAccentColor(false), 0xD77800u);
    const std::uint64_t opened = RegistryStore::TransactionsBegun();
    for (int poll = 0; poll < 30; ++poll) {
        EXPECT_FALSE(ReadSystemDarkMode());
        EXPECT_EQ(ReadSystemAccentColor(false), 0xD77800u);
    }
    EXPECT_EQ(RegistryStore::TransactionsBegun(), opened);

    // Another process flips the switch: its commit is seen on the next read.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TWinRegistry registry;
        registry.setErrorKind(TRegistryErrorKind::Disabled);
        _exit(registry.WriteIntValue(Personalize, "AppsUseLightTheme", 0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(ReadSystemDarkMode());

    // So is the desktop's own answer beneath the stored values.
    DesktopAppearance::SetOverride(DesktopAppearance::State{{}, DesktopAppearance::Rgb{53, 132, 228}});
    EXPECT_EQ(ReadSystemAccentColor(false), RGB(53, 132, 228));
}

TEST_F(FXThemeManagerDesktopTest, AStoredValueOfAnotherTypeMeansLight) {
    ASSERT_TRUE(FRegistry.WriteStringValue(Personalize, "AppsUseLightTheme", "0"));
    EXPECT_FALSE(ReadSystemDarkMode());
    ASSERT_TRUE(FRegistry.WriteIntValue(Personalize, "AppsUseLightTheme", 0));
    EXPECT_TRUE(ReadSystemDarkMode());
}

} // namespace
