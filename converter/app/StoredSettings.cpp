#include "StoredSettings.h"

#include "IniDocument.h"

#include <algorithm>

namespace {

// The drop-down list "ON CONVERT DONE" has four items; any other index selects none.
constexpr int DoneActionCount = 4;

} // namespace

TStoredSettings ReadStoredSettings(const QString& fileName) {
    TIniDocument ini;
    ini.Load(fileName);
    const QString application = QStringLiteral("Application");
    const QString conversion = QStringLiteral("Conversion");
    const QString icons = QStringLiteral("File:Icons");
    const QString jpeg = QStringLiteral("File:JPEG/HEIC");
    TStoredSettings s;
    ConversionSettings& run = s.Run;
    s.ReloadPath = ini.ReadBool(application, QStringLiteral("Save path"), s.ReloadPath);
    s.LastPath = ini.ReadString(application, QStringLiteral("Last Path"), QString());
    s.ExportPathOnOpen =
        ini.ReadBool(application, QStringLiteral("Files export path on open"), s.ExportPathOnOpen);
    const int done = ini.ReadInteger(application, QStringLiteral("When Done"), run.DoneConvert);
    run.DoneConvert = done >= 0 && done < DoneActionCount ? done : -1;
    run.IgnoreComplete = ini.ReadBool(conversion, QStringLiteral("Ignore Complete"), run.IgnoreComplete);
    run.IgnoreForErr = ini.ReadBool(conversion, QStringLiteral("Ignore Format Error"), run.IgnoreForErr);
    run.SimultaneousConversions = ClampSimultaneousConversions(
        ini.ReadInteger(conversion, QStringLiteral("SimultaneousConversions"), run.SimultaneousConversions));
    run.KeepFileDates = ini.ReadBool(conversion, QStringLiteral("KeepFileDates"), run.KeepFileDates);
    run.UltraIcoRes = ini.ReadBool(icons, QStringLiteral("High Resolution"), run.UltraIcoRes);
    run.FixWhitePng = ini.ReadBool(icons, QStringLiteral("Pink Mask"), run.FixWhitePng);
    run.SmoothSize = ini.ReadBool(icons, QStringLiteral("Smooth Downsize"), run.SmoothSize);
    run.Lossless = ini.ReadBool(jpeg, QStringLiteral("Lossless Quality"), run.Lossless);
    // The sliders hold their values inside their ranges.
    run.Quality = std::clamp(ini.ReadInteger(jpeg, QStringLiteral("Image Quality"), run.Quality), 0, 100);
    run.JpegQuality =
        std::clamp(ini.ReadInteger(jpeg, QStringLiteral("JPEG Quality"), run.JpegQuality), 1, 100);
    return s;
}
