// formshift-screenshots: renders the main window without a display, light and
// dark, during a run and with the settings open, for people to look at.
// Not installed; scripts/screenshots builds and runs it.
#include "About.h"
#include "Converters.h"
#include "FXThemeManager.h"
#include "FormshiftMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (window.grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    std::fprintf(stderr, "formshift-screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: formshift-screenshots OUTPUT-FOLDER SAMPLE-FOLDER\n", stderr);
        return 2;
    }
    const QString output = arguments[1];
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "formshift-screenshots: cannot create %s\n", qPrintable(output));
        return 1;
    }
    // A private data folder: the user's settings neither show nor change.
    QTemporaryDir data;
    InitializeUILibrary();
    TFormshift window(data.path() + QLatin1Char('/'));
    window.setAllowThemeChangeAnimation(false);
    InstallConverters(window.Driver().Converters);
    window.setWindowTitle(QStringLiteral("Formshift"));
    window.resize(1035, 629);
    window.show();
    bool saved = true;
    const auto both = [&](const QString& name, const std::function<void()>& prepare) {
        for (const auto& [mode, suffix] : {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                                           std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
            ThemeManager->setDarkThemeMode(mode);
            window.UpdateTheme(true);
            if (prepare) prepare();
            saved = Save(window, output, name + QLatin1Char('-') + suffix) && saved;
        }
    };
    // An empty list shows the drop zone.
    both(QStringLiteral("empty"), nullptr);

    QStringList samples;
    const QDir sampleFolder(arguments[2]);
    for (const QString& name : sampleFolder.entryList(QDir::Files, QDir::Name))
        samples << sampleFolder.filePath(name);
    window.AddFiles(samples);
    window.Driver().PrepareList();
    window.Driver().ExportPath = data.path();
    window.UpdatePathCaption();

    both(QStringLiteral("window"), nullptr);
    // The convert button's option panel, opened as its button opens it.
    QMetaObject::invokeMethod(window.findChild<QObject*>(QStringLiteral("Label7")), "clicked");
    both(QStringLiteral("options"), nullptr);
    window.findChild<QWidget*>(QStringLiteral("ExtraConvert"))->hide();

    // A run stands still between two files until the event loop turns, so the
    // window shows its running state as long as nothing processes the timer.
    window.Driver().ConvertAll();
    for (const auto& [mode, suffix] : {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                                       std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
        ThemeManager->setDarkThemeMode(mode);
        window.UpdateTheme(true);
        const QString path = QDir(output).filePath(QStringLiteral("running-") + suffix + QStringLiteral(".png"));
        saved = window.grab().save(path) && saved;
        std::printf("%s\n", qPrintable(path));
    }
    window.Driver().StopConversion();

    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("SettingsPages"));
    window.findChild<QWidget*>(QStringLiteral("SettingsBt"))->setFocus();
    QMetaObject::invokeMethod(window.findChild<QObject*>(QStringLiteral("SettingsBt")), "clicked");
    for (int page = 0; pages && page < pages->count(); ++page)
        both(QStringLiteral("settings-") + pages->tabText(page).toLower(), [pages, page] { pages->setCurrentIndex(page); });

    TAboutForm* about = TAboutForm::Open();
    about->setAllowThemeChangeAnimation(false);
    for (const auto& [mode, suffix] : {std::pair{FXDarkSetting::ForceLight, QStringLiteral("light")},
                                       std::pair{FXDarkSetting::ForceDark, QStringLiteral("dark")}}) {
        ThemeManager->setDarkThemeMode(mode);
        saved = Save(*about, output, QStringLiteral("about-") + suffix) && saved;
    }
    return saved ? 0 : 1;
}
