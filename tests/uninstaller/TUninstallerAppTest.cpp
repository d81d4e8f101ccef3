// The uninstaller program from the outside: started as a user or a script would
// start it, against the demo application in a throw-away profile.
#include "DemoProfile.h"
#include "TWinRegistry.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <QDirIterator>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool RecordExists() {
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    return registry.KeyExists("HKEY_CURRENT_USER\\" + TDemoProfile::Record());
}

QStringList Lines(const QByteArray& output) {
    return QString::fromUtf8(output).split('\n');
}

// Waits for a condition that another process brings about; false when it does
// not come within the limit.
template <typename Condition> bool Eventually(Condition condition, int limitMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) return false;
        QThread::msleep(50);
    }
    return true;
}

class TUninstallerAppTest : public testing::Test {
  protected:
    void SetUp() override {
        FProfile.PlaceNeighbours();
        FBefore = FProfile.Snapshot();
        TWinRegistry registry;
        ASSERT_TRUE(registry.CreateKey("HKEY_CURRENT_USER\\Software\\BrenvaleSoftware\\Other App"));
    }

    QSet<QString> WithoutDemo(bool keepData) const {
        QSet<QString> expected = FBefore;
        if (keepData) {
            for (const QString& entry : FInstalled) {
                if ((FProfile.Root() + entry).startsWith(FProfile.DataDir())) expected.insert(entry);
            }
        }
        // Folders on the way that the installer made stay, as on any system.
        for (const QString& entry : FInstalled) {
            const QString path = FProfile.Root() + entry;
            if (path == FProfile.Home() + "/.local/share/BrenvaleSoftware" ||
                path == FProfile.Root() + "/opt")
                expected.insert(entry);
        }
        return expected;
    }

    void Install(const QStringList& extra = {}) {
        ASSERT_TRUE(FProfile.Install(extra));
        FInstalled = FProfile.Snapshot();
        ASSERT_TRUE(RecordExists());
    }

    TDemoProfile FProfile;
    QSet<QString> FBefore;
    QSet<QString> FInstalled;
};

TEST_F(TUninstallerAppTest, SilentRunRemovesEverythingTheReportNamesAndNothingElse) {
    Install();
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "/silent"});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(false));
    EXPECT_FALSE(RecordExists());
    TWinRegistry registry;
    EXPECT_TRUE(registry.KeyExists("HKCU\\Software\\BrenvaleSoftware\\Other App"));
    EXPECT_TRUE(run.Output.isEmpty()) << "no shell started it, so no lines";
}

TEST_F(TUninstallerAppTest, KeepAppDataKeepsTheDataFolder) {
    Install();
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent", "-keepappdata"});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(true));
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir()));
    EXPECT_FALSE(RecordExists());
}

TEST_F(TUninstallerAppTest, MismatchedVersionRemovesNothing) {
    Install({"--report-version", "1.0"});
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent"});
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_TRUE(
        run.Errors.contains("The installer report version is mismatched. Installation cannot continue"));
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
    EXPECT_TRUE(RecordExists());
}

TEST_F(TUninstallerAppTest, MissingReportEndsWithAnError) {
    const auto run = FProfile.RunUninstaller({"-r", FProfile.Root() + "/nowhere.ini", "-silent"});
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_TRUE(
        run.Errors.contains("The uninstaller cannot start as there is no install report file avalabile"));
}

