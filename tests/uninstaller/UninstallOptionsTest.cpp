#include "UninstallOptions.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct OptionCase {
    std::vector<const char*> Arguments;
    TRunMode RunMode;
    bool ShowHelp;
    bool CloseAfterFinish;
    bool KeepAppData;
    bool DeleteSelfOnClose;
};

void PrintTo(const OptionCase& c, std::ostream* out) {
    for (const char* argument : c.Arguments)
        *out << argument << ' ';
}

class ParseOptionsTest : public testing::TestWithParam<OptionCase> {};

TEST_P(ParseOptionsTest, AppliesOptionsInOrderWithExactCase) {
    QStringList arguments;
    for (const char* argument : GetParam().Arguments)
        arguments << QString::fromUtf8(argument);
    const TUninstallOptions options = ParseOptions(arguments);
    const QString shown = arguments.join(' ');
    EXPECT_EQ(options.RunMode, GetParam().RunMode) << shown.toStdString();
    EXPECT_EQ(options.ShowHelp, GetParam().ShowHelp) << shown.toStdString();
    EXPECT_EQ(options.CloseAfterFinish, GetParam().CloseAfterFinish) << shown.toStdString();
    EXPECT_EQ(options.KeepAppData, GetParam().KeepAppData) << shown.toStdString();
    EXPECT_EQ(options.DeleteSelfOnClose, GetParam().DeleteSelfOnClose) << shown.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, ParseOptionsTest,
    testing::Values(
        OptionCase{{}, TRunMode::None, false, false, false, false},
        OptionCase{{"-silent"}, TRunMode::Silent, false, false, false, false},
        OptionCase{{"-SILENT"}, TRunMode::None, false, false, false, false},
        OptionCase{{"/silent"}, TRunMode::None, false, false, false, false},
        OptionCase{{"-start"}, TRunMode::Normal, false, false, false, false},
        OptionCase{{"-start", "-silent"}, TRunMode::Silent, false, false, false, false},
        OptionCase{{"-silent", "-start"}, TRunMode::Normal, false, false, false, false},
        OptionCase{{"-closeafterfinish", "-keepappdata", "-ad"}, TRunMode::None, false, true, true, true},
        OptionCase{{"-alluser", "-force", "-ad", "-r", "/x/InstallReport.ini", "-silent"},
                   TRunMode::Silent,
                   false,
                   false,
                   false,
                   true},
        OptionCase{{"-r", "-silent"}, TRunMode::None, false, false, false, false},
        OptionCase{{"-keepappdata", "-help", "-silent", "-ad"}, TRunMode::None, true, false, true, false},
        OptionCase{{"unknown", "--silent", "-Help"}, TRunMode::None, false, false, false, false}));

TEST(HelpTextTest, LinesEndInCarriageReturns) {
    const QStringList lines = HelpText.split(u'\r');
    const QStringList expected{
        "Avalabile Parameters:",
        "",
        "------------------------",
        "-help -> Shows this information",
        "-silent -> Installs the program in the background with no GUI",
        "-start -> Starts the instalation process after opening the program",
        "-closeafterfinish -> Close the installer after the installation is finnished",
        "-keepappdata -> Set the install path",
        "-ad -> Auto-delete installer when closed",
        "-r <filename> -> Load installer report",
        "",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(HelpText.contains(u'\n'));
}

} // namespace
