#include "FXRegistry.h"
#include "FXQuickReg.h"
#include "TempProfile.h"

#include <gtest/gtest.h>

namespace {

class FXRegistryTest : public testing::Test {
  protected:
    void SetUp() override {
        FXRegistry::SetErrorPresenter([this](const QString& message) { FMessages.append(message); });
    }
    void TearDown() override { FXRegistry::SetErrorPresenter({}); }

    TempProfile FProfile;
    QStringList FMessages;
};

TEST_F(FXRegistryTest, StartsWithTheDocumentedDefaults) {
    FXRegistry registry;
    EXPECT_EQ(registry.DefaultHive(), HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.AutomaticHive());
    EXPECT_EQ(registry.LastError(), FXRegistryError::reNone);
    EXPECT_EQ(registry.RegistryMode(), FXRegistryMode::rmUnloaded);
    EXPECT_TRUE(registry.WinModeLoaded());
    EXPECT_EQ(registry.RegistryMode(), FXRegistryMode::rmWindows64);
}

struct PathCase {
    const char* path;
    bool reaches; // addresses HKEY_LOCAL_MACHINE\Software\Demo
};

class FXRegistryPathTest : public FXRegistryTest, public testing::WithParamInterface<PathCase> {};

TEST_P(FXRegistryPathTest, OnlyTheLongHiveNamesAsWrittenNameTheHive) {
    FXRegistry registry;
    ASSERT_TRUE(registry.CreateKey("HKEY_LOCAL_MACHINE\\Software\\Demo"));
    ASSERT_TRUE(registry.WriteStringValue("HKEY_LOCAL_MACHINE\\Software\\Demo", "Marker", "here"));
    EXPECT_EQ(registry.GetStringValue(GetParam().path, "Marker"), GetParam().reaches ? "here" : "");
    EXPECT_TRUE(FMessages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Paths, FXRegistryPathTest,
                         testing::Values(PathCase{"HKEY_LOCAL_MACHINE\\Software\\Demo", true},
                                         PathCase{"HKEY_LOCAL_MACHINE\\Software\\Demo\\", true},
                                         PathCase{"Computer\\HKEY_LOCAL_MACHINE\\Software\\Demo", true},
                                         PathCase{"HKLM\\Software\\Demo", false},
                                         PathCase{"hkey_local_machine\\Software\\Demo", false},
                                         PathCase{"Software\\Demo", false}));

TEST_F(FXRegistryTest, ShortNamesAreKeysBelowTheDefaultHive) {
    FXRegistry registry;
    ASSERT_TRUE(registry.CreateKey("HKCU\\Software"));
    EXPECT_TRUE(registry.KeyExists("HKEY_CURRENT_USER\\HKCU\\Software"));
    EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\Software\\HKCU"));
}

TEST_F(FXRegistryTest, ManualHiveTakesHiveNamesLiterally) {
    FXRegistry registry;
    registry.setManualHive(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.AutomaticHive());
    ASSERT_TRUE(registry.CreateKey("HKEY_CURRENT_USER\\Demo"));
    FXRegistry automatic;
    EXPECT_TRUE(automatic.KeyExists("HKEY_LOCAL_MACHINE\\HKEY_CURRENT_USER\\Demo"));
    EXPECT_FALSE(automatic.KeyExists("HKEY_CURRENT_USER\\Demo"));
}

TEST_F(FXRegistryTest, EveryErrorShowsItsMessage) {
    FXRegistry registry;
    EXPECT_FALSE(registry.WriteStringValue("HKEY_CURRENT_USER\\Software\\Missing", "Name", "value"));
    EXPECT_EQ(registry.LastError(), FXRegistryError::reAccessDenied);
    ASSERT_EQ(FMessages.size(), 1);
    EXPECT_EQ(FMessages[0], "Windows Registry Error: Access Denied");
}

TEST_F(FXRegistryTest, ValuesRoundTrip) {
    FXRegistry registry;
    const QString key = "HKEY_CURRENT_USER\\Software\\Brenvale\\Test";
    ASSERT_TRUE(registry.CreateKey(key));
    EXPECT_TRUE(registry.WriteValue(key, "Count", qint32(42)));
    EXPECT_TRUE(registry.WriteValue(key, "Name", "Formshift"));
    EXPECT_TRUE(registry.WriteValue(key, "On", true));
    EXPECT_EQ(registry.GetIntValue(key, "Count"), 42);
    EXPECT_EQ(registry.GetValueAsString(key, "Count"), "42");
    EXPECT_EQ(registry.GetStringValue(key, "Name"), "Formshift");
    EXPECT_TRUE(registry.GetBooleanValue(key, "On"));
    EXPECT_EQ(registry.GetValueType(key, "Name"), TRegDataType::rdString);
    EXPECT_EQ(registry.GetValueNames(key), (QStringList{"Count", "Name", "On"}));
    EXPECT_TRUE(FMessages.isEmpty());
}

TEST_F(FXRegistryTest, QuickRegDoesOneCallEach) {
    const QString key = "HKEY_CURRENT_USER\\Software\\Quick";
    EXPECT_FALSE(FXQuickReg::KeyExists(key));
    EXPECT_TRUE(FXQuickReg::CreateKey(key));
    EXPECT_TRUE(FXQuickReg::KeyExists(key));
    FXRegistry().WriteStringValue(key, "Greeting", "hello");
    EXPECT_TRUE(FXQuickReg::GetValueExists(key, "Greeting"));
    EXPECT_EQ(FXQuickReg::GetStringValue(key, "Greeting"), "hello");
    EXPECT_TRUE(FXQuickReg::DeleteValue(key, "Greeting"));
    EXPECT_FALSE(FXQuickReg::GetValueExists(key, "Greeting"));
    EXPECT_TRUE(FXQuickReg::RenameKey(key, "Renamed"));
    EXPECT_FALSE(FXQuickReg::KeyExists(key));
    EXPECT_TRUE(FXQuickReg::KeyExists("HKEY_CURRENT_USER\\Software\\Renamed"));
    EXPECT_TRUE(FXQuickReg::DeleteKey("HKEY_CURRENT_USER\\Software\\Renamed"));
    EXPECT_FALSE(FXQuickReg::KeyExists("HKEY_CURRENT_USER\\Software\\Renamed"));
    EXPECT_TRUE(FMessages.isEmpty());
}

} // namespace