TEST_F(TUninstallerAppTest, AFifoAsReportEndsWithAnErrorInsteadOfWaiting) {
    const QString fifo = FProfile.Root() + "/report.fifo";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto run = FProfile.RunUninstaller({"-r", fifo, "-silent"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Errors.contains("not a regular file")) << run.Errors.constData();
}

TEST_F(TUninstallerAppTest, AnInstallFolderThatIsNotThereIsNoSuccess) {
    Install();
    const QString report = FProfile.Root() + "/kept-report.ini";
    ASSERT_TRUE(QFile::copy(FProfile.ReportPath(), report));
    ASSERT_TRUE(QDir(FProfile.InstallDir()).removeRecursively());
    const auto run = FProfile.RunUninstaller({"-r", report, "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Output.contains("the install folder does not exist")) << run.Output.constData();
    EXPECT_FALSE(run.Output.contains("Successfully uninstalled")) << run.Output.constData();
}

TEST_F(TUninstallerAppTest, ReportIsFoundInTheWorkingFolder) {
    Install();
    ASSERT_TRUE(QFile::copy(FProfile.ReportPath(), FProfile.WorkDir() + "/Demo-InstallReport.ini"));
    const auto run = FProfile.RunUninstaller({"-silent"});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir()));
}

TEST_F(TUninstallerAppTest, FromBashTheLinesAppearInOrder) {
    Install();
    const auto run =
        FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent", "-closeafterfinish"}, true);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    QStringList expected{"(!) Beginning uninstalation"};
    if (geteuid() != 0) expected << "(!) User Install Type: false";
    expected << "(!) Uninstall type: silent"
             << "(!) Successfully uninstalled!"
             << "";
    EXPECT_EQ(Lines(run.Output), expected);
    EXPECT_FALSE(QFileInfo::exists(FProfile.InstallDir()));
}

TEST_F(TUninstallerAppTest, DangerousReportRemovesNothing) {
    Install();
    // The report of a broken installer names the user's home as its folder.
    QFile report(FProfile.ReportPath());
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    QByteArray text = report.readAll();
    report.close();
    text.replace("Install Path=" + FProfile.InstallDir().toUtf8(),
                 "Install Path=" + FProfile.Home().toUtf8());
    TDemoProfile::WriteFile(FProfile.ReportPath(), text);
    FInstalled = FProfile.Snapshot();

    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
    EXPECT_TRUE(RecordExists());
    EXPECT_TRUE(run.Output.contains("<!> Error: an error occured\n"));
    EXPECT_FALSE(run.Output.contains("Successfully"));
}

TEST_F(TUninstallerAppTest, HelpFromBashPrintsEveryLine) {
    Install();
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-help", "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 0);
    const QStringList lines = Lines(run.Output);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "Avalabile Parameters:");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[9], "-r <filename> -> Load installer report");
    EXPECT_EQ(lines[10], "");
    EXPECT_TRUE(QFileInfo::exists(FProfile.InstallDir())) << "help removes nothing";
}

TEST_F(TUninstallerAppTest, HelpWithoutDisplayGoesToStandardOutput) {
    Install();
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "/help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Output.startsWith("Avalabile Parameters:\n\n------------------------\n"));
}

TEST_F(TUninstallerAppTest, WindowWithoutDisplayEndsWithAnError) {
    Install();
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath()});
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_FALSE(run.Errors.isEmpty());
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
}

TEST_F(TUninstallerAppTest, StartedWindowClosesByItselfAndDeletesItsOwnFile) {
    Install();
    // A copy in a folder like the one relocation makes, so its removal is seen too.
    const QString folder = FProfile.InstrumentsDir() + "/brenvale-uninstaller-copy";
    const QString copy = folder + "/uninstaller_temp";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(TDemoProfile::UninstallerPath(), copy));

    const auto run = FProfile.RunUninstaller(
        {"-ad", "-r", FProfile.ReportPath(), "-start", "-closeafterfinish"}, false, copy);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(false));
    EXPECT_FALSE(RecordExists());
    EXPECT_TRUE(Eventually([&] { return !QFileInfo::exists(folder); }))
        << "the delayed deletion did not remove the program and its folder";
}

