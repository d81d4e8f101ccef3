#include "TWinRegistry.h"

#include "RegistryStore.h"
#include "TempProfile.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <system_error>

namespace {

class TWinRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FRegistry.setOnRaiseError([this](TRegistryError error) { FErrors.append(error); });
    }
    void TearDown() override { RegistryStore::SetBusyTimeout(2000); }

    TempProfile FProfile;
    TWinRegistry FRegistry;
    QList<TRegistryError> FErrors;
};

TEST_F(TWinRegistryTest, StartsWithTheDocumentedDefaults) {
    TWinRegistry registry;
    EXPECT_EQ(registry.DefaultHive(), HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.AutomaticHive());
    EXPECT_EQ(registry.ErrorKind(), TRegistryErrorKind::Receive);
    EXPECT_TRUE(bool(registry.OnRaiseError()));
    EXPECT_EQ(registry.LastError(), TRegistryError::None);
    EXPECT_EQ(registry.RegistryMode(), TRegistryMode::Unloaded);
    EXPECT_TRUE(registry.WinModeLoaded());
    EXPECT_EQ(registry.RegistryMode(), TRegistryMode::Windows64);
}

TEST_F(TWinRegistryTest, ManualHiveSwitchesAutomaticHiveOffAndDefaultHiveDoesNot) {
    FRegistry.setDefaultHive(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(FRegistry.AutomaticHive());
    FRegistry.setManualHive(HKEY_USERS);
    EXPECT_FALSE(FRegistry.AutomaticHive());
    EXPECT_EQ(FRegistry.DefaultHive(), HKEY_USERS);
}

// Paths that must address HKEY_CURRENT_USER\Software\Demo, and paths that must not.
struct PathCase {
    const char* Path;
    bool Reaches;
};

class PathPreparationTest : public TWinRegistryTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathPreparationTest, AddressesTheKeyTheWayTheEditorShowsIt) {
    ASSERT_TRUE(FRegistry.CreateKey("HKEY_CURRENT_USER\\Software\\Demo"));
    ASSERT_TRUE(FRegistry.WriteStringValue("HKEY_CURRENT_USER\\Software\\Demo", "Marker", "here"));
    EXPECT_EQ(FRegistry.GetStringValue(GetParam().Path, "Marker"), GetParam().Reaches ? "here" : "");
    EXPECT_TRUE(FErrors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathPreparationTest,
    ::testing::Values(PathCase{"HKEY_CURRENT_USER\\Software\\Demo", true},
                      PathCase{"HKEY_CURRENT_USER\\Software\\Demo\\", true},
                      PathCase{"hkcu\\Software\\Demo", true}, PathCase{"HKEY_USER\\Software\\Demo", true},
                      PathCase{"Hkey_Current_User\\SOFTWARE\\demo", true},
                      PathCase{"Computer\\HKEY_CURRENT_USER\\Software\\Demo", true},
                      PathCase{"Computer\\hkcu\\Software\\Demo", true}, PathCase{"Software\\Demo", true},
                      PathCase{"Computer\\Software\\Demo", true},
                      PathCase{"computer\\HKCU\\Software\\Demo", false},
                      PathCase{"HKLM\\Software\\Demo", false}, PathCase{"HKCU\\Software", false},
                      PathCase{"HKCU Software\\Demo", false}));

TEST_F(TWinRegistryTest, LowerCaseHiveInAPathIsReadFromThatHive) {
    FRegistry.CreateKey("HKLM\\Software\\Vendor");
    FRegistry.WriteIntValue("HKLM\\Software\\Vendor", "Where", 2);
    EXPECT_EQ(FRegistry.GetIntValue("hklm\\Software\\Vendor", "Where"), 2);
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software\\Vendor"));
}

TEST_F(TWinRegistryTest, WithoutAutomaticHiveAHiveNameIsAnOrdinaryKeyName) {
    FRegistry.setManualHive(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(FRegistry.CreateKey("HKEY_CURRENT_USER\\Software\\X"));
    RegistryStore machine(HKEY_LOCAL_MACHINE, RegistryStore::Access::Read);
    EXPECT_TRUE(machine.KeyExists({"HKEY_CURRENT_USER", "Software", "X"}));
    RegistryStore user(HKEY_CURRENT_USER, RegistryStore::Access::Read);
    EXPECT_FALSE(user.KeyExists({"Software", "X"}));
}

TEST_F(TWinRegistryTest, OperationsOnTheHiveItselfDoNothing) {
    FRegistry.CreateKey("HKCU\\Software\\Keep");
    for (const char* path : {"HKCU", "HKCU\\", "Computer\\HKEY_CURRENT_USER\\", "", "\\\\"}) {
        EXPECT_FALSE(FRegistry.DeleteKey(path)) << path;
        EXPECT_FALSE(FRegistry.KeyExists(path)) << path;
        EXPECT_TRUE(FRegistry.CloneKey(path).isEmpty()) << path;
        EXPECT_FALSE(FRegistry.RenameKey(path, "Other")) << path;
        EXPECT_FALSE(FRegistry.MoveKey(path, "Elsewhere", true)) << path;
    }
    EXPECT_TRUE(FRegistry.KeyExists("HKCU\\Software\\Keep"));
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Elsewhere"));
    EXPECT_TRUE(FErrors.isEmpty());
}

struct HiveNameCase {
    const char* Name;
    HKEY Expected; // 0: not a hive name, the default comes back
};

class HiveNameTest : public ::testing::TestWithParam<HiveNameCase> {};

TEST_P(HiveNameTest, StringToHiveMatchesExactlyWithCase) {
    const HKEY fallback = 0x1234;
    const HiveNameCase& c = GetParam();
    EXPECT_EQ(TWinRegistry::StringToHive(c.Name, fallback), c.Expected ? c.Expected : fallback);
    HKEY hive = 0;
    EXPECT_EQ(TWinRegistry::StringToHiveEx(c.Name, hive), c.Expected != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HiveNameTest,
    ::testing::Values(
        HiveNameCase{"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, HiveNameCase{"HKCR", HKEY_CLASSES_ROOT},
        HiveNameCase{"HKEY_CLASSES", HKEY_CLASSES_ROOT}, HiveNameCase{"HKCU", HKEY_CURRENT_USER},
        HiveNameCase{"HKEY_USER", HKEY_CURRENT_USER}, HiveNameCase{"HKLM", HKEY_LOCAL_MACHINE},
        HiveNameCase{"HKEY_MACHINE", HKEY_LOCAL_MACHINE}, HiveNameCase{"HKU", HKEY_USERS},
        HiveNameCase{"HKEY_USERS", HKEY_USERS}, HiveNameCase{"HKCC", HKEY_CURRENT_CONFIG},
        HiveNameCase{"HKEY_CONFIG", HKEY_CURRENT_CONFIG}, HiveNameCase{"HKPD", HKEY_PERFORMANCE_DATA},
        HiveNameCase{"HKEY_DD", HKEY_DYN_DATA}, HiveNameCase{"HKEY_DYN_DATA", HKEY_DYN_DATA},
        HiveNameCase{"hklm", 0}, HiveNameCase{"Hkcu", 0}, HiveNameCase{"HKEY_CURRENT_USER ", 0},
        HiveNameCase{"", 0}, HiveNameCase{"Software", 0}));

TEST(TWinRegistryHiveTest, HiveToStringGivesTheCanonicalName) {
    EXPECT_EQ(TWinRegistry::HiveToString(HKEY_CURRENT_CONFIG), "HKEY_CURRENT_CONFIG");
    EXPECT_EQ(TWinRegistry::HiveToString(HKEY_DYN_DATA), "HKEY_DYN_DATA");
    EXPECT_EQ(TWinRegistry::HiveToString(HKEY_CURRENT_USER), "HKEY_CURRENT_USER");
    EXPECT_EQ(TWinRegistry::HiveToString(0), "Unknown");
    EXPECT_EQ(TWinRegistry::StringToHive("HKLM", HKEY_CURRENT_USER), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(TWinRegistry::StringToHive("hklm", HKEY_CURRENT_USER), HKEY_CURRENT_USER);
}

TEST_F(TWinRegistryTest, CloneKeyTakesTheFirstFreeCounterAndCopiesTheTree) {
    FRegistry.CreateKey("HKCU\\Software\\Demo\\Child");
    FRegistry.WriteStringValue("HKCU\\Software\\Demo", "Name", "demo");
    FRegistry.WriteIntValue("HKCU\\Software\\Demo\\Child", "Depth", 1);
    FRegistry.CreateKey("HKCU\\Software\\Demo(2)");
    EXPECT_EQ(FRegistry.CloneKey("HKCU\\Software\\Demo"), "Demo(3)");
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\Demo(3)", "Name"), "demo");
    EXPECT_EQ(FRegistry.GetIntValue("HKCU\\Software\\Demo(3)\\Child", "Depth"), 1);
    EXPECT_EQ(FRegistry.CloneKey("hkcu\\software\\DEMO"), "Demo(4)");
    EXPECT_EQ(FRegistry.CloneKey("HKCU\\Software\\Missing"), "");
    EXPECT_TRUE(FErrors.isEmpty());
}

TEST_F(TWinRegistryTest, RenameKeyMovesTheTree) {
    FRegistry.CreateKey("HKCU\\Software\\Old\\Child");
    FRegistry.WriteStringValue("HKCU\\Software\\Old\\Child", "v", "x");
    EXPECT_TRUE(FRegistry.RenameKey("HKCU\\Software\\Old", "New"));
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software\\Old"));
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\New\\Child", "v"), "x");
}

TEST_F(TWinRegistryTest, RenameKeyOfAMissingKeyIsFalseWithoutAMessage) {
    EXPECT_FALSE(FRegistry.RenameKey("HKCU\\Software\\Missing", "New"));
    EXPECT_TRUE(FErrors.isEmpty());
    EXPECT_EQ(FRegistry.LastError(), TRegistryError::None);
}

TEST_F(TWinRegistryTest, RenameKeyOntoAnExistingNameMovesNothing) {
    FRegistry.CreateKey("HKCU\\Software\\A");
    FRegistry.WriteIntValue("HKCU\\Software\\A", "a", 1);
    FRegistry.CreateKey("HKCU\\Software\\B");
    EXPECT_TRUE(FRegistry.RenameKey("HKCU\\Software\\A", "B"));
    EXPECT_TRUE(FRegistry.KeyExists("HKCU\\Software\\A"));
    EXPECT_FALSE(FRegistry.GetValueExists("HKCU\\Software\\B", "a"));
}

TEST_F(TWinRegistryTest, RenameKeyCanChangeOnlyTheLetterCase) {
    FRegistry.CreateKey("HKCU\\Software\\demo");
    EXPECT_TRUE(FRegistry.RenameKey("HKCU\\Software\\demo", "Demo"));
    const QStringList names = FRegistry.GetKeyNames("HKCU\\Software");
    EXPECT_TRUE(names.contains("Demo", Qt::CaseSensitive));
    EXPECT_FALSE(names.contains("demo", Qt::CaseSensitive));
}

TEST_F(TWinRegistryTest, RenameKeyRefusesANameWithADelimiter) {
    FRegistry.CreateKey("HKCU\\Software\\A");
    EXPECT_FALSE(FRegistry.RenameKey("HKCU\\Software\\A", "B\\C"));
    EXPECT_EQ(FErrors, QList<TRegistryError>{TRegistryError::KeyNoExist});
    EXPECT_TRUE(FRegistry.KeyExists("HKCU\\Software\\A"));
}

TEST_F(TWinRegistryTest, MoveAndCopyTakeAnAbsoluteDestination) {
    FRegistry.CreateKey("HKCU\\Software\\Src\\Sub");
    FRegistry.WriteStringValue("HKCU\\Software\\Src\\Sub", "v", "x");
    EXPECT_TRUE(FRegistry.CopyKey("HKCU\\Software\\Src", "Backup\\Copy"));
    EXPECT_TRUE(FRegistry.KeyExists("HKCU\\Software\\Src"));
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Backup\\Copy\\Sub", "v"), "x");
    EXPECT_TRUE(FRegistry.MoveKey("HKCU\\Software\\Src", "Moved\\", true));
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software\\Src"));
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Moved\\Sub", "v"), "x");
    EXPECT_TRUE(FErrors.isEmpty());
}

TEST_F(TWinRegistryTest, MovingAKeyIntoItselfIsRefusedAndChangesNothing) {
    FRegistry.CreateKey("HKCU\\Software\\Src");
    FRegistry.WriteIntValue("HKCU\\Software\\Src", "v", 5);
    EXPECT_FALSE(FRegistry.MoveKey("HKCU\\Software\\Src", "Software\\Src\\Inner", true));
    EXPECT_FALSE(FRegistry.MoveKey("HKCU\\Software\\Src", "SOFTWARE\\src", true));
    EXPECT_EQ(FErrors, (QList<TRegistryError>{TRegistryError::AccessDenied, TRegistryError::AccessDenied}));
    EXPECT_EQ(FRegistry.GetIntValue("HKCU\\Software\\Src", "v"), 5);
    EXPECT_EQ(FRegistry.GetKeyNames("HKCU\\Software\\Src"), QStringList{});
}

TEST_F(TWinRegistryTest, DeleteKeyTakesSubKeys) {
    FRegistry.CreateKey("HKCU\\Software\\Demo\\A\\B");
    FRegistry.CreateKey("HKCU\\Software\\Demo\\C");
    EXPECT_TRUE(FRegistry.DeleteKey("HKCU\\Software\\Demo"));
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software\\Demo"));
    EXPECT_TRUE(FRegistry.KeyExists("HKCU\\Software"));
    EXPECT_FALSE(FRegistry.DeleteKey("HKCU\\Software\\Demo"));
}

TEST_F(TWinRegistryTest, TypedValuesRoundTrip) {
    const QString key = "HKCU\\Software\\Types";
    ASSERT_TRUE(FRegistry.CreateKey(key));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Text", "tëxt"));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Int", qint32(-7)));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Bool", true));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Float", 2.5));
    EXPECT_TRUE(FRegistry.WriteCurrency(key, "Money", 123456789));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Date", QDate(2024, 2, 29)));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Time", QTime(18, 30, 15)));
    const QDateTime early(QDate(1899, 12, 29), QTime(6, 0));
    EXPECT_TRUE(FRegistry.WriteValue(key, "Early", early));
    EXPECT_EQ(FRegistry.GetStringValue(key, "Text"), "tëxt");
    EXPECT_EQ(FRegistry.GetIntValue(key, "Int"), -7);
    EXPECT_TRUE(FRegistry.GetBooleanValue(key, "Bool"));
    EXPECT_EQ(FRegistry.GetIntValue(key, "Bool"), 1);
    EXPECT_DOUBLE_EQ(FRegistry.GetFloatValue(key, "Float"), 2.5);
    EXPECT_EQ(FRegistry.GetCurrencyValue(key, "Money"), 123456789);
    EXPECT_EQ(FRegistry.GetDateValue(key, "Date"), QDate(2024, 2, 29));
    EXPECT_EQ(FRegistry.GetTimeValue(key, "Time"), QTime(18, 30, 15));
    EXPECT_EQ(FRegistry.GetDateTimeValue(key, "Early"), early);
    // The stored form is the day number: 1899-12-29 06:00 is -1.25.
    EXPECT_DOUBLE_EQ(FRegistry.GetFloatValue(key, "Early"), -1.25);
    EXPECT_DOUBLE_EQ(FRegistry.GetFloatValue(key, "Date"), 45351.0);
    EXPECT_EQ(FRegistry.GetValueType(key, "Float"), TRegDataType::rdBinary);
    EXPECT_EQ(FRegistry.GetValueType(key, "Int"), TRegDataType::rdInteger);
    EXPECT_EQ(FRegistry.GetValueType(key, "Text"), TRegDataType::rdString);
    EXPECT_EQ(FRegistry.GetValueType(key, "Missing"), TRegDataType::rdUnknown);
    EXPECT_EQ(FRegistry.GetValueNames(key).size(), 8);
    EXPECT_TRUE(FErrors.isEmpty());
}

