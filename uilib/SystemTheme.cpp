#include "SystemTheme.h"

#include "ColorFunctions.h"

#include <sys/utsname.h>

#include <cstdio>

namespace {

FXRegistryValueReader& Reader() {
    static FXRegistryValueReader reader;
    return reader;
}

std::optional<std::uint32_t> RegistryValue(const QString& key, const QString& name) {
    (void)key;
    (void)name;
    return std::nullopt;
}

std::optional<std::uint32_t> ReadValue(const char* key, const char* name) {
    const QString k = QString::fromLatin1(key);
    const QString n = QString::fromLatin1(name);
    return Reader() ? Reader()(k, n) : RegistryValue(k, n);
}

bool& Designing() {
    static bool designing = false;
    return designing;
}

} // namespace

void SetSystemValueReader(FXRegistryValueReader reader) { Reader() = std::move(reader); }

bool ReadSystemDarkMode() {
    const auto light = ReadValue(PersonalizeKey, "AppsUseLightTheme");
    return light.has_value() && *light != 1;
}

TColor ReadSystemAccentColor(bool Lighten) {
    TColor accent = 0xD77800;
    // Stored as 0xAABBGGRR: dropping the alpha byte leaves a Windows colour.
    if (const auto stored = ReadValue(DwmKey, "AccentColor")) accent = *stored & 0xFFFFFF;
    return Lighten ? ChangeLightness(accent, 50) : accent;
}

double GetWindowsVersion() {
    utsname name{};
    if (uname(&name) != 0) return 0;
    int major = 0;
    int minor = 0;
    if (std::sscanf(name.release, "%d.%d", &major, &minor) < 1) return 0;
    return major + minor / 10.0;
}

bool IsDesignEnvironment() { return Designing(); }

void SetDesignEnvironment(bool designing) { Designing() = designing; }
