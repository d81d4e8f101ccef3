#pragma once
// The terminal the uninstaller was started from. Lines are written only when the
// parent process is a command interpreter (a shell of /etc/shells, or pwsh), so
// a start from the desktop writes nothing.
#include <QString>
#include <QStringList>

class sysconsole {
  public:
    sysconsole() = delete;

    // Full path of the parent process's executable; empty when it cannot be read.
    static QString GetParentProcessName();
    static bool ConsoleCalled();
    // True only when this call connected.
    static bool Connect(bool force);
    static void Disconnect();
    static void QuickOutput(const QString& text);

    // Whether an executable path names a recognised interpreter; `shells` are
    // the lines of a shells list such as /etc/shells.
    static bool IsInterpreter(const QString& executablePath, const QStringList& shells);
    static QStringList SystemShells();
};
