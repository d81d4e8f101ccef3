#pragma once
// "setings.ini" (the name is kept, as existing profiles hold it): the options
// of the settings panel and of the convert button's option panel, read into
// their controls at start and written from them when the first copy closes.
// Keys and sections keep their names and their order for ever; new keys are
// appended.
#include <QString>

class FXCheckBox;
class FXSlider;
class QComboBox;

struct TSettingsControls {
    FXCheckBox* ReloadPath = nullptr;       // "Save path"
    FXCheckBox* ExportPathOnOpen = nullptr; // "Files export path on open"
    FXCheckBox* HistView = nullptr;         // "History Viewer"
    FXCheckBox* OverideFrom = nullptr;      // "Override from"
    FXCheckBox* CheckUpdateStart = nullptr; // "Check Updates"
    QComboBox* DoneConvert = nullptr;       // "When Done"
    FXCheckBox* IgnoreComplete = nullptr;
    FXCheckBox* IgnoreForErr = nullptr;
    FXCheckBox* UltraIcoRes = nullptr;
    FXCheckBox* FixWhitePng = nullptr;
    FXCheckBox* SmoothSize = nullptr;
    FXCheckBox* Lossless = nullptr;      // HEIC
    FXSlider* Quality = nullptr;         // HEIC, "Image Quality"
    FXSlider* JpegQuality = nullptr;     // "JPEG Quality"
    FXCheckBox* KeepFileDates = nullptr; // "Keep file dates"; without the control the key is left alone
    FXSlider* SimultaneousConversions =
        nullptr; // "Simultaneous conversions"; without it the key is left alone
};

enum class SettingsDirection : bool { Load, Save };

// Loading sets every control from its key, its designed state where the key
// is missing, and hands back the stored "Last Path"; saving writes every key
// and "Last Path" = lastPath. Returns why the file could not be written, or
// an empty text.
QString ExchangeSettingsFile(const QString& fileName, const TSettingsControls& controls,
                             SettingsDirection direction, QString& lastPath);
