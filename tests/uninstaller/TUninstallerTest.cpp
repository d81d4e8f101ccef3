#include "TUninstaller.h"

#include "DemoProfile.h"
#include "InstallReport.h"
#include "UninstallProcedure.h"

#include "ColorFunctions.h"
#include "TWinRegistry.h"

#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXTextBox.h"
#include "ThemedWidgetTest.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TUninstallerTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        ASSERT_TRUE(FProfile.Install());
        ASSERT_EQ(ReadInstallReport(FProfile.ReportPath(), FOptions), TReportStatus::Found);
        FOptions.RemoveProgramData = true;
    }

    // Presses a themed button the way a user does: down and up over it.
    static void Press(QWidget* button) {
        ASSERT_TRUE(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }

    static bool Shown(TUninstaller& window, int page) {
        return Eventually([&] {
            return !window.Sliding() && window.CurrentPage() == page &&
                   window.PageWidget(page)->isVisible() && window.PageWidget(page)->pos() == QPoint(0, 0);
        });
    }

    // Runs the timer's ticks by hand, as the one-second timer would: only while it runs.
    static void Tick(TUninstaller& window, int count) {
        for (int i = 0; i < count && window.UninstallTick()->isActive(); ++i)
            window.UninstallTickTimer();
    }

    TDemoProfile FProfile;
    TAppOptions FOptions;
};

TEST_F(TUninstallerTest, OpensOnTheWelcomePage) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    EXPECT_EQ(window.windowTitle(), "Brenvale Demo Uninstaller");
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Welcome);
    EXPECT_FALSE(window.UninstallTick()->isActive());
    window.show();
    EXPECT_TRUE(window.Navigation_Uninstall()->isVisible());
    EXPECT_FALSE(window.Navigation_Close()->isVisible());
    EXPECT_TRUE(window.Option_RemoveProgramData()->isVisible());
    EXPECT_TRUE(window.Option_RemoveProgramData()->Checked());
}

TEST_F(TUninstallerTest, TicksStepThroughTheRemovalToSuccess) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    Press(window.Navigation_Uninstall());
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Uninstall);
    EXPECT_TRUE(window.UninstallTick()->isActive());
    EXPECT_EQ(window.UninstallTick()->interval(), 1000);
    EXPECT_FALSE(window.Navigation_Uninstall()->isVisible());
    EXPECT_FALSE(window.Navigation_Close()->isVisible());

    const int positions[] = {0, 33, 67, 100};
    for (int i = 0; i < 4; ++i) {
        Tick(window, 1);
        EXPECT_EQ(window.Uninstall_Progress()->Value(), float(positions[i]));
    }
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Success);
    EXPECT_FALSE(window.UninstallTick()->isActive());
    EXPECT_TRUE(window.Navigation_Close()->isVisible());
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir()));
    EXPECT_FALSE(QFileInfo::exists(FProfile.DataDir()));
    EXPECT_TRUE(window.isVisible()) << "without -closeafterfinish the window waits for Close";
}

TEST_F(TUninstallerTest, UncheckedDataOptionKeepsTheDataFolder) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    Press(window.Option_RemoveProgramData());
    EXPECT_FALSE(window.Option_RemoveProgramData()->Checked());
    Press(window.Navigation_Uninstall());
    Tick(window, 4);
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir()));
    EXPECT_TRUE(QFileInfo::exists(FProfile.DataDir() + "/settings.ini"));
}

TEST_F(TUninstallerTest, WithoutDataFolderTheCheckBoxHidesAndTheChoiceStays) {
    FOptions.AppDataPath = FProfile.Root() + "/no-data";
    FOptions.RemoveProgramData = false;
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    EXPECT_FALSE(window.Option_RemoveProgramData()->isVisible());
    Press(window.Navigation_Uninstall());
    EXPECT_FALSE(FOptions.RemoveProgramData);
}

TEST_F(TUninstallerTest, StartOnTheUninstallPageBeginsAtOnce) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Uninstall);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Uninstall);
    EXPECT_TRUE(window.UninstallTick()->isActive());
    window.UninstallTick()->stop();
}

