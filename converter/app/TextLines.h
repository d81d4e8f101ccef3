#pragma once
// The converter's small text files (hand-over lists, folder history): one entry
// per line, lines ended by CR LF, UTF-8 without byte-order mark. Readers accept a
// byte-order mark and any of CR LF, LF or CR as line end.
#include <QString>
#include <QStringList>

// Throws std::runtime_error with a readable message when the file cannot be read.
QStringList LoadLines(const QString& path);
// The text a list of lines is stored as.
QByteArray LinesText(const QStringList& lines);
// Written beside the file, flushed and renamed into place; throws std::runtime_error
// on failure, leaving the old file as it was.
void SaveLines(const QString& path, const QStringList& lines);
