#include "ChildProcess.h"

#include "QtPrinters.h"
#include <QTemporaryDir>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ChildProcessResult Shell(const QString& script,
                         ChildProcessOptions::Stream output = ChildProcessOptions::Stream::Capture,
                         ChildProcessOptions::Stream errors = ChildProcessOptions::Stream::Capture) {
    ChildProcessOptions options;
    options.Program = "sh";
    options.Arguments = {"-c", script};
    options.Output = output;
    options.Errors = errors;
    return RunChildProcess(options);
}

TEST(ChildProcessTest, CapturesMegabytesWhileTheChildRuns) {
    const ChildProcessResult result = Shell("head -c 6000000 /dev/zero");
    EXPECT_TRUE(result.Started);
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Output.size(), 6000000);
}

class BlockMultipleTest : public ::testing::TestWithParam<int> {};

// Output that fills whole read blocks exactly must still end the capture.
TEST_P(BlockMultipleTest, OutputOfExactBlockSizesEnds) {
    const ChildProcessResult result = Shell(QStringLiteral("head -c %1 /dev/zero").arg(GetParam()));
    EXPECT_EQ(result.Output.size(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlockMultipleTest, ::testing::Values(0, 2400, 4800, 65536, 131072));

TEST(ChildProcessTest, ReportsExitStatusAndSignals) {
    EXPECT_EQ(Shell("exit 3").ExitCode, 3);
    EXPECT_EQ(Shell("kill -TERM $$").ExitCode, 128 + 15);
}

TEST(ChildProcessTest, AProgramThatDoesNotExistDoesNotStart) {
    ChildProcessOptions options;
    options.Program = "/nonexistent/program";
    const ChildProcessResult result = RunChildProcess(options);
    EXPECT_FALSE(result.Started);
    EXPECT_EQ(result.ExitCode, -1);
    options.Program = "no-such-program-anywhere-on-path";
    EXPECT_FALSE(RunChildProcess(options).Started);
}

TEST(ChildProcessTest, ErrorsAreCapturedOrDiscarded) {
    EXPECT_EQ(Shell("echo out; echo err 1>&2").Output, "out\nerr\n");
    EXPECT_EQ(Shell("echo out; echo err 1>&2", ChildProcessOptions::Stream::Capture,
                    ChildProcessOptions::Stream::Discard)
                  .Output,
              "out\n");
    EXPECT_EQ(Shell("head -c 3000000 /dev/zero", ChildProcessOptions::Stream::Discard,
                    ChildProcessOptions::Stream::Discard)
                  .ExitCode,
              0);
}

TEST(ChildProcessTest, RunsInTheWorkingDirectory) {
    QTemporaryDir folder;
    ChildProcessOptions options;
    options.Program = "pwd";
    options.WorkingDirectory = folder.path();
    options.Output = ChildProcessOptions::Stream::Capture;
    EXPECT_EQ(RunChildProcess(options).Output.trimmed(), folder.path().toUtf8());
}

TEST(ChildProcessTest, ThePumpRunsWhileTheChildRuns) {
    ChildProcessOptions options;
    options.Program = "sleep";
    options.Arguments = {"0.35"};
    int pumped = 0;
    options.WhileWaiting = [&] { ++pumped; };
    EXPECT_EQ(RunChildProcess(options).ExitCode, 0);
    EXPECT_GE(pumped, 1);
}

TEST(ChildProcessTest, AStopRequestKillsTheChildAndEndsTheWait) {
    for (const auto lifetime :
         {ChildProcessOptions::Lifetime::Independent, ChildProcessOptions::Lifetime::EndsWithThisProcess}) {
        ChildProcessOptions options;
        options.Program = "sleep";
        options.Arguments = {"600"};
        options.ChildLifetime = lifetime;
        int asked = 0;
        // The child has surely started by the second question.
        options.StopWhen = [&] { return ++asked >= 2; };
        const ChildProcessResult result = RunChildProcess(options);
        EXPECT_TRUE(result.Started);
        EXPECT_TRUE(result.Stopped);
        EXPECT_EQ(result.ExitCode, 128 + SIGKILL);
    }
    ChildProcessOptions finishing;
    finishing.Program = "true";
    finishing.StopWhen = [] { return false; };
    const ChildProcessResult result = RunChildProcess(finishing);
    EXPECT_FALSE(result.Stopped);
    EXPECT_EQ(result.ExitCode, 0);
}

TEST(ChildProcessTest, AGrandchildHoldingThePipeIsNotWaitedFor) {
    // The background sleep keeps the pipe open; the capture ends with its parent.
    const ChildProcessResult result = Shell("sleep 1 & echo done");
    EXPECT_EQ(result.Output, "done\n");
}

// Waits for a condition another process brings about; false when it does not
// come within the limit.
template <typename Condition> bool Eventually(Condition condition, int limitMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) return false;
        QThread::msleep(20);
    }
    return true;
}

struct LifetimeCase {
    const char* Name;
    ChildProcessOptions::Stream Output;
};

class ChildLifetimeTest : public testing::TestWithParam<LifetimeCase> {};

// A converter killed by SIGKILL runs no clean-up; its tools must end with it
// rather than go on writing.
TEST_P(ChildLifetimeTest, AToolTiedToThisProcessEndsWhenThisProcessIsKilled) {
    // Orphans come back to this process, so the tool's end can be waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("tool.pid");
    const pid_t converter = fork();
    ASSERT_GE(converter, 0);
    if (converter == 0) {
        ChildProcessOptions options;
        options.Program = "/bin/sh";
        options.Arguments = {"-c", "echo $$ > \"$0.part\" && mv \"$0.part\" \"$0\" && exec sleep 600",
                             pidFile};
        options.Output = GetParam().Output;
        options.ChildLifetime = ChildProcessOptions::Lifetime::EndsWithThisProcess;
        RunChildProcess(options);
        _exit(0);
    }
    ASSERT_TRUE(Eventually([&] { return QFile::exists(pidFile); }));
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t tool = pid_t(file.readAll().trimmed().toInt());
    ASSERT_GT(tool, 0);

    kill(converter, SIGKILL);
    waitpid(converter, nullptr, 0);
    const bool ended = Eventually([&] { return waitpid(tool, nullptr, WNOHANG) == tool; });
    if (!ended) {
        kill(tool, SIGKILL);
        waitpid(tool, nullptr, 0);
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_TRUE(ended);
}

INSTANTIATE_TEST_SUITE_P(Streams, ChildLifetimeTest,
                         testing::Values(LifetimeCase{"Discarded", ChildProcessOptions::Stream::Discard},
                                         LifetimeCase{"Captured", ChildProcessOptions::Stream::Capture}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ChildProcessTest, ATiedChildReportsItsStatusAndAMissingProgram) {
    ChildProcessOptions options;
    options.Program = "sh";
    options.Arguments = {"-c", "echo out; echo err >&2; exit 3"};
    options.Output = ChildProcessOptions::Stream::Capture;
    options.Errors = ChildProcessOptions::Stream::Discard;
    options.ChildLifetime = ChildProcessOptions::Lifetime::EndsWithThisProcess;
    const ChildProcessResult result = RunChildProcess(options);
    EXPECT_TRUE(result.Started);
    EXPECT_EQ(result.ExitCode, 3);
    EXPECT_EQ(result.Output, "out\n");

    options.Program = "/nonexistent/tool";
    EXPECT_FALSE(RunChildProcess(options).Started);
    options.Program = "no-such-tool-anywhere";
    EXPECT_FALSE(RunChildProcess(options).Started);
}

} // namespace
