#include "RegistryStore.h"

#include "TempProfile.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QStringList Demo = {QStringLiteral("Software"), QStringLiteral("Demo")};

RegistryValue Text(const QString& text) {
    return DesktopRegistryKeys::TextValue(text);
}

class RegistryStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { RegistryStore::SetBusyTimeout(2000); }
    TempProfile FProfile;
};

TEST_F(RegistryStoreTest, DatabasesLiveUnderTheRootVariable) {
    EXPECT_EQ(RegistryStore::DatabasePath(HKEY_CURRENT_USER),
              FProfile.Root() + "/registry/HKEY_CURRENT_USER.db");
    EXPECT_EQ(RegistryStore::DatabasePath(HKEY_LOCAL_MACHINE),
              FProfile.Root() + "/registry/HKEY_LOCAL_MACHINE.db");
    EXPECT_TRUE(RegistryStore::DatabasePath(0).isEmpty());
}

TEST_F(RegistryStoreTest, UserHiveWithoutRootVariableIsPrivateUnderXdgData) {
    FProfile.Unset("BRENVALE_REGISTRY_ROOT");
    const QString path = RegistryStore::DatabasePath(HKEY_CURRENT_USER);
    EXPECT_EQ(path, FProfile.Home() + "/.local/share/BrenvaleRegistry/HKEY_CURRENT_USER.db");
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.CreateKey(Demo);
        store.Commit();
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(RegistryStoreTest, ReadingAHiveThatWasNeverWrittenSeesNothing) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_FALSE(store.KeyExists(Demo));
    EXPECT_FALSE(store.ReadValue(Demo, "x").has_value());
    EXPECT_FALSE(QFile::exists(RegistryStore::DatabasePath(HKEY_CURRENT_USER)));
}

TEST_F(RegistryStoreTest, KeysAndValuesRoundTripWithoutRegardToCase) {
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.CreateKey(Demo + QStringList{"Sub", "Deeper"});
        store.WriteValue(Demo, "Name", Text("Value"));
        store.WriteValue(Demo, "Count", DesktopRegistryKeys::DwordValue(42));
        store.WriteValue(Demo, "", Text("default"));
        store.Commit();
    }
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_TRUE(store.KeyExists({"SOFTWARE", "demo", "SUB", "deeper"}));
    const auto value = store.ReadValue({"software", "DEMO"}, "NAME");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Type, REG_SZ);
    EXPECT_EQ(value->Data, QByteArray("Value"));
    EXPECT_EQ(store.ValueNames(Demo), (QStringList{"Name", "Count", ""}));
    EXPECT_EQ(store.KeyNames(Demo), QStringList{"Sub"});
}

TEST_F(RegistryStoreTest, OverwritingKeepsTheValuesPlaceAndName) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    store.CreateKey(Demo);
    store.WriteValue(Demo, "First", Text("1"));
    store.WriteValue(Demo, "Second", Text("2"));
    store.WriteValue(Demo, "FIRST", DesktopRegistryKeys::DwordValue(7));
    EXPECT_EQ(store.ValueNames(Demo), (QStringList{"First", "Second"}));
    EXPECT_EQ(store.ReadValue(Demo, "first")->Type, REG_DWORD);
}

TEST_F(RegistryStoreTest, SubKeysAreListedSortedWithoutRegardToCase) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    for (const char* name : {"beta", "Alpha", "gamma", "Delta"})
        store.CreateKey(Demo + QStringList{name});
    EXPECT_EQ(store.KeyNames(Demo), (QStringList{"Alpha", "beta", "Delta", "gamma"}));
}

TEST_F(RegistryStoreTest, WritingIntoAMissingKeyFailsAndCreatesNothing) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    try {
        store.WriteValue(Demo, "x", Text("y"));
        FAIL() << "no error";
    } catch (const RegistryStoreError& error) {
        EXPECT_EQ(error.ErrorKind(), RegistryStoreError::Kind::Missing);
    }
    EXPECT_FALSE(store.KeyExists(Demo));
}

TEST_F(RegistryStoreTest, DeleteKeyTakesTheWholeTreeButNeverTheRoot) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    store.CreateKey(Demo + QStringList{"A", "B"});
    store.WriteValue(Demo + QStringList{"A", "B"}, "v", Text("x"));
    store.CreateKey({"Software", "Other"});
    EXPECT_TRUE(store.DeleteKey(Demo));
    EXPECT_FALSE(store.KeyExists(Demo + QStringList{"A"}));
    EXPECT_FALSE(store.ReadValue(Demo + QStringList{"A", "B"}, "v").has_value());
    EXPECT_TRUE(store.KeyExists({"Software", "Other"}));
    EXPECT_FALSE(store.DeleteKey(Demo));
    EXPECT_FALSE(store.DeleteKey({}));
}

TEST_F(RegistryStoreTest, ChangesWithoutCommitLeaveNothingBehind) {
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.CreateKey(Demo);
        store.Commit();
    }
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.WriteValue(Demo, "half", Text("written"));
        store.CreateKey(Demo + QStringList{"Child"});
    }
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_FALSE(store.ReadValue(Demo, "half").has_value());
    EXPECT_FALSE(store.KeyExists(Demo + QStringList{"Child"}));
}

