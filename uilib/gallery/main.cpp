// uilib-gallery: every control of the library in each of its states.
//     uilib-gallery                  opens the gallery window
//     uilib-gallery --screenshot DIR renders it light and dark to
//                                    DIR/gallery-light.png and DIR/gallery-dark.png
#include "FXThemeManager.h"
#include "GalleryWindow.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

bool SaveShot(GalleryWindow& window, FXDarkSetting mode, const QString& file) {
    ThemeManager->setDarkThemeMode(mode);
    QApplication::processEvents();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "uilib-gallery: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QString shotFolder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            shotFolder = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: uilib-gallery [--screenshot DIR]\n");
            return 0;
        } else {
            std::fprintf(stderr,
                         "uilib-gallery: unknown argument %s\nusage: uilib-gallery [--screenshot DIR]\n",
                         argv[i]);
            return 2;
        }
    }
    if (!shotFolder.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitializeUILibrary();
    if (!shotFolder.isEmpty()) UseSampleDesktop();
    GalleryWindow window;
    if (shotFolder.isEmpty()) {
        window.show();
        const int result = app.exec();
        FinalizeUILibrary();
        return result;
    }
    if (!QDir().mkpath(shotFolder)) {
        std::fprintf(stderr, "uilib-gallery: cannot create %s\n", qPrintable(shotFolder));
        return 1;
    }
    // Screenshots show the end state of a theme change, not a frame of its fade.
    window.setAllowThemeChangeAnimation(false);
    window.show();
    window.activateWindow();
    if (QWidget* focused = window.findChild<QWidget*>(QStringLiteral("FocusedSwatch")))
        focused->setFocus(Qt::TabFocusReason);
    const QDir folder(shotFolder);
    const bool ok =
        SaveShot(window, FXDarkSetting::ForceLight, folder.filePath(QStringLiteral("gallery-light.png"))) &&
        SaveShot(window, FXDarkSetting::ForceDark, folder.filePath(QStringLiteral("gallery-dark.png")));
    FinalizeUILibrary();
    return ok ? 0 : 1;
}
