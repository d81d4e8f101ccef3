#include "TWinRegistry.h"

#include "RegistryStore.h"

#include <QCoreApplication>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace {

struct HiveNames {
    HKEY Hive;
    std::initializer_list<const char*> Names; // the first is the canonical name
};

const HiveNames HiveTable[] = {
    {HKEY_CLASSES_ROOT, {"HKEY_CLASSES_ROOT", "HKCR", "HKEY_CLASSES"}},
    {HKEY_CURRENT_USER, {"HKEY_CURRENT_USER", "HKCU", "HKEY_USER"}},
    {HKEY_LOCAL_MACHINE, {"HKEY_LOCAL_MACHINE", "HKLM", "HKEY_MACHINE"}},
    {HKEY_USERS, {"HKEY_USERS", "HKU"}},
    {HKEY_CURRENT_CONFIG, {"HKEY_CURRENT_CONFIG", "HKCC", "HKEY_CONFIG"}},
    {HKEY_PERFORMANCE_DATA, {"HKEY_PERFORMANCE_DATA", "HKPD"}},
    {HKEY_DYN_DATA, {"HKEY_DYN_DATA", "HKEY_DD"}},
};

// A value whose registry type does not fit the read.
struct TypeMismatch {};

int SystemErrorOf(const RegistryStoreError& error) {
    switch (error.ErrorKind()) {
    case RegistryStoreError::Kind::Denied:
        return EACCES;
    case RegistryStoreError::Kind::Busy:
        return EBUSY;
    case RegistryStoreError::Kind::Missing:
        return ENOENT;
    case RegistryStoreError::Kind::Invalid:
        return EINVAL;
    case RegistryStoreError::Kind::Damaged:
    case RegistryStoreError::Kind::Failed:
        return EIO;
    }
    return EIO;
}