TEST_F(RegistryStoreTest, ALockedDatabaseGivesBusyNotAHang) {
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.CreateKey(Demo);
        store.Commit();
    }
    RegistryStore::SetBusyTimeout(0);
    // Another connection (SQLite locks between connections as between processes)
    // holds the database exclusively.
    sqlite3* other = nullptr;
    ASSERT_EQ(
        sqlite3_open(QFile::encodeName(RegistryStore::DatabasePath(HKEY_CURRENT_USER)).constData(), &other),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (auto access : {RegistryStore::Access::Read, RegistryStore::Access::Write}) {
        try {
            RegistryStore store(HKEY_CURRENT_USER, access);
            store.KeyExists(Demo);
            FAIL() << "no error";
        } catch (const RegistryStoreError& error) {
            EXPECT_EQ(error.ErrorKind(), RegistryStoreError::Kind::Busy);
        }
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_TRUE(store.KeyExists(Demo));
}

TEST_F(RegistryStoreTest, ADamagedDatabaseGivesDamagedAndIsNotOverwritten) {
    const QString path = RegistryStore::DatabasePath(HKEY_CURRENT_USER);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray garbage(8192, 'x');
    file.write(garbage);
    file.close();
    for (auto access : {RegistryStore::Access::Read, RegistryStore::Access::Write}) {
        try {
            RegistryStore store(HKEY_CURRENT_USER, access);
            FAIL() << "no error";
        } catch (const RegistryStoreError& error) {
            EXPECT_EQ(error.ErrorKind(), RegistryStoreError::Kind::Damaged);
        }
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage);
}

TEST_F(RegistryStoreTest, AReadSessionCannotWrite) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_THROW(store.CreateKey(Demo), RegistryStoreError);
}

TEST_F(RegistryStoreTest, InvalidKeyNamesAreRefused) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    EXPECT_THROW(store.CreateKey({QString(256, u'k')}), RegistryStoreError);
    EXPECT_NO_THROW(store.CreateKey({QString(255, u'k')}));
}

TEST_F(RegistryStoreTest, CopyTreeCopiesValuesAndSubKeysAndRefusesItsOwnInside) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
    store.CreateKey(Demo + QStringList{"Child"});
    store.WriteValue(Demo, "a", Text("1"));
    store.WriteValue(Demo + QStringList{"Child"}, "b", DesktopRegistryKeys::DwordValue(2));
    ASSERT_TRUE(store.CopyTree(Demo, {"Backup"}));
    EXPECT_EQ(store.ReadValue({"Backup"}, "a")->Data, QByteArray("1"));
    EXPECT_EQ(store.ReadValue({"Backup", "Child"}, "b")->Type, REG_DWORD);
    EXPECT_THROW(store.CopyTree(Demo, Demo + QStringList{"Child", "Copy"}), RegistryStoreError);
    EXPECT_THROW(store.CopyTree(Demo, {"software", "DEMO"}), RegistryStoreError);
    EXPECT_FALSE(store.CopyTree({"Missing"}, {"Elsewhere"}));
    EXPECT_FALSE(store.KeyExists({"Elsewhere"}));
}

TEST_F(RegistryStoreTest, DesktopKeysExistAndStoredValuesWin) {
    DesktopAppearance::SetOverride(DesktopAppearance::State{DesktopAppearance::ColorScheme::PreferDark,
                                                            DesktopAppearance::Rgb{0x10, 0x20, 0x30}});
    const QStringList personalize = {"Software",       "Microsoft", "Windows",
                                     "CurrentVersion", "Themes",    "Personalize"};
    const QStringList dwm = {"Software", "Microsoft", "Windows", "DWM"};
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
        EXPECT_TRUE(store.KeyExists(personalize));
        EXPECT_TRUE(store.KeyExists({"software", "microsoft"}));
        EXPECT_TRUE(store.KeyNames({"Software", "Microsoft", "Windows"}).contains("DWM"));
        EXPECT_EQ(store.ReadValue(personalize, "AppsUseLightTheme")->Data, QByteArray("\0\0\0\0", 4));
        EXPECT_EQ(store.ReadValue(dwm, "AccentColor")->Data, QByteArray("\x10\x20\x30\xFF", 4));
    }
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.WriteValue(personalize, "AppsUseLightTheme", DesktopRegistryKeys::DwordValue(1));
        store.Commit();
    }
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_EQ(store.ReadValue(personalize, "AppsUseLightTheme")->Data, QByteArray("\1\0\0\0", 4));
    EXPECT_EQ(store.ValueNames(personalize), (QStringList{"AppsUseLightTheme", "SystemUsesLightTheme"}));
}

TEST_F(RegistryStoreTest, WithoutThePortalThereAreNoAppearanceValues) {
    RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_TRUE(store.KeyExists({"Software", "Microsoft", "Windows", "DWM"}));
    EXPECT_TRUE(store.ValueNames({"Software", "Microsoft", "Windows", "DWM"}).isEmpty());
}

} // namespace
