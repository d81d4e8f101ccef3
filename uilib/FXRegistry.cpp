#include "FXRegistry.h"

namespace {

constexpr struct {
    const char* Name;
    HKEY Hive;
} LongHiveNames[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

std::function<void(const QString&)>& Presenter() {
    static std::function<void(const QString&)> presenter;
    return presenter;
}

} // namespace

FXRegistry::FXRegistry() {
    FRegistry.setErrorKind(TRegistryErrorKind::Receive);
    FRegistry.setOnRaiseError([this](TRegistryError error) { ShowError(error); });
}

void FXRegistry::setRegistryMode(FXRegistryMode mode) {
    FRegistryMode = mode;
}
void FXRegistry::setAutomaticHive(bool automatic) {
    FAutoHive = automatic;
}

void FXRegistry::setManualHive(HKEY hive) {
    FDefaultHive = hive;
    FAutoHive = false;
}

void FXRegistry::setDefaultHive(HKEY hive) {
    FDefaultHive = hive;
}

void FXRegistry::SetNewRegistryMode(FXRegistryMode AMode) {
    FRegistryMode = AMode;
}

// One registry view here, as on every system the programs support.
void FXRegistry::ResetRegistryMode() {
    FRegistryMode = FXRegistryMode::rmWindows64;
}

bool FXRegistry::WinModeLoaded() {
    if (FRegistryMode == FXRegistryMode::rmUnloaded) ResetRegistryMode();
    return true;
}

void FXRegistry::SetErrorPresenter(std::function<void(const QString&)> presenter) {
    Presenter() = std::move(presenter);
}

void FXRegistry::ShowError(TRegistryError error) {
    switch (error) {
    case TRegistryError::None:
        FLastError = FXRegistryError::reNone;
        break;
    case TRegistryError::AccessDenied:
        FLastError = FXRegistryError::reAccessDenied;
        break;
    case TRegistryError::KeyNoExist:
        FLastError = FXRegistryError::reKeyNoExist;
        break;
    case TRegistryError::ReadError:
        FLastError = FXRegistryError::reReadError;
        break;
    }
    if (Presenter()) {
        const QString message = RegistryErrorMessage(error);
        if (!message.isEmpty()) Presenter()(message);
        return;
    }
    FRegistry.RegistryReceiveError(error);
}

QString FXRegistry::Aim(const QString& KeyLocation) {
    QString path = KeyLocation;
    if (!path.endsWith(QLatin1Char('\\'))) path += QLatin1Char('\\');
    if (path.startsWith(QLatin1String("Computer\\"))) path.remove(0, 9);
    HKEY hive = FDefaultHive;
    if (FAutoHive) {
        const QString first = path.left(path.indexOf(QLatin1Char('\\')));
        for (const auto& entry : LongHiveNames) {
            if (first == QLatin1String(entry.Name)) {
                hive = entry.Hive;
                path.remove(0, first.size() + 1);
                break;
            }
        }
    }
    FRegistry.setManualHive(hive);
    switch (FRegistryMode) {
    case FXRegistryMode::rmUnloaded:
        FRegistry.setRegistryMode(TRegistryMode::Unloaded);
        break;
    case FXRegistryMode::rmWindows32:
        FRegistry.setRegistryMode(TRegistryMode::Windows32);
        break;
    case FXRegistryMode::rmWindows64:
        FRegistry.setRegistryMode(TRegistryMode::Windows64);
        break;
    case FXRegistryMode::rmAutomatic:
        FRegistry.setRegistryMode(TRegistryMode::Automatic);
        break;
    }
    return path;
}

bool FXRegistry::CreateKey(const QString& KeyLocation) {
    return FRegistry.CreateKey(Aim(KeyLocation));
}
bool FXRegistry::DeleteKey(const QString& KeyLocation) {
    return FRegistry.DeleteKey(Aim(KeyLocation));
}
bool FXRegistry::KeyExists(const QString& KeyLocation) {
    return FRegistry.KeyExists(Aim(KeyLocation));
}
QString FXRegistry::CloneKey(const QString& KeyLocation) {
    return FRegistry.CloneKey(Aim(KeyLocation));
}

bool FXRegistry::RenameKey(const QString& KeyLocation, const QString& NewName) {
    return FRegistry.RenameKey(Aim(KeyLocation), NewName);
}

bool FXRegistry::MoveKey(const QString& KeyLocation, const QString& NewLocation, bool AlsoDelete) {
    return FRegistry.MoveKey(Aim(KeyLocation), NewLocation, AlsoDelete);
}

bool FXRegistry::CopyKey(const QString& KeyLocation, const QString& NewLocation) {
    return FRegistry.CopyKey(Aim(KeyLocation), NewLocation);
}

QStringList FXRegistry::GetKeyNames(const QString& KeyLocation) {
    return FRegistry.GetKeyNames(Aim(KeyLocation));
}
QStringList FXRegistry::GetValueNames(const QString& KeyLocation) {
    return FRegistry.GetValueNames(Aim(KeyLocation));
}

bool FXRegistry::GetValueExists(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetValueExists(Aim(KeyLocation), ValueName);
}
bool FXRegistry::DeleteValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.DeleteValue(Aim(KeyLocation), ValueName);
}
QString FXRegistry::GetStringValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetStringValue(Aim(KeyLocation), ValueName);
}
qint32 FXRegistry::GetIntValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetIntValue(Aim(KeyLocation), ValueName);
}
bool FXRegistry::GetBooleanValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetBooleanValue(Aim(KeyLocation), ValueName);
}
double FXRegistry::GetFloatValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetFloatValue(Aim(KeyLocation), ValueName);
}
TCurrency FXRegistry::GetCurrencyValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetCurrencyValue(Aim(KeyLocation), ValueName);
}
QDate FXRegistry::GetDateValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetDateValue(Aim(KeyLocation), ValueName);
}
QTime FXRegistry::GetTimeValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetTimeValue(Aim(KeyLocation), ValueName);
}
QDateTime FXRegistry::GetDateTimeValue(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetDateTimeValue(Aim(KeyLocation), ValueName);
}
TRegDataType FXRegistry::GetValueType(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetValueType(Aim(KeyLocation), ValueName);
}
QString FXRegistry::GetValueAsString(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetValueAsString(Aim(KeyLocation), ValueName);
}
QString FXRegistry::GetValueAsStringEx(const QString& KeyLocation, const QString& ValueName) {
    return FRegistry.GetValueAsStringEx(Aim(KeyLocation), ValueName);
}

