#pragma once
// The system's appearance as the registry store answers it: the light/dark
// switch for applications and the accent colour. Reads never fail outwards.
#include "FXTypes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

inline constexpr char PersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize\\";
inline constexpr char DwmKey[] = "Software\\Microsoft\\Windows\\DWM\\";

// Reads one 32-bit value below HKEY_CURRENT_USER: nothing when the key does not
// open or the value is missing.
using FXRegistryValueReader =
    std::function<std::optional<std::uint32_t>(const QString& Key, const QString& Name)>;

// Replaces the reader behind the functions below; an empty one restores the
// registry store.
void SetSystemValueReader(FXRegistryValueReader reader);

// Dark only when "AppsUseLightTheme" exists and is not 1.
bool ReadSystemDarkMode();
// The "AccentColor" value without its alpha byte, 0xD77800 when it is missing;
// raised by 50 on every channel when Lighten.
TColor ReadSystemAccentColor(bool Lighten);
// Whether the library runs inside a design tool. Never on this platform unless
// a test says so.
bool IsDesignEnvironment();
void SetDesignEnvironment(bool designing);
