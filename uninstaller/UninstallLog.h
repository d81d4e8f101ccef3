#pragma once
// Progress lines ("(!) ...") and error lines ("<!> ...") for the terminal the
// uninstaller was started from; nothing is written when it was not started from
// a shell. Whether it was is asked afresh for every line.
#include <QLoggingCategory>
#include <QString>

// What the removal did and why something stayed, for whoever looks into a failed
// uninstall: quiet unless QT_LOGGING_RULES="uninstaller.remove.info=true".
Q_DECLARE_LOGGING_CATEGORY(removeLog)

void Log(const QString& line);