bool IsText(std::uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

QByteArray EightBytes(quint64 bits) {
    QByteArray data(8, Qt::Uninitialized);
    qToLittleEndian(bits, data.data());
    return data;
}

// Dates travel as days since 30 December 1899 with the time as the fraction of a
// day; before that day the fraction still counts forward from midnight.
const QDate DateEpoch(1899, 12, 30);
constexpr double MsecsPerDay = 86400000.0;

double ToDayNumber(const QDate& date, const QTime& time) {
    const double days = date.isValid() ? double(DateEpoch.daysTo(date)) : 0.0;
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / MsecsPerDay : 0.0;
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime FromDayNumber(double value) {
    if (!std::isfinite(value)) return {};
    double days = std::trunc(value);
    qint64 msecs = qRound64(std::fabs(value - days) * MsecsPerDay);
    if (msecs >= qint64(MsecsPerDay)) {
        msecs -= qint64(MsecsPerDay);
        days += value < 0 ? -1 : 1;
    }
    return QDateTime(DateEpoch.addDays(qint64(days)), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

} // namespace

QString RegistryErrorMessage(TRegistryError error) {
    switch (error) {
    case TRegistryError::None:
        return {};
    case TRegistryError::AccessDenied:
        return QStringLiteral("Windows Registry Error: Access Denied");
    case TRegistryError::KeyNoExist:
        return QStringLiteral("Windows Registry Error: The specified key does not exist");
    case TRegistryError::ReadError:
        return QStringLiteral("Windows Registry Error: Cannot read from the Windows Registry");
    }
    return {};
}

TWinRegistry::TWinRegistry() {
    FOnError = [this](TRegistryError error) { RegistryReceiveError(error); };
}

void TWinRegistry::setRegistryMode(TRegistryMode mode) {
    FRegistryMode = mode;
}
void TWinRegistry::setErrorKind(TRegistryErrorKind kind) {
    FErrorKind = kind;
}
void TWinRegistry::setOnRaiseError(TRegistryOnError receiver) {
    FOnError = std::move(receiver);
}
void TWinRegistry::setAutomaticHive(bool automatic) {
    FAutoHive = automatic;
}

void TWinRegistry::setManualHive(HKEY hive) {
    FDefaultHive = hive;
    FAutoHive = false;
}

void TWinRegistry::setDefaultHive(HKEY hive) {
    FDefaultHive = hive;
}

void TWinRegistry::SetNewRegistryMode(TRegistryMode AMode) {
    FRegistryMode = AMode;
}
void TWinRegistry::ResetRegistryMode() {
    FRegistryMode = TRegistryMode::Windows64;
}

bool TWinRegistry::WinModeLoaded() {
    if (FRegistryMode == TRegistryMode::Unloaded) ResetRegistryMode();
    return true;
}

namespace {
TRegistryErrorPresenter& ErrorPresenter() {
    static TRegistryErrorPresenter presenter;
    return presenter;
}
} // namespace

void SetRegistryErrorPresenter(TRegistryErrorPresenter presenter) {
    ErrorPresenter() = std::move(presenter);
}

void TWinRegistry::RegistryReceiveError(TRegistryError AError) {
    const QString message = RegistryErrorMessage(AError);
    if (message.isEmpty()) return;
    // A presenter may open a window, which only the application's thread can do.
    const QCoreApplication* app = QCoreApplication::instance();
    const TRegistryErrorPresenter& presenter = ErrorPresenter();
    if (presenter && app && QThread::currentThread() == app->thread()) {
        presenter(message);
        return;
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

QString TWinRegistry::HiveToString(HKEY Hive) {
    for (const HiveNames& entry : HiveTable)
        if (entry.Hive == Hive) return QString::fromLatin1(*entry.Names.begin());
    return QStringLiteral("Unknown");
}

bool TWinRegistry::StringToHiveEx(const QString& AString, HKEY& Hive) {
    for (const HiveNames& entry : HiveTable)
        for (const char* name : entry.Names)
            if (AString == QLatin1String(name)) {
                Hive = entry.Hive;
                return true;
            }
    return false;
}

HKEY TWinRegistry::StringToHive(const QString& AString, HKEY Default) {
    HKEY hive = Default;
    return StringToHiveEx(AString, hive) ? hive : Default;
}

TWinRegistry::Prepared TWinRegistry::PreparePath(const QString& KeyLocation) {
    QString path = KeyLocation;
    if (!path.endsWith(u'\\')) path += u'\\';
    static const QString computer = QStringLiteral("Computer\\");
    if (path.startsWith(computer)) path.remove(0, computer.size());
    FHive = FDefaultHive;
    if (FAutoHive) {
        const QString first = path.left(path.indexOf(u'\\'));
        HKEY hive = FDefaultHive;
        if (StringToHiveEx(first.toUpper(), hive)) {
            FHive = hive;
            path.remove(0, first.size() + 1);
        }
    }
    return {FHive, RegistryStore::SplitKeyPath(path)};
}

void TWinRegistry::RaiseError(TRegistryError error, int systemError) {
    switch (FErrorKind) {
    case TRegistryErrorKind::Receive:
        if (FOnError) FOnError(error);
        FLastError = error;
        break;
    case TRegistryErrorKind::OperatingSystem:
        throw std::system_error(systemError, std::generic_category(),
                                RegistryErrorMessage(error).toStdString());
    case TRegistryErrorKind::Disabled:
        FLastError = error;
        break;
    }
}

template <typename Result, typename Work>
Result TWinRegistry::Guard(TRegistryError error, Result failure, Work&& work) {
    int systemError = EIO;
    try {
        return work();
    } catch (const RegistryStoreError& storeError) {
        systemError = SystemErrorOf(storeError);
    } catch (const TypeMismatch&) {
        systemError = EINVAL;
    } catch (const std::bad_alloc&) {
        systemError = ENOMEM;
    } catch (...) {
        systemError = EIO;
    }
    RaiseError(error, systemError);
    return failure;
}

// Keys as a whole.

bool TWinRegistry::CreateKey(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return false;
    return Guard(TRegistryError::AccessDenied, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        store.CreateKey(path.Key);
        store.Commit();
        return true;
    });
}

bool TWinRegistry::DeleteKey(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return false;
    return Guard(TRegistryError::AccessDenied, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        const bool deleted = store.DeleteKey(path.Key);
        store.Commit();
        return deleted;
    });
}

bool TWinRegistry::KeyExists(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return false;
    return Guard(TRegistryError::ReadError, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Read);
        return store.KeyExists(path.Key);
    });
}

QString TWinRegistry::CloneKey(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return {};
    return Guard(TRegistryError::AccessDenied, QString(), [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        if (!store.KeyExists(path.Key)) return QString();
        const QStringList parent = path.Key.mid(0, path.Key.size() - 1);
        // The copy is named after the key as stored, whatever case the path used.
        QString name = path.Key.constLast();
        for (const QString& sibling : store.KeyNames(parent))
            if (sibling.compare(name, Qt::CaseInsensitive) == 0) name = sibling;
        QString candidate;
        for (int counter = 2;; ++counter) {
            candidate = QStringLiteral("%1(%2)").arg(name).arg(counter);
            if (!store.KeyExists(parent + QStringList{candidate})) break;
        }
        store.CopyTree(path.Key, parent + QStringList{candidate});
        store.Commit();
        return candidate;
    });
}

bool TWinRegistry::RenameKey(const QString& KeyLocation, const QString& NewName) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return false;
    return Guard(TRegistryError::KeyNoExist, false, [&] {
        if (NewName.isEmpty() || NewName.contains(u'\\'))
            throw RegistryStoreError(RegistryStoreError::Kind::Invalid, QStringLiteral("Invalid key name"));
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        const QStringList parent = path.Key.mid(0, path.Key.size() - 1);
        const QStringList target = parent + QStringList{NewName};
        if (!store.KeyExists(path.Key)) return store.KeyExists(target);
        if (path.Key.constLast().compare(NewName, Qt::CaseInsensitive) == 0) {
            // Only the letter case changes: the key stays where it is.
            store.SetKeyNameCase(path.Key, NewName);
            store.Commit();
            return true;
        }
        if (store.KeyExists(target)) return true;
        store.CopyTree(path.Key, target);
        store.DeleteKey(path.Key);
        store.Commit();
        return true;
    });
}

