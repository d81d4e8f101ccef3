#include "FullProgram.h"

#include <QByteArray>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QByteArray OwnFile() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? QByteArray(path, length) : QByteArray();
}

} // namespace

const char* const ProgramFileVariable = "FORMSHIFT_PROGRAM_FILE";

int ExecFullProgram(char* argv[]) {
    const QByteArray self = OwnFile();
    const QByteArray folder = self.left(self.lastIndexOf('/') + 1);
    // Running copies know each other by the program file the user started.
    if (!self.isEmpty()) setenv(ProgramFileVariable, self.constData(), 1);
    // Beside this file in the build tree; under libexec once installed.
    const QByteArray candidates[] = {folder + "formshift-full", folder + FORMSHIFT_FULL_FROM_BINDIR};
    int error = ENOENT;
    for (const QByteArray& candidate : candidates) {
        if (access(candidate.constData(), X_OK) != 0) continue;
        execv(candidate.constData(), argv);
        error = errno;
    }
    std::fprintf(stderr, "formshift: cannot start %s: %s\n", candidates[1].constData(), std::strerror(error));
    return 127;
}
