#include "InstallReport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include <dirent.h>
#include <sys/stat.h>

namespace {

const char* const FullReport = "[Report]\n"
                               "Report Version=1.0.0\n"
                               "[Application]\n"
                               "Name=Demo App\n"
                               "Install Path=/opt/Demo App\n"
                               "Data Path=/home/me/.local/share/BrenvaleSoftware/Demo\n"
                               "Executable=/opt/Demo App/demoapp\n"
                               "[Configuration]\n"
                               "Shortcut-Menu=1\n"
                               "Shortcut-Desktop=0x0\n"
                               "[Installation]\n"
                               "User Install=0x1\n"
                               "Registry Record=Software\\BrenvaleSoftware\\Demo\n"
                               "Registry HIVE=HKLM\n";

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray ReportWithVersion(const QByteArray& versionLine) {
    return "[Report]\n" + versionLine + "\n[Application]\nName=Demo\n";
}

TEST(InstallReportTest, FillsEveryField) {
    QTemporaryDir dir;
    const QString path = dir.filePath("InstallReport.ini");
    WriteText(path, FullReport);
    TAppOptions options;
    ASSERT_EQ(ReadInstallReport(path, options), TReportStatus::Found);
    EXPECT_EQ(options.AppName, "Demo App");
    EXPECT_EQ(options.InstallPath, "/opt/Demo App");
    EXPECT_EQ(options.AppDataPath, "/home/me/.local/share/BrenvaleSoftware/Demo");
    EXPECT_EQ(options.ExeLocation, "/opt/Demo App/demoapp");
    EXPECT_TRUE(options.CreateStartMenu);
    EXPECT_FALSE(options.CreateDesktop);
    EXPECT_TRUE(options.UserInstall);
    EXPECT_EQ(options.RegistryRecord, "Software\\BrenvaleSoftware\\Demo");
    EXPECT_EQ(options.RegistryHIVE, "HKLM");
    EXPECT_FALSE(options.RemoveProgramData) << "only locating the report sets it";
}

TEST(InstallReportTest, MissingKeysGiveDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath("InstallReport.ini");
    WriteText(path, "[Report]\nReport Version=1.0.0\n[Installation]\nUser Install=yes\nRegistry HIVE=hklm\n");
    TAppOptions options;
    ASSERT_EQ(ReadInstallReport(path, options), TReportStatus::Found);
    EXPECT_TRUE(options.AppName.isEmpty());
    EXPECT_TRUE(options.InstallPath.isEmpty());
    EXPECT_FALSE(options.UserInstall);
    EXPECT_FALSE(options.CreateStartMenu);
    EXPECT_EQ(options.RegistryHIVE, "hklm") << "the hive name is converted only when it is used";
}

struct VersionCase {
    const char* Line;
    TReportStatus Expected;
};

void PrintTo(const VersionCase& c, std::ostream* out) {
    *out << c.Line;
}

class ReportVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(ReportVersionTest, OnlyTheExactVersionIsAccepted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("InstallReport.ini");
    WriteText(path, ReportWithVersion(GetParam().Line));
    TAppOptions options;
    options.AppName = "untouched";
    EXPECT_EQ(ReadInstallReport(path, options), GetParam().Expected) << GetParam().Line;
    if (GetParam().Expected == TReportStatus::Mismatched)
        EXPECT_EQ(options.AppName, "untouched");
    else
        EXPECT_EQ(options.AppName, "Demo");
}

INSTANTIATE_TEST_SUITE_P(Versions, ReportVersionTest,
                         testing::Values(VersionCase{"Report Version=1.0.0", TReportStatus::Found},
                                         VersionCase{"report version = 1.0.0 ", TReportStatus::Found},
                                         VersionCase{"Report Version=\"1.0.0\"", TReportStatus::Found},
                                         VersionCase{"Report Version=1.0", TReportStatus::Mismatched},
                                         VersionCase{"Report Version=1.0.0.0", TReportStatus::Mismatched},
                                         VersionCase{"Report Version=2.0.0", TReportStatus::Mismatched},
                                         VersionCase{"Report Version=", TReportStatus::Mismatched},
                                         VersionCase{"Version=1.0.0", TReportStatus::Mismatched}));

TEST(InstallReportTest, UpperCaseSectionIsAccepted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("InstallReport.ini");
    WriteText(path, "[REPORT]\nREPORT VERSION=1.0.0\n[APPLICATION]\nNAME=Shouted\n");
    TAppOptions options;
    EXPECT_EQ(ReadInstallReport(path, options), TReportStatus::Found);
    EXPECT_EQ(options.AppName, "Shouted");
}

TEST(InstallReportTest, MissingFileIsAMismatch) {
    TAppOptions options;
    EXPECT_EQ(ReadInstallReport("/nonexistent/InstallReport.ini", options), TReportStatus::Mismatched);
}

class LocateReportTest : public testing::Test {
  protected:
    void SetUp() override {
        FSaved = QDir::currentPath();
        ASSERT_TRUE(QDir().mkpath(FDir.filePath("program")));
        ASSERT_TRUE(QDir().mkpath(FDir.filePath("work")));
        ASSERT_TRUE(QDir::setCurrent(FDir.filePath("work")));
    }
    void TearDown() override { QDir::setCurrent(FSaved); }
    QString Program() const { return FDir.filePath("program"); }
    QString Work() const { return FDir.filePath("work"); }

