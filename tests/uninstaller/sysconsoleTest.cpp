#include "sysconsole.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <unistd.h>

namespace {

struct InterpreterCase {
    const char* Path;
    bool Expected;
};

void PrintTo(const InterpreterCase& c, std::ostream* out) {
    *out << '"' << c.Path << '"';
}

class InterpreterTest : public testing::TestWithParam<InterpreterCase> {};

TEST_P(InterpreterTest, RecognisesListedShellsAndPwsh) {
    const QStringList shells{"/bin/sh", "/usr/bin/bash", "/usr/bin/zsh"};
    EXPECT_EQ(sysconsole::IsInterpreter(QString::fromUtf8(GetParam().Path), shells), GetParam().Expected)
        << GetParam().Path;
}

INSTANTIATE_TEST_SUITE_P(
    Names, InterpreterTest,
    testing::Values(InterpreterCase{"/usr/bin/bash", true}, InterpreterCase{"/bin/bash", true},
                    InterpreterCase{"/USR/BIN/BASH", true}, InterpreterCase{"/usr/bin/zsh", true},
                    InterpreterCase{"/usr/bin/bash (deleted)", true},
                    InterpreterCase{"/opt/microsoft/powershell/7/pwsh", true},
                    InterpreterCase{"/usr/bin/python3", false}, InterpreterCase{"/usr/bin/bashful", false},
                    InterpreterCase{"/usr/bin/gnome-shell", false}, InterpreterCase{"", false}));

TEST(sysconsoleTest, ShLinkCountsAsTheShellItNames) {
    char target[PATH_MAX];
    const ssize_t size = readlink("/bin/sh", target, sizeof target - 1);
    if (size <= 0) GTEST_SKIP() << "/bin/sh is no link here";
    target[size] = 0;
    const QString named = QString::fromLocal8Bit(target);
    const QString name = named.mid(named.lastIndexOf('/') + 1);
    EXPECT_TRUE(sysconsole::IsInterpreter("/usr/bin/" + name, {"/bin/sh"}));
}

TEST(sysconsoleTest, ParentProcessNameComesFromProc) {
    char target[PATH_MAX];
    const QByteArray link = QStringLiteral("/proc/%1/exe").arg(getppid()).toLocal8Bit();
    const ssize_t size = readlink(link.constData(), target, sizeof target - 1);
    if (size <= 0) GTEST_SKIP() << "the parent cannot be read";
    target[size] = 0;
    EXPECT_EQ(sysconsole::GetParentProcessName(), QString::fromLocal8Bit(target));
}

TEST(sysconsoleTest, SecondConnectAnswersFalseAndOutputStillFlows) {
    sysconsole::Disconnect();
    EXPECT_TRUE(sysconsole::Connect(true));
    EXPECT_FALSE(sysconsole::Connect(true));
    EXPECT_FALSE(sysconsole::Connect(false));
    testing::internal::CaptureStdout();
    sysconsole::QuickOutput("(!) line one");
    sysconsole::QuickOutput("");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "(!) line one\n\n");
    sysconsole::Disconnect();
}

TEST(sysconsoleTest, NothingIsWrittenWithoutAnInterpreter) {
    sysconsole::Disconnect();
    if (sysconsole::ConsoleCalled()) GTEST_SKIP() << "these tests run from a shell";
    testing::internal::CaptureStdout();
    sysconsole::QuickOutput("hidden");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
