#pragma once
// The hand-over folder through which a second copy passes its files to the
// running one: one file per hand-over, named by a number from 0 to 999.
#include <QString>
#include <QStringList>

// Writes the list into a new file of the folder (created when missing) under a
// random free number and returns its path. The file appears complete or not at
// all and never replaces another copy's file. Throws std::runtime_error.
// A path holding a line break travels as a "file://" address, which a path
// (always a full one here, beginning with "/") never looks like.
QString WriteHandOverList(const QString& handOverFolder, const QStringList& list);

// The paths of one hand-over file as they were written. Throws std::runtime_error.
QStringList ReadHandOverList(const QString& handOverFile);

// The hand-over files waiting in the folder, in listing order.
QStringList HandOverFiles(const QString& handOverFolder);
