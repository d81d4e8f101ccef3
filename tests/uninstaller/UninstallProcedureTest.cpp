#include "UninstallProcedure.h"

#include "DemoProfile.h"
#include "InstallReport.h"
#include "TWinRegistry.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool KeyExists(const QString& hive, const QString& key) {
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    return registry.KeyExists(hive + "\\" + key);
}

class UninstallProcedureTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FProfile.Install());
        FProfile.PlaceNeighbours();
        TWinRegistry registry;
        ASSERT_TRUE(registry.CreateKey("HKEY_CURRENT_USER\\Software\\BrenvaleSoftware\\Other App"));
        ASSERT_EQ(ReadInstallReport(FProfile.ReportPath(), FOptions), TReportStatus::Found);
        FOptions.RemoveProgramData = true;
    }

    void RunAllSteps(TUninstallProcedure& procedure) {
        for (int step = 1; step <= 3; ++step)
            procedure.RunUninstallStep(step);
    }

    // What stays when the demo is gone: the profile before the installation.
    QSet<QString> Expected(bool keepData) const {
        QSet<QString> expected;
        for (const QString& entry : FInstalled) {
            const QString path = FProfile.Root() + entry;
            const bool installed = path.startsWith(FProfile.InstallDir()) ||
                                   path.endsWith("/Brenvale Demo.desktop") ||
                                   (!keepData && path.startsWith(FProfile.DataDir()));
            if (!installed) expected.insert(entry);
        }
        return expected;
    }

    TDemoProfile FProfile;
    TAppOptions FOptions;
    QSet<QString> FInstalled = FProfile.Snapshot();
};

TEST_F(UninstallProcedureTest, ThreeStepsRemoveWhatTheReportNamesAndNothingElse) {
    FInstalled = FProfile.Snapshot();
    ASSERT_TRUE(FInstalled.contains("/opt/Brenvale Demo/share/readme.txt"));
    ASSERT_TRUE(FInstalled.contains("/home/.local/share/applications/Brenvale Demo.desktop"));
    ASSERT_TRUE(FInstalled.contains("/home/Desktop/Brenvale Demo.desktop"));
    ASSERT_TRUE(KeyExists("HKCU", FProfile.Record() + "\\Settings\\Window"));

    TUninstallProcedure procedure(FOptions);
    RunAllSteps(procedure);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_EQ(FProfile.Snapshot(), Expected(false));
    EXPECT_FALSE(KeyExists("HKCU", FProfile.Record()));
    EXPECT_TRUE(KeyExists("HKCU", "Software\\BrenvaleSoftware\\Other App"));
    EXPECT_TRUE(KeyExists("HKCU", "Software\\BrenvaleSoftware"));
}

struct ShortcutCase {
    bool Menu;
    bool Desktop;
};

void PrintTo(const ShortcutCase& c, std::ostream* out) {
    *out << "menu " << c.Menu << ", desktop " << c.Desktop;
}

class ShortcutFlagTest : public UninstallProcedureTest, public testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutFlagTest, OnlyFlaggedShortcutsAreRemoved) {
    FOptions.CreateStartMenu = GetParam().Menu;
    FOptions.CreateDesktop = GetParam().Desktop;
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(1);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_EQ(QFileInfo::exists(FProfile.ApplicationsDir() + "/Brenvale Demo.desktop"), !GetParam().Menu);
    EXPECT_EQ(QFileInfo::exists(FProfile.DesktopDir() + "/Brenvale Demo.desktop"), !GetParam().Desktop);
    EXPECT_TRUE(QFileInfo::exists(FProfile.DesktopDir() + "/Brenvale Demo.txt"));
    EXPECT_TRUE(QFileInfo::exists(FProfile.InstallDir())) << "step 1 touches no folder";
}

INSTANTIATE_TEST_SUITE_P(Flags, ShortcutFlagTest,
                         testing::Values(ShortcutCase{true, false}, ShortcutCase{false, true},
                                         ShortcutCase{false, false}, ShortcutCase{true, true}));

TEST_F(UninstallProcedureTest, KeptDataFolderStays) {
    FInstalled = FProfile.Snapshot();
    FOptions.RemoveProgramData = false;
    TUninstallProcedure procedure(FOptions);
    RunAllSteps(procedure);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_EQ(FProfile.Snapshot(), Expected(true));
}

TEST_F(UninstallProcedureTest, EmptyOrMissingPathsAreSkippedWithoutFailure) {
    FOptions.InstallPath.clear();
    FOptions.AppDataPath = FProfile.Root() + "/never-made";
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(2);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_TRUE(QFileInfo::exists(FProfile.InstallDir()));
}

TEST_F(UninstallProcedureTest, AMissingInstallFolderIsAFailureButAMissingDataFolderIsNot) {
    FOptions.InstallPath = FProfile.Root() + "/never-installed";
    FOptions.AppDataPath = FProfile.Root() + "/never-made";
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(2);
    EXPECT_TRUE(procedure.UninstallFailed());
}

