#include "CommandLine.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* Line;
    QStringList Expected;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, FollowsTheQuotingRules) {
    EXPECT_EQ(SplitCommandLine(QString::fromUtf8(GetParam().Line)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLineTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   \t ", {}}, SplitCase{"a b  c", {"a", "b", "c"}},
                      SplitCase{R"(-r "C:\My Files\InstallReport.ini" -start)",
                                {"-r", R"(C:\My Files\InstallReport.ini)", "-start"}},
                      SplitCase{R"(a"b c"d)", {"ab cd"}}, SplitCase{R"("" x)", {"", "x"}},
                      SplitCase{R"(say \"hi\")", {"say", "\"hi\""}}, SplitCase{R"("a\\" b)", {"a\\", "b"}},
                      SplitCase{R"(a\\\"b)", {"a\\\"b"}}, SplitCase{R"(path\to\x)", {"path\\to\\x"}},
                      SplitCase{R"(/c "timeout /t 3 && del "x"")", {"/c", "timeout /t 3 && del x"}},
                      SplitCase{"\"unterminated arg", {"unterminated arg"}}));

class QuoteArgumentTest : public ::testing::TestWithParam<QStringList> {};

TEST_P(QuoteArgumentTest, JoinedArgumentsSplitBackUnchanged) {
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Arguments, QuoteArgumentTest,
                         ::testing::Values(QStringList{"plain", "-x"}, QStringList{"with space", "tab\there"},
                                           QStringList{"", "after empty"}, QStringList{"quote\"inside"},
                                           QStringList{"trailing backslash\\", "x"},
                                           QStringList{"C:\\My Files\\", "\\\\server\\share"},
                                           QStringList{"\\\"", "\"\"", "ümlaut ß"}));

TEST(QuoteArgumentTest, OnlyArgumentsThatNeedItAreQuoted) {
    EXPECT_EQ(QuoteArgument("-start"), "-start");
    EXPECT_EQ(QuoteArgument("C:\\My Files\\InstallReport.ini"), "\"C:\\My Files\\InstallReport.ini\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(JoinCommandLine({"-r", "/home/me/My Files/InstallReport.ini", "-start"}),
              "-r \"/home/me/My Files/InstallReport.ini\" -start");
}

} // namespace
