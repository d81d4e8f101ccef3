#pragma once
// The converter's command line: switches with any leading character ("/help",
// "-help"), the same words after "--" ("--to jpeg", "--to=jpeg"), and file
// names, examined one by one from the first to the last.
#include "FormatCatalogue.h"

#include <QString>
#include <QStringList>

struct TCommandLine {
    bool Help = false;
    // "--help" or "-h": the usage goes to standard output and the program ends.
    bool HelpAndEnd = false;
    bool ConvertNow = false;
    bool Background = false;
    QStringList Directories;             // every "directory" value, in order
    FormatTag From = FormatTag::Unknown; // the last "from" value, Unknown when none or unrecognised
    FormatTag To = FormatTag::Unknown;
    QStringList Files; // parameters that name existing files, made absolute
    // Parameters whose bytes were no UTF-8 text: Qt cannot name such a file, so
    // it cannot be opened and must be reported rather than passed over.
    QStringList UnnamableFiles;
    // Parameters that are neither a switch, nor the value of one, nor an existing
    // file. The window passes over them; a background run reports each one.
    QStringList NotFound;
    // Parameters written like a switch ("-x", "--form") that name none.
    QStringList UnknownSwitches;
    // Why the command line cannot be acted on (a format word that names no
    // format), with the valid words; empty when it can.
    QString UsageError;

    // "convertnow" and "background" together: an unattended run that needs no window.
    bool BackgroundRun() const { return ConvertNow && Background; }
};

// The format a "from" or "to" value names: the catalogue's words, any letter case,
// and "img-base" for IMG-BASE; Unknown for anything else.
FormatTag FormatFromCommandWord(const QString& word);

TCommandLine ParseCommandLine(const QStringList& parameters);
// The program's own arguments, read before any Qt application object exists.
TCommandLine ParseCommandLine(int argc, char* argv[]);

// A path that is no file because its bytes were not UTF-8 text when it was read.
bool IsUnnamablePath(const QString& path);

// The help text, lines joined by a carriage return alone.
QString HelpText();
// The help text for a terminal: the same lines, then the long spellings and the
// exit statuses; lines end with LF.
QString UsageText();
