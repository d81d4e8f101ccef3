#include "CommandParams.h"

#include "ArgumentsApplication.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ReportPath() {
    return ArgumentsApplication::ReportPath();
}

class CommandParamsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ArgumentsApplication::Start(); }
};

TEST_F(CommandParamsTest, ParamTextNormalisesOneArgument) {
    EXPECT_EQ(ParamText(1), "-r");
    EXPECT_EQ(ParamText(2), ReportPath());
    EXPECT_EQ(ParamText(3), "-silent");
    EXPECT_EQ(ParamText(4), "-Silent");
    EXPECT_EQ(ParamText(5), "");
    EXPECT_EQ(ParamText(6), "/usr");
    EXPECT_EQ(ParamText(7), "");
    EXPECT_EQ(ParamText(0), "sysutil_tests");
    EXPECT_EQ(ParamText(-1), "");
}

TEST_F(CommandParamsTest, ParamLineQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(ParamLine(), "-r \"" + ReportPath() + "\" -silent -Silent \"\" /usr");
}

struct NormaliseCase {
    const char* Argument;
    const char* Expected;
};

class NormaliseParamTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseParamTest, ALeadingSlashBecomesADashUnlessItNamesAPath) {
    EXPECT_EQ(NormaliseParam(GetParam().Argument), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, NormaliseParamTest,
    ::testing::Values(NormaliseCase{"/silent", "-silent"}, NormaliseCase{"-Silent", "-Silent"},
                      NormaliseCase{"", ""}, NormaliseCase{"/", "/"},
                      NormaliseCase{"/etc/passwd", "/etc/passwd"}, NormaliseCase{"/tmp", "/tmp"},
                      NormaliseCase{"/no/such/InstallReport.ini", "-no/such/InstallReport.ini"},
                      NormaliseCase{"//x", "-/x"}, NormaliseCase{"x/y", "x/y"}));

TEST(JoinParamsTest, JoinsWithSingleSpacesAndQuotesArgumentsWithBlanks) {
    EXPECT_EQ(JoinParams({"-r", "C:\\My Files\\InstallReport.ini", "-start"}),
              "-r \"C:\\My Files\\InstallReport.ini\" -start");
    EXPECT_EQ(JoinParams({}), "");
    EXPECT_EQ(JoinParams({"/alluser"}), "-alluser");
    // Arguments that would not survive being split again are quoted and escaped.
    EXPECT_EQ(JoinParams({"a\"b", "", "dir with blank\\"}), "\"a\\\"b\" \"\" \"dir with blank\\\\\"");
}

} // namespace
