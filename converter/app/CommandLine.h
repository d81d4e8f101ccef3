#pragma once
// The converter's command line: switches with any leading character ("/help",
// "-help") and file names, examined one by one from the first to the last.
#include "FormatCatalogue.h"

#include <QString>
#include <QStringList>

struct TCommandLine {
    bool Help = false;
    bool ConvertNow = false;
    bool Background = false;
    QStringList Directories;             // every "directory" value, in order
    FormatTag From = FormatTag::Unknown; // the last "from" value, Unknown when none or unrecognised
    FormatTag To = FormatTag::Unknown;
    QStringList Files; // parameters that name existing files, made absolute
    // Parameters whose bytes were no UTF-8 text: Qt cannot name such a file, so
    // it cannot be opened and must be reported rather than passed over.
    QStringList UnnamableFiles;
    // Why the command line cannot be acted on (a format word that names no
    // format), with the valid words; empty when it can.
    QString UsageError;
};

// The format a "from" or "to" value names: the catalogue's words, any letter case,
// and "img-base" for IMG-BASE; Unknown for anything else.
FormatTag FormatFromCommandWord(const QString& word);

TCommandLine ParseCommandLine(const QStringList& parameters);

// A path that is no file because its bytes were not UTF-8 text when it was read.
bool IsUnnamablePath(const QString& path);

// The help text, lines joined by a carriage return alone.
QString HelpText();
