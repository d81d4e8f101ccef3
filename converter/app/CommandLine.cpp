#include "CommandLine.h"

#include <QFileInfo>

namespace {

QString Next(const QStringList& parameters, qsizetype i) {
    return i + 1 < parameters.size() ? parameters[i + 1] : QString();
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& parameters) {
    TCommandLine line;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QString& p = parameters[i];
        // The first character is never examined: "/help", "-help" and "+help" are the same.
        const QString w = p.mid(1, 255);
        if (w == QLatin1String("help")) line.Help = true;
        if (w == QLatin1String("directory")) line.Directories << Next(parameters, i);
        if (w == QLatin1String("convertnow")) line.ConvertNow = true;
        if (w == QLatin1String("background")) line.Background = true;
        if (w == QLatin1String("from")) line.From = FormatFromExtension(Next(parameters, i));
        if (w == QLatin1String("to")) line.To = FormatFromExtension(Next(parameters, i));
        // The value after a switch is examined again as a parameter of its own.
        const QFileInfo file(p);
        if (!p.isEmpty() && file.isFile()) line.Files << file.absoluteFilePath();
    }
    return line;
}

QString HelpText() {
    return QStringList{
        QStringLiteral("Parameters you can use"),
        QStringLiteral("=========="),
        QStringLiteral("/help - shows this dialog"),
        QStringLiteral("/convertnow - Starts conversion without user interaction"),
        QStringLiteral(
            "/background - Hides the userinterface, converts in the background, then closes program"),
        QStringLiteral("/from FILETYPE - the file type to convert from"),
        QStringLiteral("/to FILETYPE - convert to filetype"),
        QStringLiteral("/directory PATH - give the path to the directory"),
        QStringLiteral("filename - File to convert"),
    }
        .join(QLatin1Char('\r'));
}
