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
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

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
    EXPECT_EQ(read.SimultaneousConversions, shown.SimultaneousConversions);
    EXPECT_EQ(read.KeepFileDates, shown.KeepFileDates);
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
                   "[Conversion]\nIgnore Complete=1\nIgnore Format Error=0\nSimultaneousConversions=3\n"
                   "KeepFileDates=0\n"
                   "[File:Icons]\nHigh Resolution=1\nPink Mask=1\nSmooth Downsize=0\n"
                   "[File:JPEG/HEIC]\nLossless Quality=0\nImage Quality=37\nJPEG Quality=12\n"},
        StoredCase{
            "OutOfRange",
            "[Application]\nWhen Done=7\n[Conversion]\nSimultaneousConversions=99\n[File:JPEG/HEIC]\nImage "
            "Quality=150\nJPEG Quality=0\n"},
        StoredCase{
            "BelowRange",
            "[Application]\nWhen Done=-1\n[Conversion]\nSimultaneousConversions=0\n[File:JPEG/HEIC]\nImage "
            "Quality=-5\nJPEG Quality=-5\n"},
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

// Standard error into a file, for as long as the object lives.
class TCapturedErrors {
  public:
    explicit TCapturedErrors(const QString& path) : FPath(path) {
        std::fflush(stderr);
        FSaved = dup(STDERR_FILENO);
        const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, STDERR_FILENO);
        ::close(file);
    }
    ~TCapturedErrors() { Restore(); }
    QByteArray Text() {
        Restore();
        QFile file(FPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    void Restore() {
        if (FSaved < 0) return;
        std::fflush(stderr);
        dup2(FSaved, STDERR_FILENO);
        ::close(FSaved);
        FSaved = -1;
    }
    QString FPath;
    int FSaved = -1;
};

// Converters that fail, lose something or succeed on command, named by the file.
TEST(ConsoleRun, OneLinePerFailureAndPerLossThenTheSummary) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("out");
    TBackgroundPlan plan;
    for (const char* name : {"good.png", "lossy.png", "bad.png"}) {
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        plan.Files << dir.filePath(name);
    }
    plan.To = FormatTag::JPEG;
    plan.ExportFolder = dir.filePath("out");
    plan.Settings.DoneConvert = int(DoneAction::DoNothing);
    const auto install = [](TConverterSet& converters) {
        converters.Image = [](const ConversionJob& job) {
            if (job.SourcePath.endsWith("bad.png")) throw ConversionError("PNG: not a PNG file");
            if (job.SourcePath.endsWith("lossy.png")) job.ReportLoss("the colour profile");
            QFile output(job.OutputPath);
            if (!output.open(QIODevice::WriteOnly)) throw ConversionError("cannot write");
            return TModifyProgress::Finalised;
        };
    };
    TCapturedErrors errors(dir.filePath("errors.txt"));
    const int status = RunInConsole(plan, dir.filePath("data/"), install);
    const QList<QByteArray> lines = errors.Text().trimmed().split('\n');
    EXPECT_EQ(status, ExitSomeFailed);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    // Files converting at once may report in any order; the summary comes last.
    const QList<QByteArray> fileLines{lines[0], lines[1]};
    EXPECT_TRUE(fileLines.contains("formshift: " + dir.filePath("lossy.png").toUtf8() +
                                   ": not kept: the colour profile"))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(
        fileLines.contains("formshift: " + dir.filePath("bad.png").toUtf8() + ": PNG: not a PNG file"))
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines[2], "formshift: 2 of 3 files converted, 1 failed, into " + dir.filePath("out").toUtf8());
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files, QDir::Name),
              (QStringList{"good.jpeg", "lossy.jpeg"}));
}

TEST(ConsoleRun, EverythingConvertedSaysNothingOffATerminal) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("out");
    QFile(dir.filePath("a.png")).open(QIODevice::WriteOnly);
    TBackgroundPlan plan;
    plan.Files << dir.filePath("a.png");
    plan.To = FormatTag::BMP;
    plan.ExportFolder = dir.filePath("out");
    plan.Settings.DoneConvert = int(DoneAction::DoNothing);
    const auto install = [](TConverterSet& converters) {
        converters.Image = [](const ConversionJob& job) {
            QFile output(job.OutputPath);
            return output.open(QIODevice::WriteOnly) ? TModifyProgress::Finalised
                                                     : TModifyProgress::FormatErr;
        };
    };
    TCapturedErrors errors(dir.filePath("errors.txt"));
    EXPECT_EQ(RunInConsole(plan, dir.filePath("data/"), install), ExitSuccess);
    EXPECT_EQ(errors.Text(), "");
}

} // namespace
