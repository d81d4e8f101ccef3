#include "CommandLine.h"

#include <QFileInfo>

namespace {

QString Next(const QStringList& parameters, qsizetype i) {
    return i + 1 < parameters.size() ? parameters[i + 1] : QString();
}

// IMG-BASE shares the extension .txt with BASE64, so only its own word names it.
constexpr const char* ImgBaseWord = "img-base";
constexpr const char* TargetWords =
    "png, bmp, jpeg, jpg, gif, ico, img-base, mp3, flac, ogg, opus, b64, txt, heic, heif, wav";

QString UnknownWordError(const QString& option, const QString& word, bool sourceSide) {
    const QString valid = (sourceSide ? QStringLiteral("auto, ") : QString()) + QLatin1String(TargetWords);
    const QString what = word.isEmpty() ? QStringLiteral("no format word") : QStringLiteral("\"%1\"").arg(word);
    return QStringLiteral("%1 after %2 names no format; the valid words are: %3").arg(what, option, valid);
}

// Reads the value after "from" or "to"; a value that names no format is a usage error.
FormatTag TakeFormat(const QStringList& parameters, qsizetype i, bool sourceSide, TCommandLine& line) {
    const QString word = Next(parameters, i);
    const FormatTag tag = FormatFromCommandWord(word);
    const bool usable = tag != FormatTag::Unknown && (sourceSide || tag != FormatTag::AUTO);
    if (!usable && line.UsageError.isEmpty()) line.UsageError = UnknownWordError(parameters[i], word, sourceSide);
    return usable ? tag : FormatTag::Unknown;
}

} // namespace

bool IsUnnamablePath(const QString& path) {
    // Undecodable bytes become U+FFFD; a name really holding that character is a file.
    return path.contains(QChar::ReplacementCharacter) && !QFileInfo(path).isFile();
}

FormatTag FormatFromCommandWord(const QString& word) {
    if (word.compare(QLatin1String(ImgBaseWord), Qt::CaseInsensitive) == 0) return FormatTag::IMGBASE;
    return FormatFromExtension(word);
}

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
        if (w == QLatin1String("from")) line.From = TakeFormat(parameters, i, true, line);
        if (w == QLatin1String("to")) line.To = TakeFormat(parameters, i, false, line);
        // The value after a switch is examined again as a parameter of its own.
        const QFileInfo file(p);
        if (!p.isEmpty() && file.isFile()) line.Files << file.absoluteFilePath();
        else if (IsUnnamablePath(p)) line.UnnamableFiles << p;
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
