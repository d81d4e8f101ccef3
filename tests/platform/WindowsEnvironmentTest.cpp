#include "WindowsEnvironment.h"

#include "TempProfile.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(WindowsEnvironmentTest, MissingNamesGetTheDesktopFolders) {
    TempProfile profile;
    EnsureWindowsEnvironment();
    EXPECT_EQ(qEnvironmentVariable("LOCALAPPDATA"), profile.Home() + "/.local/share");
    EXPECT_EQ(qEnvironmentVariable("APPDATA"), profile.Home() + "/.config");
    EXPECT_EQ(qEnvironmentVariable("TEMP"), profile.Home() + "/.cache/tmp");
    EXPECT_EQ(qEnvironmentVariable("TMP"), profile.Home() + "/.cache/tmp");
    EXPECT_EQ(qEnvironmentVariable("USERPROFILE"), profile.Home());
    EXPECT_EQ(qEnvironmentVariable("SYSTEMROOT"), "/");
}

TEST(WindowsEnvironmentTest, TheTemporaryFolderIsPrivate) {
    TempProfile profile;
    const QString folder = UserTempFolder();
    ASSERT_TRUE(QFileInfo(folder).isDir());
    struct stat info {};
    ASSERT_EQ(::stat(folder.toUtf8().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(WindowsEnvironmentTest, ValuesTheUserSetStay) {
    TempProfile profile;
    profile.Set("TEMP", "/srv/scratch");
    profile.Set("APPDATA", "");
    EnsureWindowsEnvironment();
    EXPECT_EQ(qEnvironmentVariable("TEMP"), "/srv/scratch");
    EXPECT_EQ(qEnvironmentVariable("APPDATA"), profile.Home() + "/.config");
}

} // namespace
