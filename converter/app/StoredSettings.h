#pragma once
// The options of "setings.ini" that a run reads, without the window's controls:
// the same keys, the same designed defaults and the same limits as the
// controls apply when the window loads the file. A background run that has no
// window reads them here.
#include "ConversionSettings.h"

#include <QString>

struct TStoredSettings {
    bool ReloadPath = true;        // "Save path"
    QString LastPath;              // "Last Path"
    bool ExportPathOnOpen = false; // "Files export path on open"
    ConversionSettings Run;
};

// A missing file or key gives the designed default.
TStoredSettings ReadStoredSettings(const QString& fileName);
