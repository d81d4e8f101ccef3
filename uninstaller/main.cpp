#include "TUninstallerApp.h"

#include "InvokingUserFolders.h"
#include "ShowDialog.h"

#include "CommandParams.h"
#include "FXThemeManager.h"
#include "ProgramVersion.h"
#include "ShellHelpers.h"
#include "TWinRegistry.h"
#include "WindowsEnvironment.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (AnswerVersionRequest(argc, argv, "brenvale-uninstaller")) return 0;
    // A run over SSH or from a service has no display; the program then works
    // on Qt's offscreen platform and writes its messages instead of showing them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Before anything reads a folder: an elevated copy works in the folders of
    // the user who asked for it.
    const QString userProblem = ActForInvokingUser();
    EnsureWindowsEnvironment();

    QApplication application(argc, argv);
    // The theme manager exists before the first dialog or window, and ends with the program.
    InitializeUILibrary();
    struct UILibraryScope {
        ~UILibraryScope() { FinalizeUILibrary(); }
    } uiLibrary;
    SetRegistryErrorPresenter(
        [](const QString& message) { ShowDialog(QApplication::applicationName(), message); });
    if (!userProblem.isEmpty()) {
        ShowDialog(QStringLiteral("Error"), QStringLiteral("<!> Error: ") + userProblem);
        return ExitUnknownUser;
    }
    const bool isElevated = RunningAsAdministrator();
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments << ParamText(index);
    TUninstallerApp uninstaller(arguments, isElevated);
    return uninstaller.Run();
}