bool FXRegistry::WriteStringValue(const QString& KeyLocation, const QString& ItemName, const QString& Value) {
    return FRegistry.WriteStringValue(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteIntValue(const QString& KeyLocation, const QString& ItemName, qint32 Value) {
    return FRegistry.WriteIntValue(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteBooleanValue(const QString& KeyLocation, const QString& ItemName, bool Value) {
    return FRegistry.WriteBooleanValue(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteFloatValue(const QString& KeyLocation, const QString& ItemName, double Value) {
    return FRegistry.WriteFloatValue(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteCurrency(const QString& KeyLocation, const QString& ItemName, TCurrency Value) {
    return FRegistry.WriteCurrency(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteDate(const QString& KeyLocation, const QString& ItemName, const QDate& Value) {
    return FRegistry.WriteDate(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteTime(const QString& KeyLocation, const QString& ItemName, const QTime& Value) {
    return FRegistry.WriteTime(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteDateTimeValue(const QString& KeyLocation, const QString& ItemName,
                                    const QDateTime& Value) {
    return FRegistry.WriteDateTimeValue(Aim(KeyLocation), ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, bool Value) {
    return WriteBooleanValue(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, qint32 Value) {
    return WriteIntValue(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QString& Value) {
    return WriteStringValue(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const char* Value) {
    return WriteStringValue(KeyLocation, ItemName, QString::fromUtf8(Value));
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, double Value) {
    return WriteFloatValue(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QTime& Value) {
    return WriteTime(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QDate& Value) {
    return WriteDate(KeyLocation, ItemName, Value);
}
bool FXRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QDateTime& Value) {
    return WriteDateTimeValue(KeyLocation, ItemName, Value);
}