bool TWinRegistry::MoveTree(const QString& KeyLocation, const QStringList& destination, bool AlsoDelete,
                            TRegistryError error) {
    const Prepared path = PreparePath(KeyLocation);
    if (path.Key.isEmpty()) return false;
    return Guard(error, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        if (!store.CopyTree(path.Key, destination)) return false;
        if (AlsoDelete) store.DeleteKey(path.Key);
        store.Commit();
        return true;
    });
}

bool TWinRegistry::MoveKey(const QString& KeyLocation, const QString& NewLocation, bool AlsoDelete) {
    return MoveTree(KeyLocation, RegistryStore::SplitKeyPath(NewLocation), AlsoDelete,
                    TRegistryError::AccessDenied);
}

bool TWinRegistry::CopyKey(const QString& KeyLocation, const QString& NewLocation) {
    return MoveKey(KeyLocation, NewLocation, false);
}

QStringList TWinRegistry::GetKeyNames(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, QStringList(), [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Read);
        return store.KeyNames(path.Key);
    });
}

QStringList TWinRegistry::GetValueNames(const QString& KeyLocation) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, QStringList(), [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Read);
        return store.ValueNames(path.Key);
    });
}

// Values.

namespace {

std::optional<RegistryValue> ReadOne(HKEY hive, const QStringList& key, const QString& name) {
    RegistryStore store(hive, RegistryStore::Access::Read);
    return store.ReadValue(key, name);
}

// The eight bytes of a floating-point, currency or date value; nothing for a
// missing value, TypeMismatch for any other type or size.
std::optional<quint64> ReadEightBytes(HKEY hive, const QStringList& key, const QString& name) {
    const auto value = ReadOne(hive, key, name);
    if (!value) return std::nullopt;
    if (value->Type != REG_BINARY || value->Data.size() != 8) throw TypeMismatch{};
    return qFromLittleEndian<quint64>(value->Data.constData());
}

double ToDouble(quint64 bits) {
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

quint64 FromDouble(double number) {
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

} // namespace

bool TWinRegistry::GetValueExists(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, false,
                 [&] { return ReadOne(path.Hive, path.Key, ValueName).has_value(); });
}

bool TWinRegistry::DeleteValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::AccessDenied, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        const bool deleted = store.DeleteValue(path.Key, ValueName);
        store.Commit();
        return deleted;
    });
}

QString TWinRegistry::GetStringValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, QString(), [&] {
        const auto value = ReadOne(path.Hive, path.Key, ValueName);
        if (!value) return QString();
        if (IsText(value->Type)) return QString::fromUtf8(value->Data);
        // Data of one byte or none reads as empty text whatever its type.
        if (value->Data.size() > 1) throw TypeMismatch{};
        return QString();
    });
}

qint32 TWinRegistry::GetIntValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, qint32(0), [&] {
        const auto value = ReadOne(path.Hive, path.Key, ValueName);
        if (!value) return qint32(0);
        if (value->Type != REG_DWORD || value->Data.size() != 4) throw TypeMismatch{};
        return qFromLittleEndian<qint32>(value->Data.constData());
    });
}

bool TWinRegistry::GetBooleanValue(const QString& KeyLocation, const QString& ValueName) {
    return GetIntValue(KeyLocation, ValueName) != 0;
}

double TWinRegistry::GetFloatValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, 0.0, [&] {
        const auto bits = ReadEightBytes(path.Hive, path.Key, ValueName);
        return bits ? ToDouble(*bits) : 0.0;
    });
}

TCurrency TWinRegistry::GetCurrencyValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, TCurrency(0), [&] {
        const auto bits = ReadEightBytes(path.Hive, path.Key, ValueName);
        return bits ? TCurrency(*bits) : TCurrency(0);
    });
}

QDateTime TWinRegistry::GetDateTimeValue(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, QDateTime(), [&] {
        const auto bits = ReadEightBytes(path.Hive, path.Key, ValueName);
        return bits ? FromDayNumber(ToDouble(*bits)) : QDateTime();
    });
}

QDate TWinRegistry::GetDateValue(const QString& KeyLocation, const QString& ValueName) {
    return GetDateTimeValue(KeyLocation, ValueName).date();
}

