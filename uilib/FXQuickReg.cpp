#include "FXQuickReg.h"

#include "FXRegistry.h"

bool FXQuickReg::CreateKey(const QString& KeyLocation) {
    return FXRegistry().CreateKey(KeyLocation);
}
bool FXQuickReg::KeyExists(const QString& KeyLocation) {
    return FXRegistry().KeyExists(KeyLocation);
}
bool FXQuickReg::DeleteKey(const QString& KeyLocation) {
    return FXRegistry().DeleteKey(KeyLocation);
}

bool FXQuickReg::RenameKey(const QString& KeyLocation, const QString& NewName) {
    return FXRegistry().RenameKey(KeyLocation, NewName);
}

QString FXQuickReg::GetStringValue(const QString& KeyLocation, const QString& ValueName) {
    return FXRegistry().GetStringValue(KeyLocation, ValueName);
}

bool FXQuickReg::GetValueExists(const QString& KeyLocation, const QString& ValueName) {
    return FXRegistry().GetValueExists(KeyLocation, ValueName);
}

bool FXQuickReg::DeleteValue(const QString& KeyLocation, const QString& ValueName) {
    return FXRegistry().DeleteValue(KeyLocation, ValueName);
}
