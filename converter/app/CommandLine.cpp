#include "CommandLine.h"

#include <QFileInfo>

namespace {

// IMG-BASE shares the extension .txt with BASE64, so only its own word names it.
constexpr const char* ImgBaseWord = "img-base";
constexpr const char* TargetWords =
    "png, bmp, jpeg, jpg, gif, ico, img-base, mp3, flac, ogg, opus, b64, txt, heic, heif, wav";

QString UnknownWordError(const QString& option, const QString& word, bool sourceSide) {
    const QString valid = (sourceSide ? QStringLiteral("auto, ") : QString()) + QLatin1String(TargetWords);
    const QString what =
        word.isEmpty() ? QStringLiteral("no format word") : QStringLiteral("\"%1\"").arg(word);
    return QStringLiteral("%1 after %2 names no format; the valid words are: %3").arg(what, option, valid);
}

struct TSwitch {
    QString Word;  // empty: the parameter names no switch
    QString Value; // the text after "=" of "--word=value"
    bool HasValue = false;
};

bool IsSwitchWord(const QString& word) {
    for (const char* known : {"help", "directory", "convertnow", "background", "from", "to"}) {
        if (word == QLatin1String(known)) return true;
    }
    return false;
}

TSwitch Recognise(const QString& p) {
    if (p == QLatin1String("-h")) return {QStringLiteral("help"), QString(), false};
    if (p.startsWith(QLatin1String("--")) && p.size() > 2) {
        const QString body = p.mid(2);
        const qsizetype equals = body.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? body : body.left(equals);
        if (IsSwitchWord(name)) return {name, equals < 0 ? QString() : body.mid(equals + 1), equals >= 0};
    }
    // The first character is never examined: "/help", "-help" and "+help" are the same.
    const QString w = p.mid(1, 255);
    if (IsSwitchWord(w)) return {w, QString(), false};
    return {};
}

// Reads the value of "from" or "to"; a value that names no format is a usage error.
FormatTag TakeFormat(const QString& option, const QString& word, bool sourceSide, TCommandLine& line) {
    const FormatTag tag = FormatFromCommandWord(word);
    const bool usable = tag != FormatTag::Unknown && (sourceSide || tag != FormatTag::AUTO);
    if (!usable && line.UsageError.isEmpty()) line.UsageError = UnknownWordError(option, word, sourceSide);
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
    bool switchesEnded = false;
    qsizetype valueIndex = -1; // the parameter that is the value of the one before it
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QString& p = parameters[i];
        const bool isValue = i == valueIndex;
        // As on every Unix command line, "--" makes every later parameter a file name.
        if (!switchesEnded && !isValue && p == QLatin1String("--")) {
            switchesEnded = true;
            continue;
        }
        const TSwitch option = switchesEnded ? TSwitch{} : Recognise(p);
        const QString& word = option.Word;
        const auto value = [&]() -> QString {
            if (option.HasValue) return option.Value;
            valueIndex = i + 1;
            return i + 1 < parameters.size() ? parameters[i + 1] : QString();
        };
        const bool takesValue = word == QLatin1String("directory") || word == QLatin1String("from") ||
                                word == QLatin1String("to");
        if (option.HasValue && !takesValue && line.UsageError.isEmpty())
            line.UsageError = QStringLiteral("%1 takes no value").arg(p.left(p.indexOf(QLatin1Char('='))));
        if (word == QLatin1String("help")) {
            line.Help = true;
            if (p == QLatin1String("--help") || p == QLatin1String("-h")) line.HelpAndEnd = true;
        }
        if (word == QLatin1String("directory")) line.Directories << value();
        if (word == QLatin1String("convertnow")) line.ConvertNow = true;
        if (word == QLatin1String("background")) line.Background = true;
        const QString optionName = option.HasValue ? p.left(p.indexOf(QLatin1Char('='))) : p;
        if (word == QLatin1String("from")) line.From = TakeFormat(optionName, value(), true, line);
        if (word == QLatin1String("to")) line.To = TakeFormat(optionName, value(), false, line);
        // The value after a switch is examined again as a parameter of its own.
        const QFileInfo file(p);
        if (!p.isEmpty() && file.isFile()) {
            line.Files << file.absoluteFilePath();
        } else if (IsUnnamablePath(p)) {
            line.UnnamableFiles << p;
        } else if (word.isEmpty() && !isValue) {
            // A path beginning with "/" is a file name that does not exist, not a switch.
            const bool switchLike = !switchesEnded && p.size() > 1 && p.startsWith(QLatin1Char('-'));
            (switchLike ? line.UnknownSwitches : line.NotFound) << p;
        }
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

QString UsageText() {
    QString text = QStringLiteral("Usage: formshift [SWITCH]... [FILE]...\n\n");
    text += HelpText().replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text += QStringLiteral("\n\n"
                           "Every switch may also begin with \"--\": --from png --to jpeg --directory DIR,\n"
                           "or --to=jpeg. After \"--\" every parameter is a file name.\n"
                           "--help, -h - shows this text\n"
                           "--version - shows the version\n\n"
                           "FILETYPE: auto (for --from), ");
    text += QLatin1String(TargetWords);
    text += QStringLiteral("\n\n"
                           "A background run (--convertnow --background) prints one line for each file that\n"
                           "failed, with the reason; on a terminal also its progress and a summary.\n"
                           "Exit status: 0 when every file was converted, 1 when any file failed,\n"
                           "2 when the command line cannot be acted on.\n");
    return text;
}

TCommandLine ParseCommandLine(int argc, char* argv[]) {
    QStringList parameters;
    for (int i = 1; i < argc; ++i)
        parameters << QString::fromLocal8Bit(argv[i]);
    return ParseCommandLine(parameters);
}
