#pragma once
// Where a converted file goes: its name in the export folder and the " (n)"
// counter that keeps it from replacing a file that already exists.
#include "FormatCatalogue.h"

#include <QString>

// The path before the counter: the explicit item target when there is one,
// otherwise the export folder, the source's base name and the target extension.
QString FormOutputPath(const QString& sourcePath, FormatTag source, FormatTag target, const QString& itemTarget,
                       const QString& exportPath);
// `path` with " (n)" before the file name's extension, or at its end when the
// file name has none (never inside a folder name).
QString CounterCandidate(const QString& path, qint64 n);
// `path` itself when no file of that name exists, else the first free counter candidate.
QString FreeOutputPath(const QString& path);
