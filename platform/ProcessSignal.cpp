#include "ProcessSignal.h"

#include <cerrno>
#include <climits>
#include <csignal>

bool RequestTermination(quint32 pid) {
    if (pid == 0 || pid > quint32(INT_MAX)) return false;
    return ::kill(pid_t(pid), SIGTERM) == 0;
}

bool ProcessExists(quint32 pid) {
    if (pid == 0 || pid > quint32(INT_MAX)) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}