TEST_F(TUninstallerAppTest, FromTheInstallFolderItRelocatesAndTheCopyRemovesEverything) {
    Install({"--uninstaller", TDemoProfile::UninstallerPath()});
    const QString inside = FProfile.InstallDir() + "/brenvale-uninstaller";
    const auto run = FProfile.RunUninstaller({"-silent"}, false, inside);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    ASSERT_TRUE(Eventually([&] { return !QFileInfo::exists(FProfile.InstallDir()) && !RecordExists(); }))
        << "the relocated copy did not remove the installation";
    EXPECT_TRUE(Eventually([&] { return FProfile.Snapshot() == WithoutDemo(false); }));

    // The copy ran from a private folder of the user's temporary folder, and a
    // silent run leaves it there.
    const QDir temp(FProfile.Home() + "/.cache/tmp");
    const QStringList folders = temp.entryList({"brenvale-uninstaller-*"}, QDir::Dirs);
    ASSERT_EQ(folders.size(), 1);
    const QFileInfo folder(temp.filePath(folders[0]));
    EXPECT_EQ(folder.permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
    EXPECT_TRUE(QFileInfo::exists(folder.filePath() + "/uninstaller_temp"));
}

TEST_F(TUninstallerAppTest, FromASubFolderOfTheInstallationItDoesNotRelocate) {
    Install();
    const QString inside = FProfile.InstallDir() + "/bin/brenvale-uninstaller";
    ASSERT_TRUE(QDir().mkpath(FProfile.InstallDir() + "/bin"));
    ASSERT_TRUE(QFile::copy(TDemoProfile::UninstallerPath(), inside));
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent"}, false, inside);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(false)) << "the running program went with its folder";
    EXPECT_TRUE(
        QDir(FProfile.Home() + "/.cache/tmp").entryList({"brenvale-uninstaller-*"}, QDir::Dirs).isEmpty());
}

TEST_F(TUninstallerAppTest, AnAdministratorRemovesAnAllUsersInstallationWithoutRestarting) {
    if (geteuid() != 0) GTEST_SKIP() << "only an administrator removes it at once";
    Install({"--all-users"});
    const auto run = FProfile.RunUninstaller({"-r", FProfile.ReportPath(), "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(Lines(run.Output), QStringList({"(!) Beginning uninstalation", "(!) Uninstall type: silent",
                                              "(!) Successfully uninstalled!", ""}));
    EXPECT_EQ(FProfile.Snapshot(), WithoutDemo(false));
}

