#include "CommandLine.h"

namespace {
bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
} // namespace

QStringList SplitCommandLine(const QString& commandLine) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    const qsizetype length = commandLine.size();
    for (qsizetype i = 0; i < length;) {
        const QChar c = commandLine[i];
        if (!quoted && IsBlank(c)) {
            if (inArgument) arguments.append(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype run = 0;
            while (i < length && commandLine[i] == u'\\') {
                ++run;
                ++i;
            }
            if (i < length && commandLine[i] == u'"') {
                current += QString(run / 2, u'\\');
                if (run % 2 == 1) {
                    current += u'"';
                    ++i;
                }
            } else {
                current += QString(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) arguments.append(current);
    return arguments;
}

QString QuoteArgument(const QString& argument) {
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        if (IsBlank(c) || c == u'"') needsQuotes = true;
    if (!needsQuotes) return argument;
    QString quoted = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            quoted += QString(backslashes * 2 + 1, u'\\');
            quoted += u'"';
        } else {
            quoted += QString(backslashes, u'\\');
            quoted += c;
        }
        backslashes = 0;
    }
    // Backslashes before the closing quote must not escape it.
    quoted += QString(backslashes * 2, u'\\');
    quoted += u'"';
    return quoted;
}

QString JoinCommandLine(const QStringList& arguments) {
    QStringList quoted;
    quoted.reserve(arguments.size());
    for (const QString& argument : arguments)
        quoted.append(QuoteArgument(argument));
    return quoted.join(u' ');
}
