#include "ChildProcess.h"

#include <QTemporaryDir>
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

ChildProcessResult Shell(const QString& script, ChildProcessOptions::Stream output = ChildProcessOptions::Stream::Capture,
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

TEST(ChildProcessTest, AGrandchildHoldingThePipeIsNotWaitedFor) {
    // The background sleep keeps the pipe open; the capture ends with its parent.
    const ChildProcessResult result = Shell("sleep 1 & echo done");
    EXPECT_EQ(result.Output, "done\n");
}

} // namespace
