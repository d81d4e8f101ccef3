#pragma once
// Where a converted file goes: its name in the export folder and the " (n)"
// counter that keeps it from replacing a file that already exists.
#include "FormatCatalogue.h"

#include <QSet>
#include <QString>
#include <mutex>

// The path before the counter: the explicit item target when there is one,
// otherwise the export folder, the source's base name and the target extension.
QString FormOutputPath(const QString& sourcePath, FormatTag source, FormatTag target,
                       const QString& itemTarget, const QString& exportPath);
// `path` with " (n)" before the file name's extension, or at its end when the
// file name has none (never inside a folder name).
QString CounterCandidate(const QString& path, qint64 n);
// `path` itself when no file of that name exists, else the first free counter candidate.
QString FreeOutputPath(const QString& path);

// The final names handed to the conversions of a run, which may not exist on disk
// until those conversions end. Names are handed out in the order the files are
// started, so which file gets " (1)" never depends on which one finishes first.
class TOutputReservations {
  public:
    // The first of `path`, its counter candidates " (1)", " (2)", … that neither
    // exists nor is reserved; it stays reserved until Clear.
    QString Reserve(const QString& path);
    bool IsReserved(const QString& path) const;
    void Clear();

  private:
    mutable std::mutex FMutex;
    QSet<QString> FNames;
};
