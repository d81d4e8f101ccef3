#include "UninstallLog.h"

#include "sysconsole.h"

Q_LOGGING_CATEGORY(removeLog, "uninstaller.remove", QtWarningMsg)

void Log(const QString& line) {
    if (sysconsole::ConsoleCalled()) sysconsole::QuickOutput(line);
}