TEST_F(TWinRegistryTest, GetValueAsStringConvertsIntegersAndLeavesBinaryEmpty) {
    const QString key = "HKCU\\Software\\Values";
    FRegistry.CreateKey(key);
    FRegistry.WriteIntValue(key, "Dword", 42);
    FRegistry.WriteFloatValue(key, "Binary", 1.0);
    FRegistry.WriteStringValue(key, "Text", "hello");
    {
        RegistryStore store(HKEY_CURRENT_USER, RegistryStore::Access::Write);
        store.WriteValue({"Software", "Values"}, "Expand",
                         DesktopRegistryKeys::TextValue("%TEMP%", REG_EXPAND_SZ));
        store.WriteValue({"Software", "Values"}, "Bytes",
                         RegistryValue{REG_BINARY, QByteArray("\x01\xAB\x00", 3)});
        store.Commit();
    }
    EXPECT_EQ(FRegistry.GetValueAsString(key, "Dword"), "42");
    EXPECT_EQ(FRegistry.GetValueAsString(key, "Binary"), "");
    EXPECT_EQ(FRegistry.GetValueAsString(key, "Text"), "hello");
    EXPECT_EQ(FRegistry.GetValueAsString(key, "Expand"), "%TEMP%");
    EXPECT_EQ(FRegistry.GetValueAsString(key, "Missing"), "");
    EXPECT_TRUE(FErrors.isEmpty());
    EXPECT_EQ(FRegistry.GetValueAsStringEx(key, "Bytes"), "01,AB,00");
    EXPECT_EQ(FRegistry.GetValueAsStringEx(key, "Dword"), "42");
    EXPECT_EQ(FRegistry.GetValueAsStringEx(key, "Text"), "hello");
}

