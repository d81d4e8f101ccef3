#include "RemovalSafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every test sees a home and XDG folders of its own.
class SafetyEnvironment : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : Names)
            FSaved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        FHome = FDir.filePath("home");
        QDir().mkpath(FHome);
        qputenv("HOME", FHome.toLocal8Bit());
        for (const char* name : Names) {
            if (QByteArray(name) != "HOME") qunsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& saved : FSaved) {
            if (saved.Set)
                qputenv(saved.Name, saved.Value);
            else
                qunsetenv(saved.Name);
        }
    }
    static constexpr const char* Names[] = {"HOME",           "XDG_DATA_HOME",  "XDG_CONFIG_HOME",
                                            "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR",
                                            "XDG_DATA_DIRS",  "XDG_CONFIG_DIRS"};
    struct TSaved {
        const char* Name;
        QByteArray Value;
        bool Set;
    };
    std::vector<TSaved> FSaved;
    QTemporaryDir FDir;
    QString FHome;
};

struct FolderCase {
    const char* Path; // "~" stands for the test's home folder.
    bool Protected;
};

void PrintTo(const FolderCase& c, std::ostream* out) {
    *out << '"' << c.Path << '"';
}

class ProtectedFolderTest : public SafetyEnvironment, public testing::WithParamInterface<FolderCase> {};

TEST_P(ProtectedFolderTest, RefusesRootHomeSystemAndDesktopFolders) {
    QString path = QString::fromUtf8(GetParam().Path);
    if (path.startsWith('~')) path = FHome + path.mid(1);
    EXPECT_EQ(IsProtectedFolder(path, ProtectedFolders()), GetParam().Protected) << path.toStdString();
}

// What a report for the application "Demo" may name as a folder to remove.
class FolderRefusalTest : public SafetyEnvironment, public testing::WithParamInterface<FolderCase> {};

TEST_P(FolderRefusalTest, RefusesSystemTreesHomesAndTheirFoldersButNotInstallPlaces) {
    QString path = QString::fromUtf8(GetParam().Path);
    if (path.startsWith('~')) path = FHome + path.mid(1);
    const QString refusal = FolderRefusal(path, "Demo", CurrentRemovalScope());
    EXPECT_EQ(!refusal.isEmpty(), GetParam().Protected)
        << path.toStdString() << ": " << refusal.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderRefusalTest,
    testing::Values(
        FolderCase{"/usr/lib/x86_64-linux-gnu", true}, FolderCase{"/var/lib/dpkg", true},
        FolderCase{"/etc/ssh", true}, FolderCase{"/usr/share/demoapp", true},
        FolderCase{"/usr/share/Demo", true}, FolderCase{"/boot/Demo", true}, FolderCase{"/lib64/Demo", true},
        FolderCase{"/bin/Demo", true}, FolderCase{"/sbin/Demo", true}, FolderCase{"/proc/1", true},
        FolderCase{"/sys/kernel", true}, FolderCase{"/dev/shm/Demo", true}, FolderCase{"/run/Demo", true},
        FolderCase{"/var/Demo", true}, FolderCase{"/var/opt", true}, FolderCase{"/var/opt/Demo", false},
        FolderCase{"/usr/local", true}, FolderCase{"/usr/local/lib", true},
        FolderCase{"/usr/local/share/Other", true}, FolderCase{"/usr/local/Demo", false},
        FolderCase{"/usr/local/share/demo", false}, FolderCase{"/usr/local/lib/Demo/plugins", false},
        FolderCase{"/usr/local/../lib/Demo", true}, FolderCase{"/opt", true}, FolderCase{"/opt/Demo", false},
        FolderCase{"/root", true}, FolderCase{"~", true}, FolderCase{"~/Apps", true},
        FolderCase{"~/Documents", true}, FolderCase{"~/Videos", true}, FolderCase{"~/.local/share", true},
        FolderCase{"~/Apps/Demo", false}, FolderCase{"~/.local/share/Demo", false},
        FolderCase{"~/.local/share/BrenvaleSoftware/Demo", false}, FolderCase{"relative/Demo", true},
        FolderCase{"", false}));

TEST_F(SafetyEnvironment, AnotherUsersHomeAndEverythingInItIsRefused) {
    const QString other = FDir.filePath("other-home");
    QDir().mkpath(other + "/Apps/Demo");
    TRemovalScope scope = CurrentRemovalScope();
    scope.OtherHomes << other;
    for (const QString& path : {other, other + "/Apps", other + "/Apps/Demo", other + "/.local/share/Demo"})
        EXPECT_TRUE(FolderRefusal(path, "Demo", scope).contains("another user")) << path.toStdString();
}

