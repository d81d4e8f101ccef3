#pragma once
// One-shot registry calls: each makes a default FXRegistry, performs one
// operation and frees it.
#include <QString>

class FXQuickReg {
  public:
    static bool CreateKey(const QString& KeyLocation);
    static bool KeyExists(const QString& KeyLocation);
    static bool DeleteKey(const QString& KeyLocation);
    static bool RenameKey(const QString& KeyLocation, const QString& NewName);
    static QString GetStringValue(const QString& KeyLocation, const QString& ValueName);
    static bool GetValueExists(const QString& KeyLocation, const QString& ValueName);
    static bool DeleteValue(const QString& KeyLocation, const QString& ValueName);
};
