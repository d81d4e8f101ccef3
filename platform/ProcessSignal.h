#pragma once
// Asks one process to end (SIGTERM); it may refuse. Does not wait. Refuses the ids
// that kill(2) would take as a whole group or every process (0 and above INT_MAX),
// so a bad id never signals more than one process.
#include <QtGlobal>

bool RequestTermination(quint32 pid);
