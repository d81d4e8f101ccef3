#pragma once
// Command lines as one text, with the quoting rules Windows programs parse them by:
// blanks separate arguments, double quotes group, a backslash run before a double
// quote escapes it (2n backslashes + quote: n backslashes and a grouping quote;
// 2n+1: n backslashes and a literal quote), other backslashes are literal.
#include <QString>
#include <QStringList>

QStringList SplitCommandLine(const QString& commandLine);

// The argument unchanged when it has no blank or double quote and is not empty;
// otherwise in double quotes with inner quotes and the backslashes before them
// escaped, so SplitCommandLine gives back exactly the argument.
QString QuoteArgument(const QString& argument);

QString JoinCommandLine(const QStringList& arguments);
