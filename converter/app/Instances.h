#pragma once
// Which running copy of the program this is, and the per-user runtime folder the
// copies meet in.
#include <QString>

// The path with "." and "/" turned into "_" and ":" removed, cut to its last
// 100 characters.
QString InstanceNameFor(const QString& programPath);
// InstanceNameFor of the program file that was started (formshift, not the
// formshift-full it hands over to), computed once.
QString InstanceName();

// The per-user runtime folder (XDG_RUNTIME_DIR, else Qt's runtime location),
// without a trailing delimiter.
QString RuntimeFolder();

// True when another copy started from the same program file runs. Takes this
// copy's part of the lock, which it keeps until the process ends.
bool HasOtherInstance();
