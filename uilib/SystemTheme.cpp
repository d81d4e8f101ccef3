#include "SystemTheme.h"

#include "ColorFunctions.h"
#include "DesktopAppearance.h"
#include "RegistryStore.h"
#include "TWinRegistry.h"

#include <map>
#include <mutex>

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

// What the answers depend on: the stored hive and the desktop's own values.
QByteArray AnswerStamp() {
    QByteArray stamp = RegistryStore::ChangeStamp(HKEY_CURRENT_USER);
    const DesktopAppearance::State desktop = DesktopAppearance::Current();
    stamp += '|' + (desktop.Scheme ? QByteArray::number(int(*desktop.Scheme)) : QByteArray("-"));
    if (desktop.Accent)
        stamp += '|' + QByteArray::number(desktop.Accent->Red) + ',' +
                 QByteArray::number(desktop.Accent->Green) + ',' + QByteArray::number(desktop.Accent->Blue);
    return stamp;
}

// The theme poll asks ten times a second; the answers change only when the store
// or the desktop does, so they are kept until the stamp says one of them did.
std::optional<std::uint32_t> CachedRegistryValue(const QString& key, const QString& name) {
    static std::mutex lock;
    static QByteArray cachedStamp;
    static std::map<QString, std::optional<std::uint32_t>> cached;
    const QByteArray stamp = AnswerStamp();
    std::lock_guard guard(lock);
    if (stamp != cachedStamp) {
        cached.clear();
        cachedStamp = stamp;
    }
    const QString id = key + QLatin1Char('\n') + name;
    if (const auto found = cached.find(id); found != cached.end()) return found->second;
    // Read after the stamp: a change in between is caught by the next stamp.
    return cached.emplace(id, RegistryValue(key, name)).first->second;
}

std::optional<std::uint32_t> ReadValue(const char* key, const char* name) {
    const QString k = QString::fromLatin1(key);
    const QString n = QString::fromLatin1(name);
    return Reader() ? Reader()(k, n) : CachedRegistryValue(k, n);
}

bool& Designing() {
    static bool designing = false;
    return designing;
}

} // namespace

void SetSystemValueReader(FXRegistryValueReader reader) {
    Reader() = std::move(reader);
}

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

bool IsDesignEnvironment() {
    return Designing();
}

void SetDesignEnvironment(bool designing) {
    Designing() = designing;
}
