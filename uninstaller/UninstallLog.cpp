#include "UninstallLog.h"

#include "sysconsole.h"

void Log(const QString& line) {
    if (sysconsole::ConsoleCalled()) sysconsole::QuickOutput(line);
}
