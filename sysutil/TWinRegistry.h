#pragma once
// Registry access by one path as the registry editor shows it, for instance
// "HKEY_CURRENT_USER\Software\Brenvale" or "Computer\HKCU\Software\Brenvale".
// Registry paths keep "\" as their delimiter (they are not file paths). Every
// operation opens the store afresh, does its work in one transaction and closes
// it; failures go to the error channel (ErrorKind) and the operation returns
// false, 0, 0.0 or an empty text. Missing keys and values are no failure: reads
// give the empty result, existence tests false.
#include "RegistryHive.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>

enum class TRegistryMode { Unloaded, Windows32, Windows64, Automatic };
enum class TRegistryError { None, AccessDenied, KeyNoExist, ReadError };
enum class TRegistryErrorKind { Disabled, Receive, OperatingSystem };
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };
using TRegistryOnError = std::function<void(TRegistryError)>;
// Shows a registry error's text to the user. The system library has no windows of
// its own: a program with windows installs one that shows a message box; the
// default writes the text to standard error.
using TRegistryErrorPresenter = std::function<void(const QString& message)>;
void SetRegistryErrorPresenter(TRegistryErrorPresenter presenter);

// A currency amount as the registry keeps it: a count of ten-thousandths.
using TCurrency = qint64;

// The message the default receiver shows; empty for None.
QString RegistryErrorMessage(TRegistryError error);

class TWinRegistry {
  public:
    TWinRegistry();
    TWinRegistry(const TWinRegistry&) = delete;
    TWinRegistry& operator=(const TWinRegistry&) = delete;

    TRegistryMode RegistryMode() const { return FRegistryMode; }
    void setRegistryMode(TRegistryMode mode);
    TRegistryError LastError() const { return FLastError; }
    TRegistryErrorKind ErrorKind() const { return FErrorKind; }
    void setErrorKind(TRegistryErrorKind kind);
    const TRegistryOnError& OnRaiseError() const { return FOnError; }
    void setOnRaiseError(TRegistryOnError receiver);
    bool AutomaticHive() const { return FAutoHive; }
    void setAutomaticHive(bool automatic);
    // Setting ManualHive also switches AutomaticHive off; DefaultHive does not.
    HKEY ManualHive() const { return FDefaultHive; }
    void setManualHive(HKEY hive);
    HKEY DefaultHive() const { return FDefaultHive; }
    void setDefaultHive(HKEY hive);

    // Keys. CreateKey also creates missing keys on the way. Operations on a key as
    // a whole do nothing for a path that names no key below the hive.
    bool CreateKey(const QString& KeyLocation);
    bool DeleteKey(const QString& KeyLocation);
    bool KeyExists(const QString& KeyLocation);
    // The name of the new sibling copy, "Demo(2)", "Demo(3)", ...; empty on failure.
    QString CloneKey(const QString& KeyLocation);
    // Whether a key named NewName exists afterwards.
    bool RenameKey(const QString& KeyLocation, const QString& NewName);
    // NewLocation is a path below the root of the same hive, without hive name. The
    // whole move happens in one transaction: it is done completely or not at all.
    bool MoveKey(const QString& KeyLocation, const QString& NewLocation, bool AlsoDelete);
    bool CopyKey(const QString& KeyLocation, const QString& NewLocation);
    QStringList GetKeyNames(const QString& KeyLocation);
    QStringList GetValueNames(const QString& KeyLocation);

    // Values. Writers need an existing key (CreateKey first).
    bool GetValueExists(const QString& KeyLocation, const QString& ValueName);
    bool DeleteValue(const QString& KeyLocation, const QString& ValueName);
    QString GetStringValue(const QString& KeyLocation, const QString& ValueName);
    qint32 GetIntValue(const QString& KeyLocation, const QString& ValueName);
    bool GetBooleanValue(const QString& KeyLocation, const QString& ValueName);
    double GetFloatValue(const QString& KeyLocation, const QString& ValueName);
    TCurrency GetCurrencyValue(const QString& KeyLocation, const QString& ValueName);
    QDate GetDateValue(const QString& KeyLocation, const QString& ValueName);
    QTime GetTimeValue(const QString& KeyLocation, const QString& ValueName);
    QDateTime GetDateTimeValue(const QString& KeyLocation, const QString& ValueName);
    TRegDataType GetValueType(const QString& KeyLocation, const QString& ValueName);
    QString GetValueAsString(const QString& KeyLocation, const QString& ValueName);
    QString GetValueAsStringEx(const QString& KeyLocation, const QString& ValueName);

    bool WriteStringValue(const QString& KeyLocation, const QString& ItemName, const QString& Value);
    bool WriteIntValue(const QString& KeyLocation, const QString& ItemName, qint32 Value);
    bool WriteBooleanValue(const QString& KeyLocation, const QString& ItemName, bool Value);
    bool WriteFloatValue(const QString& KeyLocation, const QString& ItemName, double Value);
    bool WriteCurrency(const QString& KeyLocation, const QString& ItemName, TCurrency Value);
    bool WriteDate(const QString& KeyLocation, const QString& ItemName, const QDate& Value);
    bool WriteTime(const QString& KeyLocation, const QString& ItemName, const QTime& Value);
    bool WriteDateTimeValue(const QString& KeyLocation, const QString& ItemName, const QDateTime& Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, bool Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, qint32 Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, const QString& Value);
    // Keeps a string literal from choosing the Boolean overload.
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, const char* Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, double Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, const QTime& Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, const QDate& Value);
    bool WriteValue(const QString& KeyLocation, const QString& ItemName, const QDateTime& Value);

    void SetNewRegistryMode(TRegistryMode AMode);
    // There is one registry view here; the detected mode is Windows64, as on every
    // system the programs support.
    void ResetRegistryMode();
    bool WinModeLoaded();
    // The default receiver: a plain message box (standard error without a GUI).
    void RegistryReceiveError(TRegistryError AError);

    static QString HiveToString(HKEY Hive);
    static bool StringToHiveEx(const QString& AString, HKEY& Hive);
    static HKEY StringToHive(const QString& AString, HKEY Default);

  private:
    struct Prepared {
        HKEY Hive;
        QStringList Key; // path elements below the hive
    };
    Prepared PreparePath(const QString& KeyLocation);
    void RaiseError(TRegistryError error, int systemError);
    template <typename Result, typename Work> Result Guard(TRegistryError error, Result failure, Work&& work);
    bool WriteRaw(const QString& KeyLocation, const QString& ItemName, std::uint32_t type,
                  const QByteArray& data);
    bool MoveTree(const QString& KeyLocation, const QStringList& destination, bool AlsoDelete,
                  TRegistryError error);

    TRegistryError FLastError = TRegistryError::None;
    TRegistryMode FRegistryMode = TRegistryMode::Unloaded;
    HKEY FHive = HKEY_CURRENT_USER;
    HKEY FDefaultHive = HKEY_CURRENT_USER;
    bool FAutoHive = true;
    TRegistryOnError FOnError;
    TRegistryErrorKind FErrorKind = TRegistryErrorKind::Receive;
};
