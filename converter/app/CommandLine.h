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
};

TCommandLine ParseCommandLine(const QStringList& parameters);

// The help text, lines joined by a carriage return alone.
QString HelpText();