TEST_F(TUninstallerTest, FailedStepLeadsToTheFailPage) {
    FOptions.InstallPath = FProfile.Home();
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Uninstall);
    window.show();
    Tick(window, 4);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Fail);
    EXPECT_FALSE(window.UninstallTick()->isActive());
    EXPECT_TRUE(window.Navigation_Close()->isVisible());
    EXPECT_TRUE(QFileInfo::exists(FProfile.InstallDir()));
}

// Keeps one file from being deleted, even by root, for as long as it lives.
class UndeletableFile {
  public:
    explicit UndeletableFile(const QString& path) : FPath(path) {
        if (geteuid() == 0) {
            FImmutable = SetImmutable(true);
        } else {
            FFolder = QFileInfo(path).absolutePath();
            FReadOnlyFolder = chmod(QFile::encodeName(FFolder).constData(), 0555) == 0;
        }
    }
    ~UndeletableFile() {
        if (FImmutable) SetImmutable(false);
        if (FReadOnlyFolder) chmod(QFile::encodeName(FFolder).constData(), 0755);
    }
    bool Holds() const { return FImmutable || FReadOnlyFolder; }

  private:
    bool SetImmutable(bool on) {
        const int fd = open(QFile::encodeName(FPath).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }

    QString FPath;
    QString FFolder;
    bool FImmutable = false;
    bool FReadOnlyFolder = false;
};

TEST_F(TUninstallerTest, AShortcutThatStaysFailsTheRemovalButEveryStepRuns) {
    const QString shortcut = FProfile.DesktopDir() + "/Brenvale Demo.desktop";
    UndeletableFile undeletable(shortcut);
    if (!undeletable.Holds()) GTEST_SKIP() << "this file system cannot keep a file from being deleted";
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    Press(window.Navigation_Uninstall());
    Tick(window, 4);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Fail);
    EXPECT_TRUE(QFileInfo::exists(shortcut));
    EXPECT_FALSE(QFileInfo::exists(FProfile.ApplicationsDir() + "/Brenvale Demo.desktop"));
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir())) << "step 2 ran";
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\" + TDemoProfile::Record())) << "step 3 ran";
    ASSERT_EQ(procedure.Failures().size(), 1);
    EXPECT_TRUE(procedure.Failures()[0].contains(shortcut)) << procedure.Failures()[0].toStdString();
}

TEST_F(TUninstallerTest, CloseAfterFinishClosesOnTheResultPage) {
    TUninstallProcedure procedure(FOptions);
    procedure.setCloseAfterFinish(true);
    TUninstaller window(procedure, TUninstaller::Page_Uninstall);
    window.show();
    Tick(window, 3);
    EXPECT_TRUE(window.isVisible());
    Tick(window, 1);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Success);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TUninstallerTest, RunningCopyHoldsTheProcessesPage) {
    const QString name = QStringLiteral("demo-window-%1").arg(getpid());
    FOptions.ExeLocation = FProfile.InstallDir() + "/" + name;
    ASSERT_TRUE(QFile::copy(FProfile.InstallDir() + "/brenvale-demo", FOptions.ExeLocation));
    QProcess running;
    running.start(FOptions.ExeLocation, {"60"});
    ASSERT_TRUE(running.waitForStarted());

    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    Press(window.Navigation_Uninstall());
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    EXPECT_EQ(window.Process_Name()->Text(), name);
    EXPECT_TRUE(window.Navigation_Uninstall()->isVisible());
    Press(window.Navigation_Uninstall());
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    EXPECT_FALSE(window.UninstallTick()->isActive());

    ASSERT_EQ(procedure.FoundProcess().PID, quint32(running.processId()));
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Processes));
    Press(window.Navigation_Terminate());
    ASSERT_TRUE(running.waitForFinished(10000));
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    Press(window.Navigation_Uninstall());
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Uninstall);
    window.UninstallTick()->stop();
}

// What stays of the profile when the demo is gone, as a silent run leaves it.
QSet<QString> WithoutDemo(const TDemoProfile& profile, const QSet<QString>& installed) {
    QSet<QString> expected;
    for (const QString& entry : installed) {
        const QString path = profile.Root() + entry;
        if (!path.startsWith(profile.InstallDir()) && !path.endsWith("/Brenvale Demo.desktop") &&
            !path.startsWith(profile.DataDir()))
            expected.insert(entry);
    }
    return expected;
}

