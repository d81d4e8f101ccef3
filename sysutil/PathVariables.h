#pragma once
// Paths written with environment names ("%TEMP%/setup.sh") and shell folder names
// ("shell:desktop/Notes"). Names that are unknown or unset stay in the text.
#include <QString>

// Replaces %NAME% with the environment variable NAME, found without regard to case.
// The scan restarts at each closing "%", so every pair of neighbouring "%" is
// tried as a name once: in "100% sure %TEMP%" first "% sure %", then "%TEMP%".
// The Windows names of WindowsEnvironment are set first when missing.
QString ExpandEnvironmentNames(const QString& path);

// Replaces "shell:<name>" with the folder of that name from the Shell Folders keys,
// the machine's before the user's. Only a path with the lower-case text "shell:"
// is looked at.
QString ExpandShellNames(const QString& path);

// ExpandShellNames, then ExpandEnvironmentNames.
QString ExpandPathVariables(const QString& path);
