#include "UninstallOptions.h"

const QString HelpText =
    QStringLiteral("Avalabile Parameters:\r"
                   "\r"
                   "------------------------\r"
                   "-help -> Shows this information\r"
                   "-silent -> Installs the program in the background with no GUI\r"
                   "-start -> Starts the instalation process after opening the program\r"
                   "-closeafterfinish -> Close the installer after the installation is finnished\r"
                   "-keepappdata -> Set the install path\r"
                   "-ad -> Auto-delete installer when closed\r"
                   "-r <filename> -> Load installer report\r");

TUninstallOptions ParseOptions(const QStringList& arguments) {
    TUninstallOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-help")) {
            options.ShowHelp = true;
            break;
        }
        if (argument == QLatin1String("-start"))
            options.RunMode = TRunMode::Normal;
        else if (argument == QLatin1String("-silent"))
            options.RunMode = TRunMode::Silent;
        else if (argument == QLatin1String("-closeafterfinish"))
            options.CloseAfterFinish = true;
        else if (argument == QLatin1String("-keepappdata"))
            options.KeepAppData = true;
        else if (argument == QLatin1String("-ad"))
            options.DeleteSelfOnClose = true;
        else if (argument == QLatin1String("-r"))
            ++i; // The report path is no option, whatever it reads.
    }
    return options;
}
