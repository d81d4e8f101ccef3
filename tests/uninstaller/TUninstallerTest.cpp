#include "TUninstaller.h"

#include "DemoProfile.h"
#include "InstallReport.h"
#include "UninstallProcedure.h"

#include "TWinRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void EnsureApplication() {
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "uninstaller_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class TUninstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(FProfile.Install());
        ASSERT_EQ(ReadInstallReport(FProfile.ReportPath(), FOptions), TReportStatus::Found);
        FOptions.RemoveProgramData = true;
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
    EXPECT_TRUE(window.Option_RemoveProgramData()->isChecked());
}

TEST_F(TUninstallerTest, TicksStepThroughTheRemovalToSuccess) {
    TUninstallProcedure procedure(FOptions);
    TUninstaller window(procedure, TUninstaller::Page_Welcome);
    window.show();
    window.NavClicker(2);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Uninstall);
    EXPECT_TRUE(window.UninstallTick()->isActive());
    EXPECT_EQ(window.UninstallTick()->interval(), 1000);
    EXPECT_FALSE(window.Navigation_Uninstall()->isVisible());
    EXPECT_FALSE(window.Navigation_Close()->isVisible());

    const int positions[] = {0, 33, 67, 100};
    for (int i = 0; i < 4; ++i) {
        Tick(window, 1);
        EXPECT_EQ(window.Uninstall_Progress()->value(), positions[i]);
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
    window.Option_RemoveProgramData()->setChecked(false);
    window.NavClicker(2);
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
    window.NavClicker(2);
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
    window.NavClicker(2);
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
    window.NavClicker(2);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    EXPECT_EQ(window.Process_Name()->text(), name);
    EXPECT_TRUE(window.Navigation_Uninstall()->isVisible());
    window.NavClicker(2);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    EXPECT_FALSE(window.UninstallTick()->isActive());

    ASSERT_EQ(procedure.FoundProcess().PID, quint32(running.processId()));
    window.Navigation_TerminateClick();
    ASSERT_TRUE(running.waitForFinished(10000));
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Processes);
    window.NavClicker(2);
    EXPECT_EQ(window.CurrentPage(), TUninstaller::Page_Uninstall);
    window.UninstallTick()->stop();
}

} // namespace
