#include "ProcessSignal.h"

#include <climits>
#include <csignal>

bool RequestTermination(quint32 pid) {
    if (pid == 0 || pid > quint32(INT_MAX)) return false;
    return ::kill(pid_t(pid), SIGTERM) == 0;
}
