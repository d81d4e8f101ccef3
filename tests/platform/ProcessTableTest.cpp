#include "ProcessTable.h"
#include "ProcessSignal.h"

#include "QtPrinters.h"
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

std::optional<ProcessEntry> Find(quint32 pid) {
    for (const ProcessEntry& entry : SnapshotProcesses())
        if (entry.Pid == pid) return entry;
    return std::nullopt;
}

TEST(ProcessTableTest, SnapshotShowsAChildWithItsDetails) {
    QProcess child;
    child.start("sleep", {"30"});
    ASSERT_TRUE(child.waitForStarted());
    const auto entry = Find(quint32(child.processId()));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->Name, "sleep");
    EXPECT_TRUE(entry->ExecutablePath.endsWith("/sleep"));
    EXPECT_EQ(entry->ParentPid, quint32(::getpid()));
    EXPECT_EQ(entry->Arguments.size(), 2);
    EXPECT_EQ(entry->Arguments.value(1), "30");
    EXPECT_GE(entry->Threads, 1u);
    EXPECT_TRUE(RequestTermination(quint32(child.processId())));
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

TEST(ProcessTableTest, SnapshotIsInAscendingOrderAndHoldsThisProcess) {
    const QList<ProcessEntry> processes = SnapshotProcesses();
    ASSERT_FALSE(processes.isEmpty());
    for (qsizetype i = 1; i < processes.size(); ++i)
        EXPECT_LT(processes[i - 1].Pid, processes[i].Pid);
    const ProcessEntry self = ReadProcess(quint32(::getpid()));
    EXPECT_EQ(self.Name, "platform_process_tests");
}

TEST(ProcessTableTest, NamesWithBlanksAndParenthesesAreRead) {
    QTemporaryDir folder;
    const QString odd = folder.path() + "/odd) (name";
    ASSERT_TRUE(QFile::copy("/bin/sleep", odd));
    QProcess child;
    child.start(odd, {"30"});
    ASSERT_TRUE(child.waitForStarted());
    const ProcessEntry entry = ReadProcess(quint32(child.processId()));
    EXPECT_EQ(entry.Name, "odd) (name");
    EXPECT_EQ(entry.ParentPid, quint32(::getpid()));
    child.kill();
    child.waitForFinished();
}

TEST(ProcessTableTest, AProcessThatIsGoneGivesAnEmptyEntry) {
    EXPECT_EQ(ReadProcess(0).Pid, 0u);
    EXPECT_EQ(ReadProcess(0x7FFFFFF0).Pid, 0u);
}

TEST(ProcessSignalTest, IdsThatWouldReachMoreThanOneProcessAreRefused) {
    EXPECT_FALSE(RequestTermination(0));
    EXPECT_FALSE(RequestTermination(0xFFFFFFFFu));
    EXPECT_FALSE(RequestTermination(0x80000000u));
}

} // namespace