// Whoever looks into a failed uninstall can switch the removal's log on and read why.
TEST_F(UninstallProcedureTest, TheRemovalLogSaysWhyAStepFailedOnceItIsSwitchedOn) {
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (QLatin1String(context.category) == QLatin1String("uninstaller.remove")) logged << text;
        });
    FOptions.InstallPath = FProfile.Root() + "/never-installed";
    TUninstallProcedure quiet(FOptions);
    quiet.RunUninstallStep(2);
    EXPECT_TRUE(logged.isEmpty()) << "quiet by default";

    QLoggingCategory::setFilterRules(QStringLiteral("uninstaller.remove.info=true"));
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(2);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_TRUE(logged.join('\n').contains("the install folder does not exist: " + FOptions.InstallPath))
        << logged.join('\n').toStdString();
}

TEST_F(UninstallProcedureTest, EmptyRecordDeletesNothingInTheRegistry) {
    FOptions.RegistryRecord = "\\\\";
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(3);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_TRUE(KeyExists("HKCU", FProfile.Record()));
}

TEST_F(UninstallProcedureTest, RecordUnderLocalMachineIsDeletedThere) {
    TWinRegistry registry;
    ASSERT_TRUE(registry.CreateKey("HKLM\\Software\\Demo\\Sub"));
    ASSERT_TRUE(registry.CreateKey("HKCU\\Software\\Demo"));
    FOptions.RegistryHIVE = "HKLM";
    FOptions.RegistryRecord = "Software\\Demo";
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(3);
    EXPECT_FALSE(procedure.UninstallFailed());
    EXPECT_FALSE(KeyExists("HKLM", "Software\\Demo"));
    EXPECT_TRUE(KeyExists("HKCU", "Software\\Demo"));
}

TEST_F(UninstallProcedureTest, LowerCaseHiveNameFallsBackToCurrentUser) {
    TWinRegistry registry;
    ASSERT_TRUE(registry.CreateKey("HKLM\\Software\\BrenvaleSoftware\\Brenvale Demo"));
    FOptions.RegistryHIVE = "hklm";
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(3);
    EXPECT_FALSE(KeyExists("HKCU", FProfile.Record()));
    EXPECT_TRUE(KeyExists("HKLM", FProfile.Record()));
}

TEST_F(UninstallProcedureTest, RecordThatStaysIsAFailure) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to read-only files";
    const QString registryRoot = FProfile.Root() + "/registry";
    for (const QString& name : QDir(registryRoot).entryList(QDir::Files))
        ASSERT_EQ(chmod(QFile::encodeName(registryRoot + "/" + name).constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(registryRoot).constData(), 0555), 0);
    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(3);
    chmod(QFile::encodeName(registryRoot).constData(), 0755);
    EXPECT_TRUE(procedure.UninstallFailed());
    EXPECT_TRUE(KeyExists("HKCU", FProfile.Record()));
}

struct DangerCase {
    const char* Field;
    const char* Value; // "~" stands for the profile's home folder
};

void PrintTo(const DangerCase& c, std::ostream* out) {
    *out << c.Field << " = " << c.Value;
}

class DangerousReportTest : public UninstallProcedureTest, public testing::WithParamInterface<DangerCase> {};

TEST_P(DangerousReportTest, RefusedReportRemovesNothing) {
    QString value = QString::fromUtf8(GetParam().Value);
    value.replace("~", FProfile.Home());
    const QString field = QString::fromLatin1(GetParam().Field);
    if (field == "InstallPath")
        FOptions.InstallPath = value;
    else if (field == "AppDataPath")
        FOptions.AppDataPath = value;
    else if (field == "RegistryRecord")
        FOptions.RegistryRecord = value;
    else
        FOptions.AppName = value;
    FInstalled = FProfile.Snapshot();

    TUninstallProcedure procedure(FOptions);
    procedure.RunUninstallStep(1);
    EXPECT_TRUE(procedure.UninstallFailed());
    procedure.RunUninstallStep(2);
    procedure.RunUninstallStep(3);
    EXPECT_FALSE(procedure.Refusal().isEmpty());
    EXPECT_EQ(FProfile.Snapshot(), FInstalled);
    EXPECT_TRUE(KeyExists("HKCU", FProfile.Record()));
}

INSTANTIATE_TEST_SUITE_P(Reports, DangerousReportTest,
                         testing::Values(DangerCase{"InstallPath", "~"}, DangerCase{"InstallPath", "~/"},
                                         DangerCase{"AppDataPath", "~/.local/share"},
                                         DangerCase{"AppDataPath", "~/Desktop"},
                                         DangerCase{"InstallPath", "opt/Brenvale Demo"},
                                         DangerCase{"RegistryRecord", "Software"},
                                         DangerCase{"RegistryRecord", "\\Software\\\\"},
                                         DangerCase{"AppName", "../Desktop/Brenvale Demo"}));

