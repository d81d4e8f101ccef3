#include "PathVariables.h"

#include "QtPrinters.h"
#include "TWinRegistry.h"
#include "TempProfile.h"
#include "WindowsEnvironment.h"
#include "XdgFolders.h"

#include <gtest/gtest.h>

namespace {

class PathVariablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureWindowsEnvironment();
        FProfile.Set("SYSTEMROOT", "/sysroot");
        FProfile.Set("BV_A", "alpha");
        FProfile.Set("BV_B", "beta");
        FProfile.Set("BV_EMPTY", "");
        FProfile.Set("BV_Mixed", "mixed");
        FProfile.Set("BV_HOLDS_TOKEN", "x%BV_B%y");
    }
    TempProfile FProfile;
};

struct ExpandCase {
    const char* Path;
    const char* Expected; // "<temp>" stands for the value of TEMP
};

class ExpandEnvironmentNamesTest : public PathVariablesTest,
                                   public ::testing::WithParamInterface<ExpandCase> {};

TEST_P(ExpandEnvironmentNamesTest, FollowsTheScanningRule) {
    QString expected = QString::fromUtf8(GetParam().Expected);
    expected.replace("<temp>", qEnvironmentVariable("TEMP"));
    EXPECT_EQ(ExpandEnvironmentNames(QString::fromUtf8(GetParam().Path)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExpandEnvironmentNamesTest,
    ::testing::Values(ExpandCase{"%SYSTEMROOT%", "/sysroot"}, ExpandCase{"%NOSUCHVAR%/x", "%NOSUCHVAR%/x"},
                      ExpandCase{"%temp%/file.exe", "<temp>/file.exe"},
                      ExpandCase{"%TEMP%/file.exe", "<temp>/file.exe"},
                      ExpandCase{"100% sure %TEMP%", "100% sure <temp>"},
                      ExpandCase{"%BV_A%/%BV_B%", "alpha/beta"}, ExpandCase{"%BV_A%%BV_B%", "alphabeta"},
                      // The closing "%" of A is gone once A is replaced, so "%BV_B%" no longer stands there.
                      ExpandCase{"%BV_A%BV_B%", "alphaBV_B%"}, ExpandCase{"%bv_mixed%", "mixed"},
                      ExpandCase{"%BV_EMPTY%/x", "%BV_EMPTY%/x"}, ExpandCase{"50%", "50%"},
                      ExpandCase{"%%", "%%"}, ExpandCase{"", ""}, ExpandCase{"no names", "no names"},
                      // A value is never scanned again, and a later token is replaced where it stands.
                      ExpandCase{"%BV_HOLDS_TOKEN%", "x%BV_B%y"},
                      ExpandCase{"%BV_HOLDS_TOKEN%/%BV_B%", "x%BV_B%y/beta"}));

TEST_F(PathVariablesTest, ShellNamesNeedTheLowerCasePrefix) {
    const QString desktop = XdgUserFolder("DESKTOP");
    EXPECT_EQ(ExpandShellNames("shell:desktop/Notes"), desktop + "/Notes");
    EXPECT_EQ(ExpandShellNames("shell:Desktop"), desktop);
    EXPECT_EQ(ExpandShellNames("Shell:Desktop/Notes"), "Shell:Desktop/Notes");
    EXPECT_EQ(ExpandShellNames("shell:personal/x"), XdgUserFolder("DOCUMENTS") + "/x");
    EXPECT_EQ(ExpandShellNames("shell:nosuchfolder/x"), "shell:nosuchfolder/x");
    EXPECT_EQ(ExpandShellNames("shell:common programs/App.desktop"), "/usr/share/applications/App.desktop");
}

TEST_F(PathVariablesTest, AStoredShellFolderWinsOverTheDesktop) {
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    const QString key = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_TRUE(registry.WriteStringValue(key, "Desktop", "/custom/desk"));
    EXPECT_EQ(ExpandShellNames("shell:desktop/x"), "/custom/desk/x");
}

TEST_F(PathVariablesTest, ExpandPathVariablesDoesShellNamesFirst) {
    EXPECT_EQ(ExpandPathVariables("shell:desktop/%BV_A%"), XdgUserFolder("DESKTOP") + "/alpha");
    EXPECT_EQ(ExpandPathVariables("%USERPROFILE%"), FProfile.Home());
}

} // namespace
