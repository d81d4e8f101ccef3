#include "DesktopRegistryKeys.h"
#include "RegistryStore.h"
#include "XdgFolders.h"

#include "TempProfile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QStringList UserShellFolders = {"Software",       "Microsoft", "Windows",
                                      "CurrentVersion", "Explorer",  "User Shell Folders"};

QString ValueText(const QStringList& key, const QString& name, HKEY hive = HKEY_CURRENT_USER) {
    RegistryStore store(hive, RegistryStore::Access::Read);
    const auto value = store.ReadValue(key, name);
    return value ? QString::fromUtf8(value->Data) : QStringLiteral("<missing>");
}

void WriteUserDirs(const TempProfile& profile, const QByteArray& text) {
    QDir().mkpath(profile.Home() + "/.config");
    QFile file(profile.Home() + "/.config/user-dirs.dirs");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(DesktopRegistryKeysTest, UserFoldersComeFromUserDirs) {
    TempProfile profile;
    WriteUserDirs(profile, "# written by xdg-user-dirs-update\n"
                           "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                           "XDG_DOWNLOAD_DIR=\"/srv/downloads\"\n"
                           "XDG_MUSIC_DIR=\"relative/ignored\"\n");
    EXPECT_EQ(ValueText(UserShellFolders, "Desktop"), profile.Home() + "/Schreibtisch");
    EXPECT_EQ(ValueText(UserShellFolders, "{374DE290-123F-4565-9164-39C4925E467B}"), "/srv/downloads");
    EXPECT_EQ(ValueText(UserShellFolders, "My Music"), profile.Home() + "/Music");
    EXPECT_EQ(ValueText(UserShellFolders, "Personal"), profile.Home() + "/Documents");
    EXPECT_EQ(ValueText(UserShellFolders, "Local AppData"), profile.Home() + "/.local/share");
    EXPECT_EQ(ValueText(UserShellFolders, "AppData"), profile.Home() + "/.config");
    EXPECT_EQ(ValueText(UserShellFolders, "Programs"), profile.Home() + "/.local/share/applications");
    EXPECT_EQ(ValueText(UserShellFolders, "NetHood"), "<missing>");
}

TEST(DesktopRegistryKeysTest, FoldersFollowAChangedHome) {
    TempProfile profile;
    EXPECT_EQ(XdgUserFolder("DESKTOP"), profile.Home() + "/Desktop");
    profile.Set("HOME", profile.Root() + "/other");
    profile.Unset("XDG_DATA_HOME");
    EXPECT_EQ(XdgUserFolder("DESKTOP"), profile.Root() + "/other/Desktop");
    EXPECT_EQ(XdgDataHome(), profile.Root() + "/other/.local/share");
}

TEST(DesktopRegistryKeysTest, RelativeXdgVariablesAreIgnored) {
    TempProfile profile;
    profile.Set("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgConfigHome(), profile.Home() + "/.config");
}

TEST(DesktopRegistryKeysTest, MachineShellFoldersNameTheSystemLaunchers) {
    TempProfile profile;
    const QStringList key = {"SOFTWARE",       "Microsoft", "Windows",
                             "CurrentVersion", "Explorer",  "Shell Folders"};
    EXPECT_EQ(ValueText(key, "Common Programs", HKEY_LOCAL_MACHINE), "/usr/share/applications");
    EXPECT_TRUE(DesktopRegistryKeys::IsKey(HKEY_LOCAL_MACHINE, key));
    EXPECT_FALSE(DesktopRegistryKeys::IsKey(HKEY_CLASSES_ROOT, key));
}

TEST(DesktopRegistryKeysTest, LightSchemesAndNoPreferenceReadAsLight) {
    TempProfile profile;
    const QStringList personalize = {"Software",       "Microsoft", "Windows",
                                     "CurrentVersion", "Themes",    "Personalize"};
    for (auto [scheme, expected] : {std::pair{DesktopAppearance::ColorScheme::NoPreference, 1u},
                                    std::pair{DesktopAppearance::ColorScheme::PreferLight, 1u},
                                    std::pair{DesktopAppearance::ColorScheme::PreferDark, 0u}}) {
        DesktopAppearance::SetOverride(DesktopAppearance::State{scheme, std::nullopt});
        const auto values = DesktopRegistryKeys::Values(HKEY_CURRENT_USER, personalize);
        ASSERT_EQ(values.size(), 2);
        EXPECT_EQ(values[0].Value.Data, DesktopRegistryKeys::DwordValue(expected).Data);
    }
}

} // namespace