    QTemporaryDir FDir;
    QString FSaved;
};

TEST_F(LocateReportTest, OptionRWinsOverTheReportBesideTheProgram) {
    WriteText(Program() + "/InstallReport.ini", ReportWithVersion("Report Version=1.0.0"));
    const QString chosen = FDir.filePath("elsewhere.ini");
    WriteText(chosen, ReportWithVersion("Report Version=1.0.0"));
    EXPECT_EQ(FindInstallReport({"-start", "-r", chosen, "-r", "other"}, Program()), chosen);
}

TEST_F(LocateReportTest, DefaultIsBesideTheProgram) {
    const QString beside = Program() + "/InstallReport.ini";
    WriteText(beside, ReportWithVersion("Report Version=1.0.0"));
    WriteText(Work() + "/InstallReport.ini", ReportWithVersion("Report Version=1.0.0"));
    EXPECT_EQ(FindInstallReport({"-silent"}, Program()), beside);
    EXPECT_EQ(FindInstallReport({"-silent", "-r"}, Program()), beside) << "-r last gives an empty path";
}

TEST_F(LocateReportTest, SearchOfTheCurrentFolderTakesTheLastListedMatch) {
    WriteText(Work() + "/a-InstallReport.ini", "x");
    WriteText(Work() + "/InstallReport-b.txt", "x");
    WriteText(Work() + "/installreport.ini", "wrong case");
    ASSERT_TRUE(QDir().mkpath(Work() + "/InstallReport-folder"));
    QString expected;
    DIR* folder = opendir(".");
    ASSERT_NE(folder, nullptr);
    while (const dirent* entry = readdir(folder)) {
        const QString name = QString::fromLocal8Bit(entry->d_name);
        if (name.contains("InstallReport") && !name.endsWith("folder")) expected = "./" + name;
    }
    closedir(folder);
    EXPECT_EQ(FindInstallReport({"-r", FDir.filePath("missing.ini")}, Program()), expected);
}

TEST_F(LocateReportTest, NoReportAnywhere) {
    QString reportPath = "stale";
    TAppOptions options;
    EXPECT_EQ(LocateInstallReport({}, Program(), reportPath, options), TReportStatus::Missing);
    EXPECT_TRUE(reportPath.isEmpty());
    EXPECT_FALSE(options.RemoveProgramData);
}

TEST_F(LocateReportTest, FoundReportChoosesToRemoveTheData) {
    WriteText(Program() + "/InstallReport.ini", FullReport);
    QString reportPath;
    TAppOptions options;
    EXPECT_EQ(LocateInstallReport({}, Program(), reportPath, options), TReportStatus::Found);
    EXPECT_EQ(reportPath, Program() + "/InstallReport.ini");
    EXPECT_TRUE(options.RemoveProgramData);
    EXPECT_EQ(options.AppName, "Demo App");
}

struct UnusableCase {
    const char* Name;
    std::function<QString(const QString& folder)> Make; // makes the named report, returns its path
};

class UnusableReportTest : public LocateReportTest, public testing::WithParamInterface<UnusableCase> {};

// A FIFO would block the reader for ever and /dev/zero grow without end; neither,
// nor anything else but a regular file of a report's size, is read.
TEST_P(UnusableReportTest, IsRefusedWithoutBeingRead) {
    const QString named = GetParam().Make(Work());
    if (named.isEmpty()) GTEST_SKIP() << "cannot make this kind of file here";
    // A proper report in the current folder must not stand in for the named one.
    WriteText(Work() + "/InstallReport.ini", FullReport);
    QString reportPath;
    TAppOptions options;
    EXPECT_EQ(LocateInstallReport({"-silent", "-r", named}, Program(), reportPath, options),
              TReportStatus::Unusable);
    EXPECT_EQ(reportPath, named);
    EXPECT_TRUE(options.AppName.isEmpty());
    EXPECT_TRUE(ReadInstallReport(named, options) == TReportStatus::Mismatched);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnusableReportTest,
    testing::Values(UnusableCase{"Fifo",
                                 [](const QString& folder) {
                                     const QString path = folder + "/report.fifo";
                                     return mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                                ? path
                                                : QString();
                                 }},
                    UnusableCase{"EndlessDevice", [](const QString&) { return QString("/dev/zero"); }},
                    UnusableCase{"Folder",
                                 [](const QString& folder) {
                                     QDir().mkpath(folder + "/report.d");
                                     return folder + "/report.d";
                                 }},
                    UnusableCase{"TooLarge",
                                 [](const QString& folder) {
                                     const QString path = folder + "/huge.ini";
                                     QFile file(path);
                                     if (!file.open(QIODevice::WriteOnly) || !file.resize(8 * 1024 * 1024))
                                         return QString();
                                     return path;
                                 }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LocateReportTest, MismatchedReportIsReported) {
    WriteText(Program() + "/InstallReport.ini", ReportWithVersion("Report Version=1.0"));
    QString reportPath;
    TAppOptions options;
    EXPECT_EQ(LocateInstallReport({}, Program(), reportPath, options), TReportStatus::Mismatched);
    EXPECT_FALSE(options.RemoveProgramData);
}

} // namespace
