#pragma once
// The hand-over folder through which a second copy passes its files to the
// running one: one file per hand-over, named by a number from 0 to 999.
#include <QString>
#include <QStringList>

// Writes the list into a new file of the folder (created when missing) under a
// random free number and returns its path. The file appears complete or not at
// all and never replaces another copy's file. Throws std::runtime_error.
QString WriteHandOverList(const QString& handOverFolder, const QStringList& list);

// The hand-over files waiting in the folder, in listing order.
QStringList HandOverFiles(const QString& handOverFolder);