TEST_F(TUninstallerTest, AUserWalksThePagesToTheSameRemovalAsASilentRun) {
    const QSet<QString> installed = FProfile.Snapshot();
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Welcome));
    EXPECT_EQ(window.PageWidget(TUninstaller::Page_Welcome)->parentWidget(), window.Panels_Container());

    Press(window.Navigation_Uninstall());
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Uninstall));
    EXPECT_FALSE(window.PageWidget(TUninstaller::Page_Welcome)->isVisible())
        << "the old page is hidden after the slide";
    // The one-second timer's ticks, one after the other.
    while (window.UninstallTick()->isActive())
        window.UninstallTickTimer();
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Success));
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(FProfile, installed));
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\" + TDemoProfile::Record()));

    Press(window.Navigation_Close());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TUninstallerTest, ANewPageSlidesInFromTheRight) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Welcome));
    FXPanel* processes = window.PageWidget(TUninstaller::Page_Processes);
    window.GoToPage(TUninstaller::Page_Processes);
    EXPECT_EQ(processes->x(), window.Panels_Container()->width())
        << "starts outside the container on the right";
    EXPECT_TRUE(window.Sliding());
    EXPECT_TRUE(window.PageWidget(TUninstaller::Page_Welcome)->isVisible())
        << "the old page stays until the slide ends";
    ASSERT_TRUE(Shown(window, TUninstaller::Page_Processes));
    EXPECT_FALSE(window.PageWidget(TUninstaller::Page_Welcome)->isVisible());
}

TEST_F(TUninstallerTest, TheWindowFollowsTheThemeWhileItRuns) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.setAllowThemeChangeAnimation(false);
    window.show();
    const TColor light = window.FormColor();
    SetDark(true);
    ASSERT_TRUE(Eventually([&] { return window.FormColor() != light; }));
    EXPECT_LT(GetBrightness(window.FormColor()), 100);
    SetDark(false);
    ASSERT_TRUE(Eventually([&] { return window.FormColor() == light; }));
}

// With BRENVALE_SCREENSHOTS naming a folder, every page is photographed light
// and dark into it, to be looked at.
TEST_F(TUninstallerTest, PagesCanBePhotographedLightAndDark) {
    const QString folder = qEnvironmentVariable("BRENVALE_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "set BRENVALE_SCREENSHOTS to a folder for the pictures";
    ASSERT_TRUE(QDir().mkpath(folder));
    TAppOptions failing = FOptions;
    failing.InstallPath = FProfile.Root() + "/never-installed";
    failing.AppDataPath.clear(); // the light pictures need the data folder for the dark ones
    for (bool dark : {false, true}) {
        SetDark(dark);
        const QString theme = dark ? "dark" : "light";
        TUninstallProcedure procedure(FOptions);
        TUninstaller window(procedure, TUninstaller::Page_Welcome);
        window.setAllowThemeChangeAnimation(false);
        window.show();
        for (int page : {1, 2, 3, 4}) {
            window.GoToPage(page);
            ASSERT_TRUE(Shown(window, page));
            if (page == TUninstaller::Page_Uninstall) {
                window.UninstallTick()->stop();
                window.Uninstall_Progress()->setAnimations(false);
                window.Uninstall_Progress()->setValue(67);
            }
            ASSERT_TRUE(
                window.grab().save(QStringLiteral("%1/page%2-%3.png").arg(folder).arg(page).arg(theme)));
        }
        TUninstallProcedure failed(failing);
        TUninstaller failWindow(failed, TUninstaller::Page_Uninstall);
        failWindow.setAllowThemeChangeAnimation(false);
        failWindow.show();
        while (failWindow.UninstallTick()->isActive())
            failWindow.UninstallTickTimer();
        ASSERT_TRUE(Shown(failWindow, TUninstaller::Page_Fail));
        ASSERT_TRUE(failWindow.grab().save(QStringLiteral("%1/page5-%2.png").arg(folder, theme)));
    }
}

} // namespace
