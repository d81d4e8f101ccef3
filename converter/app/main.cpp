// Formshift: a batch file converter.
#include "CommandLine.h"
#include "Converters.h"
#include "FormshiftMain.h"
#include "NotificationSound.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>

namespace {

// Without a display (a server, CI, a background run over SSH) Qt's offscreen
// platform still runs the window and its timers.
// Returns true when it had to fall back to it.
bool ChoosePlatform() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return false;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

// The per-user data folder, "BrenvaleSoftware/Formshift/" under the XDG data home.
QString DataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/BrenvaleSoftware/Formshift/");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool noDisplay = ChoosePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Formshift"));

    TFormshift window(DataFolder());
    window.setWindowTitle(QStringLiteral("Formshift"));
    InstallConverters(window.Driver().Converters);

    const TCommandLine line = ParseCommandLine(app.arguments().mid(1));
    if (!window.ProcessCommandLine(line)) {
        std::fputs("formshift: no export folder for the background run; give one with /directory PATH\n", stderr);
        return 2;
    }
    const bool hidden = line.Background && line.ConvertNow;
    if (hidden && window.Driver().RunState() == RunStateKind::Idle) return 0;
    if (!hidden && noDisplay) {
        // A window nobody can see would wait for ever.
        if (!line.Help) std::fputs("formshift: no display; convert unattended with /convertnow /background\n", stderr);
        return 0;
    }
    if (!hidden) window.show();
    const int status = app.exec();
    WaitForCompletionSound(3000);
    return status;
}
