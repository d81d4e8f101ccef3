#include "ProgramVersion.h"

#include <cstdio>
#include <cstring>

QString ProgramVersion() {
    return QStringLiteral(BRENVALE_VERSION);
}

bool AnswerVersionRequest(int argc, char* const argv[], const char* programName) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") != 0) continue;
        std::printf("%s %s\n", programName, BRENVALE_VERSION);
        return true;
    }
    return false;
}
