#include "CommandLine.h"
#include "AppTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CommandLineTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"photo.png", "png", "a.png"})
            QFile(Dir.filePath(name)).open(QIODevice::WriteOnly);
        QDir::setCurrent(Dir.path());
    }
    QTemporaryDir Dir;
};

TEST_F(CommandLineTest, SwitchesSetFormatsAndFilesAreCollected) {
    const TCommandLine line = ParseCommandLine({"/from", "jpg", "/to", "wav", "photo.png"});
    EXPECT_EQ(line.From, FormatTag::JPEG);
    EXPECT_EQ(line.To, FormatTag::WAVE);
    EXPECT_EQ(line.Files, QStringList{Dir.filePath("photo.png")});
    EXPECT_FALSE(line.ConvertNow);
    EXPECT_FALSE(line.Help);
}

TEST_F(CommandLineTest, TheFirstCharacterIsNeverExamined) {
    for (const char* p : {"/help", "-help", "+help", "xhelp"})
        EXPECT_TRUE(ParseCommandLine({p}).Help) << p;
    EXPECT_FALSE(ParseCommandLine({"help"}).Help);
    EXPECT_FALSE(ParseCommandLine({"/Help"}).Help);
}

struct WordCase {
    const char* Option;
    const char* Word; // nullptr: the option is the last parameter
    FormatTag Format; // Unknown: a usage error
};

class FormatWordTest : public CommandLineTest, public testing::WithParamInterface<WordCase> {};