TEST_F(TWinRegistryTest, AValueOfTheWrongTypeIsAReadError) {
    const QString key = "HKCU\\Software\\Values";
    FRegistry.CreateKey(key);
    FRegistry.WriteIntValue(key, "Dword", 42);
    FRegistry.WriteStringValue(key, "Text", "42");
    EXPECT_EQ(FRegistry.GetStringValue(key, "Dword"), "");
    EXPECT_EQ(FRegistry.GetIntValue(key, "Text"), 0);
    EXPECT_DOUBLE_EQ(FRegistry.GetFloatValue(key, "Dword"), 0.0);
    EXPECT_EQ(FErrors, QList<TRegistryError>(3, TRegistryError::ReadError));
    EXPECT_EQ(FRegistry.LastError(), TRegistryError::ReadError);
}

TEST_F(TWinRegistryTest, MissingValuesReadAsEmptyWithoutError) {
    FRegistry.CreateKey("HKCU\\Software\\Empty");
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\Empty", "x"), "");
    EXPECT_EQ(FRegistry.GetIntValue("HKCU\\Software\\Missing", "x"), 0);
    EXPECT_FALSE(FRegistry.GetValueExists("HKCU\\Software\\Missing", "x"));
    EXPECT_TRUE(FRegistry.GetKeyNames("HKCU\\Software\\Missing").isEmpty());
    EXPECT_TRUE(FErrors.isEmpty());
}

