#pragma once
// The system-library helpers the converter needs, kept here until that library
// is available to the program.
#include <QString>

class QWidget;

// The XDG data home, then "BrenvaleSoftware/" when withMakerFolder, then appName
// and "/". With createIfMissing the folders are created; a failure throws
// std::runtime_error.
QString AppDataFolder(const QString& appName, bool withMakerFolder, bool createIfMissing);

// Reads or writes the window's placement in section "Positions" of the INI file
// ("Left", "Top", "Width", "Height", "State": 0 normal, 1 minimised, 2 maximised).
// A missing file on load centres the window. Returns false (reason in `error`)
// when saving failed.
bool PersistFormPosition(QWidget& form, const QString& iniFileName, bool load, bool leaveNormal,
                         QString* error = nullptr);

// Draws attention to the application's windows.
void FlashApplication();
