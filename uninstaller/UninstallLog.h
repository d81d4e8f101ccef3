#pragma once
// Progress lines ("(!) ...") and error lines ("<!> ...") for the terminal the
// uninstaller was started from; nothing is written when it was not started from
// a shell. Whether it was is asked afresh for every line.
#include <QString>

void Log(const QString& line);
