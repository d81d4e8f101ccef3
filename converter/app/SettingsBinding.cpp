#include "SettingsBinding.h"

#include "ConversionSettings.h"
#include "FXCheckBox.h"
#include "FXSlider.h"
#include "IniDocument.h"

#include <QComboBox>

QString ExchangeSettingsFile(const QString& fileName, const TSettingsControls& controls,
                             SettingsDirection direction, QString& lastPath) {
    const bool load = direction == SettingsDirection::Load;
    TIniDocument ini;
    ini.Load(fileName);
    const QString application = QStringLiteral("Application");
    const QString conversion = QStringLiteral("Conversion");
    const QString icons = QStringLiteral("File:Icons");
    const QString jpeg = QStringLiteral("File:JPEG/HEIC");
    const auto check = [&](const QString& section, const char* key, FXCheckBox* box) {
        const QString name = QLatin1String(key);
        if (load)
            box->setChecked(ini.ReadBool(section, name, box->Checked()));
        else
            ini.WriteBool(section, name, box->Checked());
    };
    const auto slider = [&](const QString& section, const char* key, FXSlider* control) {
        const QString name = QLatin1String(key);
        if (load)
            control->setPosition(ini.ReadInteger(section, name, int(control->Position())));
        else
            ini.WriteInteger(section, name, int(control->Position()));
    };

    check(application, "Save path", controls.ReloadPath);
    if (load)
        lastPath = ini.ReadString(application, QStringLiteral("Last Path"), QString());
    else
        ini.WriteString(application, QStringLiteral("Last Path"), lastPath);
    check(application, "Files export path on open", controls.ExportPathOnOpen);
    check(application, "History Viewer", controls.HistView);
    check(application, "Override from", controls.OverideFrom);
    check(application, "Check Updates", controls.CheckUpdateStart);
    QComboBox* done = controls.DoneConvert;
    if (load) {
        const int index = ini.ReadInteger(application, QStringLiteral("When Done"), done->currentIndex());
        // An index the list does not have selects nothing, so no finishing action runs.
        done->setCurrentIndex(index >= 0 && index < done->count() ? index : -1);
    } else {
        ini.WriteInteger(application, QStringLiteral("When Done"), done->currentIndex());
    }
    check(conversion, "Ignore Complete", controls.IgnoreComplete);
    check(conversion, "Ignore Format Error", controls.IgnoreForErr);
    check(icons, "High Resolution", controls.UltraIcoRes);
    check(icons, "Pink Mask", controls.FixWhitePng);
    check(icons, "Smooth Downsize", controls.SmoothSize);
    check(jpeg, "Lossless Quality", controls.Lossless);
    slider(jpeg, "Image Quality", controls.Quality);
    // Older files lack the key: JPEG files then keep the quality they were always written at.
    slider(jpeg, "JPEG Quality", controls.JpegQuality);
    // The slider holds the count inside 1..64 as the run does.
    if (controls.SimultaneousConversions)
        slider(conversion, "SimultaneousConversions", controls.SimultaneousConversions);
    if (controls.KeepFileDates) check(conversion, "KeepFileDates", controls.KeepFileDates);

    QString error;
    if (load || ini.Save(fileName, &error)) return QString();
    return error.isEmpty() ? QStringLiteral("Cannot write %1").arg(fileName) : error;
}