TEST_F(TWinRegistryTest, WritingIntoAMissingKeyIsAccessDenied) {
    EXPECT_FALSE(FRegistry.WriteStringValue("HKCU\\Software\\Missing", "x", "y"));
    EXPECT_EQ(FErrors, QList<TRegistryError>{TRegistryError::AccessDenied});
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software\\Missing"));
}

TEST_F(TWinRegistryTest, ErrorKindsChooseTheChannel) {
    FRegistry.CreateKey("HKCU\\Software\\E");
    FRegistry.WriteIntValue("HKCU\\Software\\E", "Dword", 1);

    FRegistry.setErrorKind(TRegistryErrorKind::Disabled);
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\E", "Dword"), "");
    EXPECT_TRUE(FErrors.isEmpty());
    EXPECT_EQ(FRegistry.LastError(), TRegistryError::ReadError);

    FRegistry.setErrorKind(TRegistryErrorKind::OperatingSystem);
    EXPECT_THROW(FRegistry.WriteStringValue("HKCU\\Software\\Missing", "x", "y"), std::system_error);
    EXPECT_EQ(FRegistry.LastError(), TRegistryError::ReadError);

    FRegistry.setErrorKind(TRegistryErrorKind::Receive);
    FRegistry.setOnRaiseError(nullptr);
    EXPECT_FALSE(FRegistry.WriteStringValue("HKCU\\Software\\Missing", "x", "y"));
    EXPECT_EQ(FRegistry.LastError(), TRegistryError::AccessDenied);
}

