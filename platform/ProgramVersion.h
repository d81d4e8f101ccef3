#pragma once
// The version of this build, the same for both programs, and the answer to
// "--version", which needs neither a window system nor any set-up.
#include <QString>

QString ProgramVersion();

// Prints "name version" to standard output and returns true when an argument
// is exactly "--version"; the caller then ends with status 0.
bool AnswerVersionRequest(int argc, char* const argv[], const char* programName);