QTime TWinRegistry::GetTimeValue(const QString& KeyLocation, const QString& ValueName) {
    return GetDateTimeValue(KeyLocation, ValueName).time();
}

TRegDataType TWinRegistry::GetValueType(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, TRegDataType::rdUnknown, [&] {
        const auto value = ReadOne(path.Hive, path.Key, ValueName);
        if (!value) return TRegDataType::rdUnknown;
        switch (value->Type) {
        case REG_SZ:
            return TRegDataType::rdString;
        case REG_EXPAND_SZ:
            return TRegDataType::rdExpandString;
        case REG_DWORD:
            return TRegDataType::rdInteger;
        case REG_BINARY:
            return TRegDataType::rdBinary;
        default:
            return TRegDataType::rdUnknown;
        }
    });
}

QString TWinRegistry::GetValueAsString(const QString& KeyLocation, const QString& ValueName) {
    switch (GetValueType(KeyLocation, ValueName)) {
    case TRegDataType::rdInteger:
        return QString::number(GetIntValue(KeyLocation, ValueName));
    case TRegDataType::rdBinary:
        return {};
    default:
        return GetStringValue(KeyLocation, ValueName);
    }
}

QString TWinRegistry::GetValueAsStringEx(const QString& KeyLocation, const QString& ValueName) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::ReadError, QString(), [&] {
        const auto value = ReadOne(path.Hive, path.Key, ValueName);
        if (!value) return QString();
        if (IsText(value->Type)) return QString::fromUtf8(value->Data);
        if (value->Type == REG_DWORD && value->Data.size() == 4)
            return QString::number(qFromLittleEndian<qint32>(value->Data.constData()));
        return QString::fromLatin1(value->Data.toHex(',').toUpper());
    });
}

bool TWinRegistry::WriteRaw(const QString& KeyLocation, const QString& ItemName, std::uint32_t type,
                            const QByteArray& data) {
    const Prepared path = PreparePath(KeyLocation);
    return Guard(TRegistryError::AccessDenied, false, [&] {
        RegistryStore store(path.Hive, RegistryStore::Access::Write);
        store.WriteValue(path.Key, ItemName, RegistryValue{type, data});
        store.Commit();
        return true;
    });
}

bool TWinRegistry::WriteStringValue(const QString& KeyLocation, const QString& ItemName,
                                    const QString& Value) {
    return WriteRaw(KeyLocation, ItemName, REG_SZ, Value.toUtf8());
}

bool TWinRegistry::WriteIntValue(const QString& KeyLocation, const QString& ItemName, qint32 Value) {
    QByteArray data(4, Qt::Uninitialized);
    qToLittleEndian(Value, data.data());
    return WriteRaw(KeyLocation, ItemName, REG_DWORD, data);
}

bool TWinRegistry::WriteBooleanValue(const QString& KeyLocation, const QString& ItemName, bool Value) {
    return WriteIntValue(KeyLocation, ItemName, Value ? 1 : 0);
}

bool TWinRegistry::WriteFloatValue(const QString& KeyLocation, const QString& ItemName, double Value) {
    return WriteRaw(KeyLocation, ItemName, REG_BINARY, EightBytes(FromDouble(Value)));
}

bool TWinRegistry::WriteCurrency(const QString& KeyLocation, const QString& ItemName, TCurrency Value) {
    return WriteRaw(KeyLocation, ItemName, REG_BINARY, EightBytes(quint64(Value)));
}

bool TWinRegistry::WriteDate(const QString& KeyLocation, const QString& ItemName, const QDate& Value) {
    return WriteFloatValue(KeyLocation, ItemName, ToDayNumber(Value, QTime()));
}

bool TWinRegistry::WriteTime(const QString& KeyLocation, const QString& ItemName, const QTime& Value) {
    return WriteFloatValue(KeyLocation, ItemName, ToDayNumber(QDate(), Value));
}

bool TWinRegistry::WriteDateTimeValue(const QString& KeyLocation, const QString& ItemName,
                                      const QDateTime& Value) {
    return WriteFloatValue(KeyLocation, ItemName, ToDayNumber(Value.date(), Value.time()));
}

bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, bool Value) {
    return WriteBooleanValue(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, qint32 Value) {
    return WriteIntValue(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QString& Value) {
    return WriteStringValue(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const char* Value) {
    return WriteStringValue(KeyLocation, ItemName, QString::fromUtf8(Value));
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, double Value) {
    return WriteFloatValue(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QTime& Value) {
    return WriteTime(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QDate& Value) {
    return WriteDate(KeyLocation, ItemName, Value);
}
bool TWinRegistry::WriteValue(const QString& KeyLocation, const QString& ItemName, const QDateTime& Value) {
    return WriteDateTimeValue(KeyLocation, ItemName, Value);
}
