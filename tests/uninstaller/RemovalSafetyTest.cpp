#include "RemovalSafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

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
                    FolderCase{"/usr/share/demoapp", false}, FolderCase{"~/Apps/Demo", false},
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
    testing::Values(RecordCase{"", false}, RecordCase{"\\", false}, RecordCase{"\\\\", false},
                    RecordCase{"Software", true}, RecordCase{"Software\\", true},
                    RecordCase{"\\Software\\\\", true}, RecordCase{"Computer\\Software", true},
                    RecordCase{"Software/Demo", true}, RecordCase{"software\\classes", true},
                    RecordCase{"Software\\Microsoft", true},
                    RecordCase{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
                    RecordCase{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo", false},
                    RecordCase{"Software\\BrenvaleSoftware\\Demo", false},
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

    TAppOptions name = options;
    name.AppName = "../../.config/autostart/x";
    EXPECT_TRUE(RefusalReason(name).contains("name"));
}

} // namespace