TEST_P(FormatWordTest, AWordThatNamesNoFormatIsAUsageErrorListingTheValidWords) {
    const WordCase& c = GetParam();
    QStringList parameters{c.Option};
    if (c.Word) parameters << c.Word;
    const TCommandLine line = ParseCommandLine(parameters);
    EXPECT_EQ(QString(c.Option) == "/to" ? line.To : line.From, c.Format);
    if (c.Format == FormatTag::Unknown) {
        EXPECT_TRUE(line.UsageError.contains("png, bmp")) << line.UsageError.toStdString();
        EXPECT_TRUE(line.UsageError.contains("img-base")) << line.UsageError.toStdString();
    } else {
        EXPECT_EQ(line.UsageError, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, FormatWordTest,
    testing::Values(WordCase{"/to", "foo", FormatTag::Unknown}, WordCase{"/to", "WAVE", FormatTag::Unknown},
                    WordCase{"/to", nullptr, FormatTag::Unknown}, WordCase{"/to", "", FormatTag::Unknown},
                    WordCase{"/to", "auto", FormatTag::Unknown}, WordCase{"/from", "bin", FormatTag::Unknown},
                    WordCase{"/to", "wav", FormatTag::WAVE}, WordCase{"/to", ".JPG", FormatTag::JPEG},
                    WordCase{"/to", "img-base", FormatTag::IMGBASE},
                    WordCase{"/to", "IMG-BASE", FormatTag::IMGBASE},
                    WordCase{"/from", "IMG-BASE", FormatTag::IMGBASE},
                    WordCase{"/from", "auto", FormatTag::AUTO}, WordCase{"/to", "b64", FormatTag::BASE64}));

TEST_F(CommandLineTest, ASwitchValueIsAlsoExaminedAsAFile) {
    // "png" is both the format word and a file in the current folder.
    const TCommandLine line = ParseCommandLine({"/from", "png", "a.png", "a.png", "missing.png"});
    EXPECT_EQ(line.From, FormatTag::PNG);
    EXPECT_EQ(line.Files, (QStringList{Dir.filePath("png"), Dir.filePath("a.png"), Dir.filePath("a.png")}));
}

TEST_F(CommandLineTest, DirectoriesAndModesAreRemembered) {
    const TCommandLine line =
        ParseCommandLine({"/directory", "/out", "/convertnow", "-background", "/directory"});
    EXPECT_EQ(line.Directories, (QStringList{"/out", ""}));
    EXPECT_TRUE(line.ConvertNow);
    EXPECT_TRUE(line.Background);
}

struct SpellingCase {
    const char* Name;
    QStringList Parameters;
};

class SpellingTest : public CommandLineTest, public testing::WithParamInterface<SpellingCase> {};

// Every spelling means (a file "png" exists, so the format word is written "PNG"): from PNG, to JPEG, into
// /out, convert now in the background, a.png.
TEST_P(SpellingTest, LongAndSlashSpellingsMeanTheSame) {
    const TCommandLine line = ParseCommandLine(GetParam().Parameters);
    EXPECT_EQ(line.From, FormatTag::PNG);
    EXPECT_EQ(line.To, FormatTag::JPEG);
    EXPECT_EQ(line.Directories, QStringList{"/out"});
    EXPECT_TRUE(line.BackgroundRun());
    EXPECT_EQ(line.Files, QStringList{Dir.filePath("a.png")});
    EXPECT_EQ(line.NotFound, QStringList());
    EXPECT_EQ(line.UnknownSwitches, QStringList());
    EXPECT_EQ(line.UsageError, "");
}

INSTANTIATE_TEST_SUITE_P(Spellings, SpellingTest,
                         testing::Values(SpellingCase{"Slash",
                                                      {"/from", "PNG", "/to", "jpeg", "/directory", "/out",
                                                       "/convertnow", "/background", "a.png"}},
                                         SpellingCase{"DoubleDash",
                                                      {"--from", "PNG", "--to", "jpeg", "--directory", "/out",
                                                       "--convertnow", "--background", "a.png"}},
                                         SpellingCase{"EqualsSign",
                                                      {"--from=png", "--to=jpeg", "--directory=/out",
                                                       "--convertnow", "--background", "a.png"}},
                                         SpellingCase{"Mixed",
                                                      {"a.png", "-background", "--to=jpeg", "+from", "PNG",
                                                       "--directory", "/out", "xconvertnow"}},
                                         SpellingCase{"FilesAfterTheEnd",
                                                      {"--from=png", "--to=jpeg", "--directory=/out",
                                                       "--convertnow", "--background", "--", "a.png"}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandLineTest, HelpToTheTerminalOnlyForTheUsualSpellings) {
    for (const char* p : {"--help", "-h"}) {
        const TCommandLine line = ParseCommandLine({p});
        EXPECT_TRUE(line.Help && line.HelpAndEnd) << p;
    }
    for (const char* p : {"/help", "-help"}) {
        const TCommandLine line = ParseCommandLine({p});
        EXPECT_TRUE(line.Help && !line.HelpAndEnd) << p;
    }
    EXPECT_FALSE(ParseCommandLine({"/h"}).Help);
}

TEST_F(CommandLineTest, WhatIsNeitherSwitchNorFileIsKeptApart) {
    QFile(Dir.filePath("-x.png")).open(QIODevice::WriteOnly);
    const TCommandLine line = ParseCommandLine({"/to", "jpeg", "/tmp/does/not/exist.png", "--frobnicate",
                                                "-x", "gone.png", "-x.png", "--", "--to", "-y"});
    EXPECT_EQ(line.To, FormatTag::JPEG);
    EXPECT_EQ(line.Files, QStringList{Dir.filePath("-x.png")});
    EXPECT_EQ(line.UnknownSwitches, (QStringList{"--frobnicate", "-x"}));
    // After "--", names that look like switches are file names.
    EXPECT_EQ(line.NotFound, (QStringList{"/tmp/does/not/exist.png", "gone.png", "--to", "-y"}));
}

TEST_F(CommandLineTest, AValueOnlyWhereASwitchTakesOne) {
    EXPECT_TRUE(ParseCommandLine({"--convertnow=1"}).UsageError.contains("--convertnow takes no value"));
    EXPECT_TRUE(ParseCommandLine({"--to=wave"}).UsageError.contains("\"wave\" after --to names no format"));
    EXPECT_EQ(ParseCommandLine({"--directory="}).Directories, QStringList{""});
    // A switch value is a value even when it looks like the end of the switches.
    const TCommandLine line = ParseCommandLine({"--directory", "--", "a.png"});
    EXPECT_EQ(line.Directories, QStringList{"--"});
    EXPECT_EQ(line.Files, QStringList{Dir.filePath("a.png")});
}

TEST(HelpText, LinesJoinedByCarriageReturnAlone) {
    const QString text = HelpText();
    EXPECT_TRUE(text.startsWith("Parameters you can use\r==========\r/help - shows this dialog\r"));
    EXPECT_TRUE(text.endsWith("\rfilename - File to convert"));
    EXPECT_FALSE(text.contains('\n'));
    EXPECT_EQ(text.count('\r'), 8);
}

} // namespace
