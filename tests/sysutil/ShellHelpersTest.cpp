#include "ShellHelpers.h"
#include "Eventually.h"

#include "ArgumentsApplication.h"
#include "QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ShellHelpersTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ArgumentsApplication::Start(); }
};

// A detached start is over when its file appears; nothing here measures time.
bool WaitForFile(const QString& path) {
    return Eventually([&] { return QFileInfo(path).size() > 0; });
}

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

TEST_F(ShellHelpersTest, RunPowerShellTurnsDoubleQuotesIntoApostrophes) {
    // In apostrophes the shell leaves $HOME as it is.
    EXPECT_EQ(RunPowerShell("echo \"$HOME\"", false, true, true), QStringList{"$HOME"});
}

TEST_F(ShellHelpersTest, RunPowerShellCapturesOutputAndErrorsAsLines) {
    EXPECT_EQ(RunPowerShell("printf 'one\\r\\ntwo\\n'; echo three 1>&2", false, true, true),
              (QStringList{"one", "two", "three"}));
    EXPECT_TRUE(RunPowerShell("echo hidden", false, true, false).isEmpty());
}

TEST_F(ShellHelpersTest, RunPowerShellEndsOnLargeAndExactBlockOutput) {
    const QStringList large = RunPowerShell("yes line | head -n 200000", false, true, true);
    EXPECT_EQ(large.size(), 200000);
    const QStringList exact = RunPowerShell("head -c 4800 /dev/zero | tr '\\000' a", false, true, true);
    ASSERT_EQ(exact.size(), 1);
    EXPECT_EQ(exact[0].size(), 4800);
}

TEST_F(ShellHelpersTest, RunPowerShellPumpsMessagesUnlessAskedNotTo) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    RunPowerShell("sleep 0.3", false, true, false);
    EXPECT_FALSE(fired);
    RunPowerShell("sleep 0.3", false, false, false);
    EXPECT_TRUE(fired);
}

TEST_F(ShellHelpersTest, ExecuteAndWaitReturnsTheExitStatus) {
    EXPECT_EQ(ExecuteAndWait("sh -c \"exit 4\""), 4);
    EXPECT_EQ(ExecuteAndWait("sh -c \"head -c 3000000 /dev/zero\""), 0);
    EXPECT_EQ(ExecuteAndWait("/nonexistent/tool -x"), -1);
    EXPECT_EQ(ExecuteAndWait(""), -1);
    EXPECT_EQ(ExecuteAndWait("sh", {"-c", "exit 5"}), 5);
}

TEST_F(ShellHelpersTest, LaunchProgramStartsWithParametersInTheDirectory) {
    QTemporaryDir folder;
    LaunchProgram("/bin/sh", false, "-c \"pwd > 'out file.txt'\"", false, folder.path());
    ASSERT_TRUE(WaitForFile(folder.path() + "/out file.txt"));
    EXPECT_EQ(ReadAll(folder.path() + "/out file.txt"), folder.path());
}

TEST_F(ShellHelpersTest, LaunchProgramAsAdministratorRunsDirectlyWhenAlreadyAdministrator) {
    if (!RunningAsAdministrator()) GTEST_SKIP() << "needs the consent prompt";
    QTemporaryDir folder;
    LaunchProgram("sh", true, "-c \"id -u > uid.txt\"", true, folder.path());
    ASSERT_TRUE(WaitForFile(folder.path() + "/uid.txt"));
    EXPECT_EQ(ReadAll(folder.path() + "/uid.txt"), "0");
}

TEST_F(ShellHelpersTest, LaunchingSomethingMissingDoesNothing) {
    LaunchProgram("/nonexistent/program", true, "", false, "");
    LaunchProgram("", true, "", true, "");
    ShellOpen("/nonexistent/document.txt");
    SUCCEED();
}

TEST_F(ShellHelpersTest, RunningAsAdministratorIsTheEffectiveRootUser) {
    EXPECT_EQ(RunningAsAdministrator(), ::geteuid() == 0);
}

TEST_F(ShellHelpersTest, FlashApplicationWithAWindowDoesNotDisturb) {
    QWindow window;
    window.show();
    FlashApplication();
    EXPECT_TRUE(window.isVisible());
}

TEST(TextLinesTest, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(TextLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(TextLines("a\n"), QStringList{"a"});
    EXPECT_EQ(TextLines("a\n\n"), (QStringList{"a", ""}));
    EXPECT_EQ(TextLines(""), QStringList{});
}

} // namespace
