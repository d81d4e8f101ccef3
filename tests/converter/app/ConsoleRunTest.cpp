// A background run without the window must read the stored options and choose
// the export folder exactly as the window does at start-up.
#include "ConsoleRun.h"
#include "AppTestEnvironment.h"
#include "FXCheckBox.h"
#include "FormshiftMain.h"
#include "SpecialFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct StoredCase {
    const char* Name;
    const char* Ini;
};

class StoredSettingsTest : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredSettingsTest, ReadAsTheWindowReadsThem) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data");
    QDir(dir.path()).mkpath("stored");
    const QString data = dir.filePath("data/");
    QByteArray ini = GetParam().Ini;
    ini.replace("STORED", dir.filePath("stored").toUtf8());
    {
        QFile file(data + "setings.ini");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }
    const TStoredSettings stored = ReadStoredSettings(data + "setings.ini");
    TFormshift window(data);
    const ConversionSettings& shown = window.Driver().Settings;
    const ConversionSettings& read = stored.Run;
    EXPECT_EQ(read.IgnoreComplete, shown.IgnoreComplete);
    EXPECT_EQ(read.IgnoreForErr, shown.IgnoreForErr);
    EXPECT_EQ(read.DoneConvert, shown.DoneConvert);
    EXPECT_EQ(read.UltraIcoRes, shown.UltraIcoRes);
    EXPECT_EQ(read.FixWhitePng, shown.FixWhitePng);
    EXPECT_EQ(read.SmoothSize, shown.SmoothSize);
    EXPECT_EQ(read.Lossless, shown.Lossless);
    EXPECT_EQ(read.Quality, shown.Quality);
    EXPECT_EQ(read.JpegQuality, shown.JpegQuality);
    EXPECT_EQ(stored.ReloadPath, window.findChild<FXCheckBox*>("Set_ReloadPath")->Checked());
    EXPECT_EQ(stored.ExportPathOnOpen, window.ExportPathFromOpenedFiles());

    // The window's export folder is the run's, when the command line names none.
    EXPECT_EQ(PlanBackgroundRun(TCommandLine(), stored).ExportFolder, window.Driver().ExportPath);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoredSettingsTest,
    testing::Values(
        StoredCase{"Missing", ""},
        StoredCase{"EveryOptionChanged",
                   "[Application]\nSave path=1\nLast Path=STORED\nWhen Done=3\n"
                   "[Conversion]\nIgnore Complete=1\nIgnore Format Error=0\n"
                   "[File:Icons]\nHigh Resolution=1\nPink Mask=1\nSmooth Downsize=0\n"
                   "[File:JPEG/HEIC]\nLossless Quality=0\nImage Quality=37\nJPEG Quality=12\n"},
        StoredCase{"OutOfRange",
                   "[Application]\nWhen Done=7\n[File:JPEG/HEIC]\nImage Quality=150\nJPEG Quality=0\n"},
        StoredCase{"BelowRange",
                   "[Application]\nWhen Done=-1\n[File:JPEG/HEIC]\nImage Quality=-5\nJPEG Quality=-5\n"},
        StoredCase{"NotNumbers",
                   "[Application]\nSave path=yes\nWhen Done=x\n[File:JPEG/HEIC]\nImage Quality=high\n"},
        StoredCase{"AnyIntegerIsOn",
                   "[Application]\nSave path=7\nLast Path=STORED\n[Conversion]\nIgnore Complete=-2\n"},
        StoredCase{"SavePathOff", "[Application]\nSave path=0\nLast Path=STORED\n"},
        StoredCase{"StoredPathGone", "[Application]\nSave path=1\nLast Path=STORED/gone\n"},
        StoredCase{"PathOfTheOpenedFile", "[Application]\nFiles export path on open=1\n"},
        StoredCase{
            "ByteOrderMarkAndCrLf",
            "\xEF\xBB\xBF[Conversion]\r\nIgnore Format Error=0\r\n[File:JPEG/HEIC]\r\nJPEG Quality=55\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ConsoleRun, TheDataFolderIsTheWindows) {
    EXPECT_EQ(ConsoleDataFolder(), AppDataFolder(QStringLiteral("Formshift"), true, true));
}

struct FolderCase {
    const char* Name;
    bool Reload;
    bool StoredExists;
    bool OnOpen;
    QStringList Directories; // names below the test folder; "" for an empty value
    const char* Folder;      // the chosen one, below the test folder; nullptr: none
    const char* Error;       // part of the usage error; nullptr: none
};

class PlanFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(PlanFolderTest, FolderOrderAndErrors) {
    const FolderCase& c = GetParam();
    QTemporaryDir dir;
    for (const char* folder : {"stored", "given", "second", "files"})
        QDir(dir.path()).mkpath(folder);
    QFile(dir.filePath("files/a.png")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
    TStoredSettings stored;
    stored.ReloadPath = c.Reload;
    stored.LastPath = dir.filePath(c.StoredExists ? "stored" : "gone");
    stored.ExportPathOnOpen = c.OnOpen;
    TCommandLine line;
    line.Files << dir.filePath("files/a.png");
    for (const QString& folder : c.Directories)
        line.Directories << (folder.isEmpty() ? QString() : dir.filePath(folder));
    const TBackgroundPlan plan = PlanBackgroundRun(line, stored);
    EXPECT_EQ(plan.ExportFolder, c.Folder ? dir.filePath(c.Folder) : QString());
    if (c.Error) {
        EXPECT_TRUE(plan.UsageError.contains(QLatin1String(c.Error))) << plan.UsageError.toStdString();
    } else {
        EXPECT_EQ(plan.UsageError, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PlanFolderTest,
    testing::Values(FolderCase{"Stored", true, true, false, {}, "stored", nullptr},
                    FolderCase{"StoredButNotReloaded", false, true, false, {}, nullptr, nullptr},
                    FolderCase{"StoredAndGone", true, false, false, {}, nullptr, nullptr},
                    FolderCase{"GivenBeatsStored", true, true, false, {"given"}, "given", nullptr},
                    FolderCase{"TheLastGivenWins", true, true, false, {"given", "second"}, "second", nullptr},
                    FolderCase{"OpenedFileBeatsGiven", true, true, true, {"given"}, "files", nullptr},
                    FolderCase{"GivenButMissing", true, true, false, {"nowhere"}, "stored", "does not exist"},
                    FolderCase{"GivenButAFile", true, true, false, {"plain"}, "stored", "is not a folder"},
                    FolderCase{"GivenEmpty", true, true, false, {""}, "stored", "needs the path"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ConsoleRun, OnlyAudioPairsNeedTheAudioLayer) {
    TBackgroundPlan plan;
    plan.Files = QStringList{"/x/a.png", "/x/b.TXT"};
    plan.To = FormatTag::JPEG;
    EXPECT_FALSE(plan.NeedsAudio());
    plan.To = FormatTag::BASE64;
    EXPECT_FALSE(plan.NeedsAudio());
    plan.Files << "/x/c.wav";
    EXPECT_FALSE(plan.NeedsAudio()); // to Base64, whatever the source
    plan.To = FormatTag::MP3;
    EXPECT_TRUE(plan.NeedsAudio());
    plan.Files = QStringList{"/x/c.flac"};
    plan.To = FormatTag::WAVE;
    EXPECT_TRUE(plan.NeedsAudio());
    plan.From = FormatTag::PNG;
    EXPECT_FALSE(plan.NeedsAudio());
}

} // namespace
