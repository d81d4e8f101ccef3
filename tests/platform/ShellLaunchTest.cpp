#include "ShellLaunch.h"

#include "QtPrinters.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ShellLaunchTest, FindsExecutablesOnPathAndByPath) {
    EXPECT_FALSE(FindExecutable("sh").isEmpty());
    EXPECT_EQ(FindExecutable("/bin/sh"), "/bin/sh");
    EXPECT_TRUE(FindExecutable("/etc/passwd").isEmpty());
    EXPECT_TRUE(FindExecutable("/usr/bin").isEmpty());
    EXPECT_TRUE(FindExecutable("no-such-program-anywhere").isEmpty());
    EXPECT_TRUE(FindExecutable("").isEmpty());
}

TEST(ShellLaunchTest, TellsLinksFromPaths) {
    EXPECT_TRUE(IsLink("https://example.org/download"));
    EXPECT_TRUE(IsLink("mailto:someone@example.org"));
    EXPECT_FALSE(IsLink("/home/me/file.txt"));
    EXPECT_FALSE(IsLink("C:\\Windows"));
    EXPECT_FALSE(IsLink("relative/file.txt"));
    EXPECT_FALSE(IsLink("sh"));
}

TEST(ShellLaunchTest, AdministratorCommandCarriesDisplayAndDirectory) {
    qputenv("DISPLAY", ":7");
    const QStringList command =
        AdministratorCommand("/opt/app/uninstaller", {"-alluser", "-force"}, "/opt/app");
    ASSERT_GE(command.size(), 6);
    EXPECT_EQ(command[0], "pkexec");
    EXPECT_TRUE(command[1].endsWith("env"));
    EXPECT_EQ(command[2], "--chdir=/opt/app");
    EXPECT_TRUE(command.contains("DISPLAY=:7"));
    EXPECT_EQ(command.mid(command.size() - 3), (QStringList{"/opt/app/uninstaller", "-alluser", "-force"}));
    const QStringList odd = AdministratorCommand("/opt/a=b/app", {}, {});
    EXPECT_EQ(odd.mid(odd.size() - 4, 3), (QStringList{"/bin/sh", "-c", "exec \"$0\" \"$@\""}));
}

TEST(ShellLaunchTest, StartDetachedReportsAMissingProgram) {
    EXPECT_FALSE(StartDetached("/nonexistent/program", {}));
    QTemporaryDir folder;
    EXPECT_TRUE(StartDetached("/bin/sh", {"-c", "true"}, folder.path()));
}

} // namespace
