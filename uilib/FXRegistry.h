#pragma once
// The user-interface library's lighter registry access: the operations of
// TWinRegistry, addressed by one path, where only the five long hive names
// ("HKEY_CURRENT_USER", ...) as written name the hive and every error shows
// its message.
#include "TWinRegistry.h"

#include <QString>
#include <QStringList>

#include <functional>

enum class FXRegistryMode { rmUnloaded, rmWindows32, rmWindows64, rmAutomatic };
enum class FXRegistryError { reNone, reAccessDenied, reKeyNoExist, reReadError };

class FXRegistry {
  public:
    FXRegistry();
    FXRegistry(const FXRegistry&) = delete;
    FXRegistry& operator=(const FXRegistry&) = delete;

    FXRegistryMode RegistryMode() const { return FRegistryMode; }
    void setRegistryMode(FXRegistryMode mode);
    FXRegistryError LastError() const { return FLastError; }
    bool AutomaticHive() const { return FAutoHive; }
    void setAutomaticHive(bool automatic);
    // Setting ManualHive also switches AutomaticHive off; DefaultHive does not.
    HKEY ManualHive() const { return FDefaultHive; }
    void setManualHive(HKEY hive);
    HKEY DefaultHive() const { return FDefaultHive; }
    void setDefaultHive(HKEY hive);

    bool CreateKey(const QString& KeyLocation);
    bool DeleteKey(const QString& KeyLocation);
    bool KeyExists(const QString& KeyLocation);
    QString CloneKey(const QString& KeyLocation);
    bool RenameKey(const QString& KeyLocation, const QString& NewName);
    bool MoveKey(const QString& KeyLocation, const QString& NewLocation, bool AlsoDelete);
    bool CopyKey(const QString& KeyLocation, const QString& NewLocation);
    QStringList GetKeyNames(const QString& KeyLocation);
    QStringList GetValueNames(const QString& KeyLocation);

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

    void SetNewRegistryMode(FXRegistryMode AMode);
    void ResetRegistryMode();
    bool WinModeLoaded();

    // Where error messages go: a message box by default (standard error
    // without a GUI). An empty presenter restores the default.
    static void SetErrorPresenter(std::function<void(const QString&)> presenter);

  private:
    // The wrapper, aimed at the hive the path names; returns the path below it.
    QString Aim(const QString& KeyLocation);
    void ShowError(TRegistryError error);

    TWinRegistry FRegistry;
    FXRegistryError FLastError = FXRegistryError::reNone;
    FXRegistryMode FRegistryMode = FXRegistryMode::rmUnloaded;
    HKEY FDefaultHive = HKEY_CURRENT_USER;
    bool FAutoHive = true;
};