// The removal of an all-users installation as an ordinary user starts it: when
// the test runs as root, the first copy runs as "nobody" and owns the profile,
// keeping only the right to change its user id, which the pkexec stand-in needs
// to start the elevated copy as root.
class TElevationTest : public TUninstallerAppTest {
  protected:
    void SetUp() override {
        TUninstallerAppTest::SetUp();
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody) GTEST_SKIP() << "there is no user nobody to start the first copy as";
            QProcess probe;
            probe.start("/usr/bin/setpriv", UnprivilegedPrefix(nobody) + QStringList{"/bin/true"});
            if (!probe.waitForFinished() || probe.exitStatus() != QProcess::NormalExit ||
                probe.exitCode() != 0)
                GTEST_SKIP()
                    << "setpriv cannot start a process as nobody that keeps the right to change user";
        }
        FBin = FProfile.InstrumentsDir() + "/bin";
        QDir().mkpath(FBin);
        FProfile.Set("PATH", FBin + ":" + qEnvironmentVariable("PATH"));
    }

    // A pkexec on PATH made of `body`; it runs as the user who asked.
    void StandInPkexec(const QByteArray& body) const {
        TDemoProfile::WriteFile(FBin + "/pkexec", "#!/bin/sh\n" + body);
        QFile::setPermissions(FBin + "/pkexec", QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    }

    TDemoProfile::TRun RunAsUser(const QStringList& arguments, bool fromShell = false) {
        if (geteuid() != 0) return FProfile.RunUninstaller(arguments, fromShell);
        const passwd* nobody = getpwnam("nobody");
        GiveProfileTo(nobody->pw_uid, nobody->pw_gid);
        const QStringList unprivileged = UnprivilegedPrefix(nobody);
        // The shell runs as the user too, or the uninstaller could not see that its parent is one.
        const QStringList shell{"/bin/bash", "-c", "\"$0\" \"$@\"; exit $?"};
        return FProfile.RunUninstaller(unprivileged + (fromShell ? shell : QStringList()) +
                                           QStringList{TDemoProfile::UninstallerPath()} + arguments,
                                       false, "/usr/bin/setpriv");
    }

    static QStringList UnprivilegedPrefix(const passwd* user) {
        return {QStringLiteral("--reuid=%1").arg(user->pw_uid),
                QStringLiteral("--regid=%1").arg(user->pw_gid), "--clear-groups",
                "--inh-caps=+setuid,+setgid", "--ambient-caps=+setuid,+setgid"};
    }

    void GiveProfileTo(uid_t user, gid_t group) const {
        const auto give = [&](const QString& path) {
            lchown(QFile::encodeName(path).constData(), user, group);
        };
        give(FProfile.Root());
        QDirIterator it(FProfile.Root(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            give(it.next());
    }

    QString FBin;
};

TEST_F(TElevationTest, AllUsersInstallRestartsThroughPkexec) {
    Install({"--all-users"});
    // A stand-in for pkexec that only writes down what it was asked to run, and
    // answers a status as if the program had ended with it.
    const QString record = FProfile.InstrumentsDir() + "/pkexec-arguments";
    StandInPkexec("for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + record.toUtf8() + "'\nexit 5\n");

    const auto run = RunAsUser({"-r", FProfile.ReportPath(), "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 5) << "the elevated copy's status is the run's";
    EXPECT_EQ(Lines(run.Output), QStringList({"(!) Restarting as administrator", ""}));
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "pkexec was not asked before the first copy ended";
    const QStringList arguments = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList tail{
        TDemoProfile::UninstallerPath(), "-alluser", "-force", "-r", FProfile.ReportPath(), "-r",
        FProfile.ReportPath(),           "-silent"};
    ASSERT_GE(arguments.size(), tail.size());
    EXPECT_EQ(arguments.mid(arguments.size() - tail.size()), tail);
    EXPECT_TRUE(arguments.contains("BRENVALE_USER_HOME=" + FProfile.Home())) << "the user's home goes along";
    EXPECT_EQ(FProfile.Snapshot(), FInstalled) << "the unelevated copy removes nothing";
}

TEST_F(TElevationTest, WithoutPkexecTheRunSaysElevationFailed) {
    Install({"--all-users"});
    FProfile.Set("PATH", FBin);
    const auto run = RunAsUser({"-r", FProfile.ReportPath(), "-silent"});
    EXPECT_EQ(run.ExitCode, 6);
    EXPECT_TRUE(run.Errors.contains("elevation failed")) << run.Errors.constData();
    EXPECT_TRUE(run.Errors.contains("pkexec is not installed")) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
    EXPECT_TRUE(RecordExists());
}

TEST_F(TElevationTest, ACancelledConsentSaysSoAndRemovesNothing) {
    Install({"--all-users"});
    // pkexec's status when the user dismisses its dialog.
    StandInPkexec("exit 126\n");
    const auto run = RunAsUser({"-r", FProfile.ReportPath(), "-silent"});
    EXPECT_EQ(run.ExitCode, 6);
    EXPECT_TRUE(run.Errors.contains("elevation failed")) << run.Errors.constData();
    EXPECT_TRUE(run.Errors.contains("cancelled")) << run.Errors.constData();
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
}

TEST_F(TElevationTest, ARestartedCopyWithoutRightsDoesNotRestartAgain) {
    Install({"--all-users"});
    const QString asked = FProfile.InstrumentsDir() + "/pkexec-asked";
    StandInPkexec("touch '" + asked.toUtf8() + "'\n");
    const auto run = RunAsUser({"-alluser", "-force", "-r", FProfile.ReportPath(), "-silent"});
    EXPECT_EQ(run.ExitCode, 6);
    EXPECT_TRUE(run.Errors.contains("elevation failed")) << run.Errors.constData();
    EXPECT_FALSE(QFileInfo::exists(asked));
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
}

// The elevated copy as pkexec starts it: as root, with the environment cleared
// down to pkexec's own variables, root's HOME and PKEXEC_UID naming the user.
class TElevatedCopyTest : public TElevationTest {
  protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "starting the elevated copy as root takes root";
        if (!QFileInfo::exists("/usr/bin/setpriv")) GTEST_SKIP() << "setpriv is not installed";
        TElevationTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The user's hive lies in their data folder, as on any desktop.
        FProfile.Unset("BRENVALE_REGISTRY_ROOT");
        TWinRegistry registry;
        ASSERT_TRUE(registry.CreateKey("HKEY_CURRENT_USER\\Software\\BrenvaleSoftware\\Other App"));
        FRootHome = FProfile.InstrumentsDir() + "/root-home";
        QDir().mkpath(FRootHome);
        StandInPkexec("caller=$(id -u)\n"
                      "exec /usr/bin/setpriv --reuid=0 --regid=0 --clear-groups /usr/bin/env -i "
                      "PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME='" +
                      FRootHome.toUtf8() +
                      "' USER=root LOGNAME=root SHELL=/bin/sh PKEXEC_UID=\"$caller\" \"$@\"\n");
    }

    QString FRootHome;
};

TEST_F(TElevatedCopyTest, ItRemovesTheShortcutsAndRecordOfTheUserWhoAsked) {
    Install({"--all-users"});
    const auto run = RunAsUser({"-r", FProfile.ReportPath(), "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.constData();
    EXPECT_EQ(Lines(run.Output),
              QStringList({"(!) Restarting as administrator", "(!) Successfully uninstalled!", ""}));
    QSet<QString> expected = WithoutDemo(false);
    for (const char* hive :
         {"/home/.local/share/BrenvaleRegistry", "/home/.local/share/BrenvaleRegistry/HKEY_CURRENT_USER.db"})
        expected.insert(hive);
    EXPECT_EQ(FProfile.Snapshot(), expected);
    EXPECT_FALSE(QFileInfo::exists(FProfile.ApplicationsDir() + "/Brenvale Demo.desktop"));
    EXPECT_FALSE(QFileInfo::exists(FProfile.DesktopDir() + "/Brenvale Demo.desktop"));
    EXPECT_FALSE(RecordExists()) << "the record in the user's hive stays";
    TWinRegistry registry;
    EXPECT_TRUE(registry.KeyExists("HKCU\\Software\\BrenvaleSoftware\\Other App"));
    EXPECT_FALSE(QFileInfo::exists(FRootHome + "/.local/share/BrenvaleRegistry"))
        << "root's own hive was read instead of the user's";
}

TEST_F(TElevatedCopyTest, ItGuardsTheHomeOfTheUserWhoAsked) {
    Install({"--all-users"});
    // A broken installer names the user's home as the data folder.
    QFile report(FProfile.ReportPath());
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    QByteArray text = report.readAll();
    report.close();
    text.replace("Data Path=" + FProfile.DataDir().toUtf8(), "Data Path=" + FProfile.Home().toUtf8());
    TDemoProfile::WriteFile(FProfile.ReportPath(), text);
    FInstalled = FProfile.Snapshot();

    const auto run = RunAsUser({"-r", FProfile.ReportPath(), "-silent"}, true);
    EXPECT_EQ(run.ExitCode, 1) << run.Errors.constData();
    EXPECT_TRUE(run.Output.contains("<!> Error: an error occured\n")) << run.Output.constData();
    EXPECT_FALSE(run.Output.contains("Successfully")) << run.Output.constData();
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
    EXPECT_TRUE(RecordExists());
}

} // namespace
