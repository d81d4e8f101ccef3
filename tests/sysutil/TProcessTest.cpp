#include "TProcess.h"

#include "ArgumentsApplication.h"
#include "QtPrinters.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class TProcessTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ArgumentsApplication::Start(); }
};

std::optional<TProcess> Find(qint64 pid) {
    for (const TProcess& process : ListProcesses())
        if (process.PID == quint64(pid)) return process;
    return std::nullopt;
}

TEST_F(TProcessTest, ListsAChildAndAsksItToEnd) {
    QProcess child;
    child.start("sleep", {"30"});
    ASSERT_TRUE(child.waitForStarted());
    const auto process = Find(child.processId());
    ASSERT_TRUE(process.has_value());
    EXPECT_EQ(process->Module, "sleep");
    EXPECT_TRUE(process->FileName.endsWith("/sleep"));
    EXPECT_TRUE(process->Command.endsWith("sleep 30"));
    EXPECT_EQ(process->ParentPID, quint32(::getpid()));
    EXPECT_EQ(process->Modules, 0u);
    process->KillProcess();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

TEST_F(TProcessTest, KillProcessOfAnEmptyRecordSignalsNobody) {
    TProcess nobody;
    nobody.KillProcess();
    SUCCEED();
}

TEST_F(TProcessTest, GetIconNeedsAnExistingFile) {
    TProcess process;
    EXPECT_TRUE(process.GetIcon().isNull());
    process.FileName = "/nonexistent/program";
    EXPECT_TRUE(process.GetIcon().isNull());
    process.FileName = "/bin/sh";
    EXPECT_FALSE(process.GetIcon().isNull());
}

} // namespace
