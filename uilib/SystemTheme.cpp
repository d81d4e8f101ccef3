#include "SystemTheme.h"

#include "ColorFunctions.h"
#include "TWinRegistry.h"


namespace {

FXRegistryValueReader& Reader() {
    static FXRegistryValueReader reader;
    return reader;
}

// The registry store answers these keys with the desktop's colour scheme and
// accent unless a value is stored there.
std::optional<std::uint32_t> RegistryValue(const QString& key, const QString& name) {
    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    const QString path = QStringLiteral("HKEY_CURRENT_USER\\") + key;
    if (!registry.GetValueExists(path, name) || registry.GetValueType(path, name) != TRegDataType::rdInteger)
        return std::nullopt;
    const qint32 value = registry.GetIntValue(path, name);
    if (registry.LastError() != TRegistryError::None) return std::nullopt;
    return std::uint32_t(value);
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

bool IsDesignEnvironment() { return Designing(); }

void SetDesignEnvironment(bool designing) { Designing() = designing; }