TEST_F(SafetyEnvironment, TheSystemsOtherHomeFoldersAreRefused) {
    const TRemovalScope scope = CurrentRemovalScope();
    const QStringList own = OwnHomes();
    int checked = 0;
    for (const QString& name : QDir("/home").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString home = "/home/" + name;
        if (own.contains(home)) continue;
        EXPECT_FALSE(FolderRefusal(home + "/Apps/Demo", "Demo", scope).isEmpty()) << home.toStdString();
        EXPECT_FALSE(FolderRefusal(home, "Demo", scope).isEmpty()) << home.toStdString();
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "no other user's home folder under /home";
}

TEST_F(SafetyEnvironment, AFolderOfAnotherUserIsRefused) {
    const QString folder = FDir.filePath("opt/Demo");
    QDir().mkpath(folder);
    TRemovalScope scope = CurrentRemovalScope();
    EXPECT_EQ(FolderRefusal(folder, "Demo", scope), "");
    scope.Owners = {uint(geteuid()) + 1};
    EXPECT_TRUE(FolderRefusal(folder, "Demo", scope).contains("another user"));
}

TEST_F(SafetyEnvironment, AsRootAFolderChownedToAnotherUserIsRefused) {
    const QString folder = FDir.filePath("opt/Demo");
    QDir().mkpath(folder);
    if (chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0)
        GTEST_SKIP() << "not permitted to give a folder to another user";
    EXPECT_TRUE(FolderRefusal(folder, "Demo", CurrentRemovalScope()).contains("another user"));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProtectedFolderTest,
    testing::Values(FolderCase{"/", true}, FolderCase{"//", true}, FolderCase{"/usr", true},
                    FolderCase{"/usr/", true}, FolderCase{"/usr/share", true}, FolderCase{"/etc", true},
                    FolderCase{"/home", true}, FolderCase{"/opt", true}, FolderCase{"/opt/Demo/../..", true},
                    FolderCase{"~", true}, FolderCase{"~/", true}, FolderCase{"~/.local", true},
                    FolderCase{"~/.local/share", true}, FolderCase{"~/.config", true},
                    FolderCase{"~/Desktop", true}, FolderCase{"~/.local/share/applications", true},
                    FolderCase{"~/.local/share/BrenvaleSoftware", true}, FolderCase{"relative/app", true},
                    FolderCase{"C:\\Program Files\\Demo", true}, FolderCase{"/opt/Demo", false},
                    FolderCase{"~/Apps/Demo", false},
                    FolderCase{"~/.local/share/BrenvaleSoftware/Demo", false}, FolderCase{"", false}));

TEST_F(SafetyEnvironment, XdgFoldersFromTheEnvironmentAreProtected) {
    const QString data = FDir.filePath("xdg-data");
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    const QStringList folders = ProtectedFolders();
    EXPECT_TRUE(IsProtectedFolder(data, folders));
    EXPECT_TRUE(IsProtectedFolder(data + "/applications", folders));
    EXPECT_FALSE(IsProtectedFolder(data + "/BrenvaleSoftware/Demo", folders));
}

TEST_F(SafetyEnvironment, ALinkToTheHomeFolderIsProtected) {
    const QString link = FDir.filePath("innocent");
    ASSERT_TRUE(QFile::link(FHome, link));
    EXPECT_TRUE(IsProtectedFolder(link, ProtectedFolders()));
}

TEST_F(SafetyEnvironment, AFolderHoldingTheHomeFolderIsProtected) {
    EXPECT_TRUE(IsProtectedFolder(FDir.path(), ProtectedFolders()));
}

struct RecordCase {
    const char* Record;
    bool Protected;
};

void PrintTo(const RecordCase& c, std::ostream* out) {
    *out << '"' << c.Record << '"';
}

class ProtectedRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(ProtectedRecordTest, RefusesKeysAtTheTopOfAHive) {
    EXPECT_EQ(IsProtectedRegistryRecord(QString::fromUtf8(GetParam().Record)), GetParam().Protected)
        << GetParam().Record;
}

INSTANTIATE_TEST_SUITE_P(
    Records, ProtectedRecordTest,
    testing::Values(
        RecordCase{"", false}, RecordCase{"\\", false}, RecordCase{"\\\\", false},
        RecordCase{"Software", true}, RecordCase{"Software\\", true}, RecordCase{"\\Software\\\\", true},
        RecordCase{"Computer\\Software", true}, RecordCase{"Software/Demo", true},
        RecordCase{"software\\classes", true}, RecordCase{"Software\\Microsoft", true},
        RecordCase{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        RecordCase{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo", false},
        RecordCase{"Software\\BrenvaleSoftware\\Demo", false},
        RecordCase{"Software\\BrenvaleSoftware\\Demo\\Settings", false},
        RecordCase{"Software\\BrenvaleSoftware", true}, RecordCase{"software\\brenvalesoftware", true},
        RecordCase{"SOFTWARE\\BRENVALESOFTWARE\\", true}, RecordCase{"Software/BrenvaleSoftware", true},
        RecordCase{"Software\\BrenvaleSoftware/", true},
        RecordCase{"\\Software\\\\BrenvaleSoftware\\\\", true},
        RecordCase{"Computer\\Software\\BrenvaleSoftware", true}, RecordCase{"Software\\Wow6432Node", true},
        RecordCase{"Software\\Wow6432Node\\BrenvaleSoftware", true},
        RecordCase{"Software\\Wow6432Node\\BrenvaleSoftware\\Demo", false},
        RecordCase{"\\Software\\Demo\\", false}));

TEST_F(SafetyEnvironment, RefusalNamesTheReason) {
    TAppOptions options;
    options.AppName = "Demo";
    options.InstallPath = FDir.filePath("opt/Demo");
    options.AppDataPath = FHome + "/.local/share/BrenvaleSoftware/Demo";
    options.RegistryRecord = "Software\\BrenvaleSoftware\\Demo";
    EXPECT_EQ(RefusalReason(options), "");

    TAppOptions home = options;
    home.AppDataPath = FHome;
    EXPECT_TRUE(RefusalReason(home).contains("data path"));

    TAppOptions root = options;
    root.InstallPath = "/";
    EXPECT_TRUE(RefusalReason(root).contains("install path"));

    TAppOptions record = options;
    record.RegistryRecord = "Software";
    EXPECT_TRUE(RefusalReason(record).contains("registry"));
    record.RegistryRecord = "Software\\BrenvaleSoftware";
    EXPECT_TRUE(RefusalReason(record).contains("registry"));

    TAppOptions system = options;
    system.InstallPath = "/usr/lib/x86_64-linux-gnu";
    EXPECT_TRUE(RefusalReason(system).contains("install path"));

    TAppOptions name = options;
    name.AppName = "../../.config/autostart/x";
    EXPECT_TRUE(RefusalReason(name).contains("name"));
}

} // namespace
