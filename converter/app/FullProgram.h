#pragma once
// The program is two files. "formshift" carries the command line and the image
// and Base64 converters only, so a background run of a few small files starts
// in a few milliseconds; "formshift-full" adds the window, the audio layer and
// everything they load, and takes over whatever needs them.

// The environment variable that tells formshift-full which file was started.
extern const char* const ProgramFileVariable;

// Replaces this process with formshift-full, given the same parameters. Returns
// only when that fails, after saying why on standard error.
int ExecFullProgram(char* argv[]);
