#pragma once
// A background run ("convertnow" with "background") as a command-line tool: no
// widget, font database or theme manager; the driver converts the command line's
// files, a terminal sees the progress, every failed file gets a line with its
// reason, and the exit status says how the run went.
//
// Such a run takes no part in the roles of running copies: it converts its own
// files even while another copy runs, and neither takes the first copy's role
// nor answers other copies. Handing its files to a window would convert nothing
// and still end with success, and files handed to it would never be converted,
// as a run's list is fixed when it starts.
#include "CommandLine.h"
#include "ConversionDriver.h"
#include "StoredSettings.h"

#include <QStringList>
#include <functional>
#include <optional>

enum ExitStatus : int { ExitSuccess = 0, ExitSomeFailed = 1, ExitUsageError = 2 };

struct TBackgroundPlan {
    QStringList Files;    // to convert, in command-line order; a name given twice converts twice
    QStringList Failures; // "name: reason" for parameters that cannot be converted at all
    FormatTag From = FormatTag::AUTO;
    FormatTag To = FormatTag::PNG;
    // Empty when the command line, the stored settings and the files name none.
    QString ExportFolder;
    ConversionSettings Settings;
    QString UsageError; // empty when the run can go ahead
    bool ShowHelp = false;

    // Whether a file of the run converts through the audio layer.
    bool NeedsAudio() const;
    // Files to write, and no folder to write them to.
    bool NeedsFolder() const { return ExportFolder.isEmpty() && !Files.isEmpty(); }
};

// What the command line and the stored settings ask of the run, decided as the
// window decides it at start-up: the stored "Last Path" when "Save path" is on,
// then each "directory", then the first file's folder when "Files export path on
// open" is on. A "directory" that is no folder is a usage error, not a dialog.
TBackgroundPlan PlanBackgroundRun(const TCommandLine& line, const TStoredSettings& stored);

// Whether a window could be shown: a display is named and Qt is not told to draw offscreen.
bool HasDisplay();

// The window's data folder (AppDataFolder of "Formshift" with the maker folder),
// created when missing, without the registry store that the folder helpers
// load. Empty when it cannot be created.
QString ConsoleDataFolder();

// What both programs do before a background run: reads the stored settings and
// plans the run. Returns the exit status when the program ends here (a usage
// error, said on standard error); otherwise the plan is ready, its export folder
// empty only when a display can show the folder dialog.
std::optional<int> PrepareBackgroundRun(const TCommandLine& line, TBackgroundPlan& plan, QString& dataFolder);

// Prints "formshift: text" on standard error.
void PrintError(const QString& text);

// Converts the plan's files on the running application's event loop and
// returns the exit status. The plan's export folder must be set.
int RunInConsole(const TBackgroundPlan& plan, const QString& dataFolder,
                 const std::function<void(TConverterSet&)>& installConverters);
