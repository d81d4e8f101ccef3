#pragma once
// Asks one process to end (SIGTERM); it may refuse. Does not wait. Refuses the ids
// that kill(2) would take as a whole group or every process (0 and above INT_MAX),
// so a bad id never signals more than one process.
#include <QtGlobal>

bool RequestTermination(quint32 pid);

// Whether a process of this id exists, also one this process may not signal.
// An id that kill(2) would take for a group is no process.
bool ProcessExists(quint32 pid);