TEST_F(UninstallProcedureTest, RunningCopyIsFoundByItsExactName) {
    // A name of this test's own, so no other test's copy can be found instead.
    const QString name = QStringLiteral("demo-run-%1").arg(getpid());
    FOptions.ExeLocation = FProfile.InstallDir() + "/" + name;
    ASSERT_TRUE(QFile::copy(FProfile.InstallDir() + "/brenvale-demo", FOptions.ExeLocation));
    TUninstallProcedure procedure(FOptions);
    EXPECT_FALSE(procedure.FindRunningProcess());

    QProcess running;
    running.start(FOptions.ExeLocation, {"60"});
    ASSERT_TRUE(running.waitForStarted());
    ASSERT_TRUE(procedure.FindRunningProcess());
    EXPECT_EQ(procedure.FoundProcess().Module, name);
    ASSERT_EQ(procedure.FoundProcess().PID, quint32(running.processId()));

    TAppOptions otherCase = FOptions;
    otherCase.ExeLocation = FProfile.InstallDir() + "/" + name.toUpper();
    ASSERT_TRUE(QFile::copy(FOptions.ExeLocation, otherCase.ExeLocation));
    TUninstallProcedure caseSensitive(otherCase);
    EXPECT_FALSE(caseSensitive.FindRunningProcess());

    procedure.FoundProcess().KillProcess();
    EXPECT_TRUE(running.waitForFinished(10000));
    EXPECT_FALSE(procedure.FindRunningProcess());
}

// An application whose executable is a script: the process runs an interpreter,
// and only its command line names the report's executable.
struct ScriptCase {
    const char* Interpreter; // empty: the script starts by its "#!" line
    const char* FileName;
    const char* Script; // touches the file named by its first argument, then waits for input
};

void PrintTo(const ScriptCase& c, std::ostream* out) {
    *out << (*c.Interpreter ? c.Interpreter : "#!") << " " << c.FileName;
}

class ScriptCopyTest : public UninstallProcedureTest, public testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptCopyTest, ACopyStartedThroughAnInterpreterIsFound) {
    QString interpreter = QString::fromLatin1(GetParam().Interpreter);
    if (!interpreter.isEmpty()) {
        interpreter = QStandardPaths::findExecutable(interpreter);
        if (interpreter.isEmpty()) GTEST_SKIP() << GetParam().Interpreter << " is not installed";
    }
    FOptions.ExeLocation = FProfile.InstallDir() + "/" + GetParam().FileName;
    TDemoProfile::WriteFile(FOptions.ExeLocation, GetParam().Script);
    ASSERT_TRUE(
        QFile::setPermissions(FOptions.ExeLocation, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString started = FProfile.Root() + "/started";

    QProcess running;
    // Started from the installation folder with a relative script path, the way
    // a launcher often does it.
    running.setWorkingDirectory(FProfile.InstallDir());
    if (interpreter.isEmpty())
        running.start(FOptions.ExeLocation, {started});
    else
        running.start(interpreter, {QString::fromLatin1(GetParam().FileName), started});
    ASSERT_TRUE(running.waitForStarted());
    // The script itself marks when it runs, past any wrapper an interpreter
    // starts through.
    while (!QFileInfo::exists(started) && running.state() == QProcess::Running)
        running.waitForReadyRead(100);
    ASSERT_TRUE(QFileInfo::exists(started)) << running.readAllStandardError().constData();

    TUninstallProcedure procedure(FOptions);
    ASSERT_TRUE(procedure.FindRunningProcess());
    EXPECT_EQ(procedure.FoundProcess().PID, quint32(running.processId()));
    procedure.FoundProcess().KillProcess();
    EXPECT_TRUE(running.waitForFinished(10000));
    EXPECT_FALSE(procedure.FindRunningProcess());
}

INSTANTIATE_TEST_SUITE_P(
    Interpreters, ScriptCopyTest,
    testing::Values(ScriptCase{"", "demo-launcher", "#!/bin/sh\ntouch \"$1\"\nread line\n"},
                    ScriptCase{"sh", "demo-launcher.sh", "touch \"$1\"\nread line\n"},
                    ScriptCase{
                        "python3", "demo-app.py",
                        "import pathlib, sys\npathlib.Path(sys.argv[1]).touch()\nsys.stdin.read()\n"}));

TEST_F(UninstallProcedureTest, AProgramThatMerelyOpensTheScriptIsNoCopy) {
    FOptions.ExeLocation = FProfile.InstallDir() + "/demo-launcher";
    TDemoProfile::WriteFile(FOptions.ExeLocation, "#!/bin/sh\n");
    QProcess reader;
    // The script is the second file argument, as an editor or pager holds it.
    reader.start("/bin/sh", {"-c", "read line", "sh", "/dev/null", FOptions.ExeLocation});
    ASSERT_TRUE(reader.waitForStarted());
    TUninstallProcedure procedure(FOptions);
    EXPECT_FALSE(procedure.FindRunningProcess());
    reader.kill();
    reader.waitForFinished();
}

TEST_F(UninstallProcedureTest, NoExecutableNoRunningCopy) {
    FOptions.ExeLocation.clear();
    TUninstallProcedure procedure(FOptions);
    EXPECT_FALSE(procedure.FindRunningProcess());
}

} // namespace