TEST_F(TWinRegistryTest, TheDefaultReceiverShowsItsTextThroughTheInstalledPresenter) {
    static int argc = 1;
    static char name[] = "registry-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    QStringList shown;
    SetRegistryErrorPresenter([&shown](const QString& message) { shown << message; });
    TWinRegistry registry; // a fresh one: the default receiver
    EXPECT_FALSE(registry.WriteStringValue("HKCU\\Software\\Missing", "x", "y"));
    SetRegistryErrorPresenter(nullptr);
    EXPECT_EQ(shown, QStringList{RegistryErrorMessage(registry.LastError())});
    EXPECT_FALSE(shown.value(0).isEmpty());
}

TEST(TWinRegistryMessageTest, DefaultReceiverTexts) {
    EXPECT_EQ(RegistryErrorMessage(TRegistryError::AccessDenied), "Windows Registry Error: Access Denied");
    EXPECT_EQ(RegistryErrorMessage(TRegistryError::KeyNoExist),
              "Windows Registry Error: The specified key does not exist");
    EXPECT_EQ(RegistryErrorMessage(TRegistryError::ReadError),
              "Windows Registry Error: Cannot read from the Windows Registry");
    EXPECT_EQ(RegistryErrorMessage(TRegistryError::None), "");
}

TEST_F(TWinRegistryTest, ALockedDatabaseGivesTheRegistryErrorAndNoHalfWrittenKey) {
    FRegistry.CreateKey("HKCU\\Software\\Locked");
    FRegistry.WriteStringValue("HKCU\\Software\\Locked", "v", "before");
    RegistryStore::SetBusyTimeout(0);
    sqlite3* other = nullptr;
    ASSERT_EQ(
        sqlite3_open(QFile::encodeName(RegistryStore::DatabasePath(HKEY_CURRENT_USER)).constData(), &other),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\Locked", "v"), "");
    EXPECT_FALSE(FRegistry.WriteStringValue("HKCU\\Software\\Locked", "v", "after"));
    EXPECT_FALSE(FRegistry.MoveKey("HKCU\\Software\\Locked", "Moved", true));
    EXPECT_EQ(FErrors, (QList<TRegistryError>{TRegistryError::ReadError, TRegistryError::AccessDenied,
                                              TRegistryError::AccessDenied}));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(FRegistry.GetStringValue("HKCU\\Software\\Locked", "v"), "before");
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Moved"));
}

TEST_F(TWinRegistryTest, ADamagedDatabaseGivesTheRegistryError) {
    const QString path = RegistryStore::DatabasePath(HKEY_CURRENT_USER);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5A'));
    file.close();
    EXPECT_FALSE(FRegistry.KeyExists("HKCU\\Software"));
    EXPECT_FALSE(FRegistry.CreateKey("HKCU\\Software\\New"));
    EXPECT_EQ(FErrors, (QList<TRegistryError>{TRegistryError::ReadError, TRegistryError::AccessDenied}));
}

TEST_F(TWinRegistryTest, DesktopAppearanceReadsThroughTheThemeKeys) {
    DesktopAppearance::SetOverride(DesktopAppearance::State{DesktopAppearance::ColorScheme::PreferDark,
                                                            DesktopAppearance::Rgb{0, 120, 215}});
    const QString personalize =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize\\";
    EXPECT_TRUE(FRegistry.KeyExists(personalize));
    EXPECT_TRUE(FRegistry.GetValueExists(personalize, "AppsUseLightTheme"));
    EXPECT_EQ(FRegistry.GetIntValue(personalize, "AppsUseLightTheme"), 0);
    EXPECT_EQ(quint32(FRegistry.GetIntValue("HKCU\\Software\\Microsoft\\Windows\\DWM", "AccentColor")),
              0xFFD77800u);
}

} // namespace
