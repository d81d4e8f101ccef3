#include "SpecialFolders.h"

#include "QtPrinters.h"
#include "TWinRegistry.h"
#include "TempProfile.h"
#include "WindowsEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

class SpecialFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureWindowsEnvironment(); }
    TempProfile FProfile;
};

struct FolderCase {
    UserFolderKind Kind;
    const char* BelowHome; // nullptr: no folder of that kind here
};

class UserShellFolderTest : public SpecialFoldersTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(UserShellFolderTest, AnswersTheXdgFolders) {
    const FolderCase& c = GetParam();
    EXPECT_EQ(UserShellFolder(c.Kind), c.BelowHome ? FProfile.Home() + c.BelowHome : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UserShellFolderTest,
    ::testing::Values(
        FolderCase{UserFolderKind::Profile, ""}, FolderCase{UserFolderKind::AppData, "/.config"},
        FolderCase{UserFolderKind::LocalAppData, "/.local/share"},
        FolderCase{UserFolderKind::Documents, "/Documents"},
        FolderCase{UserFolderKind::Pictures, "/Pictures"}, FolderCase{UserFolderKind::Desktop, "/Desktop"},
        FolderCase{UserFolderKind::Music, "/Music"}, FolderCase{UserFolderKind::Videos, "/Videos"},
        FolderCase{UserFolderKind::NetHood, nullptr}, FolderCase{UserFolderKind::Recent, nullptr},
        FolderCase{UserFolderKind::StartMenu, "/.local/share/applications"},
        FolderCase{UserFolderKind::Startup, "/.config/autostart"},
        FolderCase{UserFolderKind::Downloads, "/Downloads"},
        FolderCase{UserFolderKind::Programs, "/.local/share/applications"}));

TEST_F(SpecialFoldersTest, AStoredFolderWithVariablesIsExpanded) {
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    ASSERT_TRUE(registry.WriteStringValue(
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Desktop",
        "%USERPROFILE%/Arbeitsfläche"));
    EXPECT_EQ(UserShellFolder(UserFolderKind::Desktop), FProfile.Home() + "/Arbeitsfläche");
}

TEST_F(SpecialFoldersTest, AppDataFolderCreatesTheMakerAndApplicationFolders) {
    const QString expected = FProfile.Home() + "/.local/share/BrenvaleSoftware/Formshift/";
    EXPECT_FALSE(QFileInfo::exists(FProfile.Home() + "/.local/share/BrenvaleSoftware"));
    EXPECT_EQ(AppDataFolder("Formshift", true, true, AppDataKind::Local), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(AppDataFolder("Formshift", true, true), expected);
}

TEST_F(SpecialFoldersTest, AppDataFolderCreatesNothingUnlessAsked) {
    EXPECT_EQ(AppDataFolder("App", false, false, AppDataKind::Roaming), FProfile.Home() + "/.config/App/");
    EXPECT_EQ(AppDataFolder("App", true, false, AppDataKind::LocalLow),
              FProfile.Home() + "/.local/state/BrenvaleSoftware/App/");
    EXPECT_FALSE(QFileInfo::exists(FProfile.Home() + "/.config/App"));
}

TEST_F(SpecialFoldersTest, AppDataFolderPassesTheCreationErrorOn) {
    QDir().mkpath(FProfile.Home() + "/.local");
    QFile blocker(FProfile.Home() + "/.local/share");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(AppDataFolder("Formshift", true, true, AppDataKind::Local),
                 std::filesystem::filesystem_error);
}

TEST_F(SpecialFoldersTest, OldWindowsVersionsUseTheOldProfileLayoutWhateverTheKind) {
    FProfile.Set("SYSTEMDRIVE", "/drive");
    const QString expected = "/drive/Documents and Settings/" + CurrentUserName() +
                             "/Application Data/BrenvaleSoftware/Formshift/";
    for (AppDataKind kind : {AppDataKind::Local, AppDataKind::Roaming, AppDataKind::LocalLow})
        EXPECT_EQ(AppDataFolderForVersion(5.1, "Formshift", true, false, kind), expected);
}

TEST_F(SpecialFoldersTest, SystemFacts) {
    EXPECT_DOUBLE_EQ(GetWindowsVersion(), 10.0);
    const passwd* entry = getpwuid(geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(CurrentUserName(), QString::fromLocal8Bit(entry->pw_name));
}

struct DefaultPathCase {
    const char* Path;
    const char* Expected; // "<home>" and "<temp>" stand for those folders
};

class ExpandDefaultPathsTest : public SpecialFoldersTest,
                               public ::testing::WithParamInterface<DefaultPathCase> {};

TEST_P(ExpandDefaultPathsTest, MapsTheFixedNamesToTheFoldersHere) {
    // The environment is not consulted.
    FProfile.Set("TEMP", "/elsewhere");
    QString expected = QString::fromUtf8(GetParam().Expected);
    expected.replace("<home>", FProfile.Home()).replace("<temp>", UserTempFolder());
    EXPECT_EQ(ExpandDefaultPaths(QString::fromUtf8(GetParam().Path)), expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExpandDefaultPathsTest,
                         ::testing::Values(DefaultPathCase{"\"%ProgramFiles(x86)%/App\"", "/opt/App"},
                                           DefaultPathCase{"%programfiles%/App", "/opt/App"},
                                           DefaultPathCase{"%UserProfile%/Desktop", "<home>//Desktop"},
                                           DefaultPathCase{"%TEMP%/updateinstall_ab12cd34.exe",
                                                           "<temp>/updateinstall_ab12cd34.exe"},
                                           DefaultPathCase{"%AppData%/x", "<home>/.config/x"},
                                           DefaultPathCase{"%LocalAppData%/x", "<home>/.local/share/x"},
                                           DefaultPathCase{"%SystemDrive%/boot", "/boot"},
                                           DefaultPathCase{"%SystemRoot%", "/"},
                                           DefaultPathCase{"%CommonProgramFiles(x86)%", "/usr/lib"},
                                           DefaultPathCase{"%Unknown%/x", "%Unknown%/x"}));

} // namespace
