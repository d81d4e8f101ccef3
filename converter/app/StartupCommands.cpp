#include "StartupCommands.h"

#include "CommandLine.h"
#include "MessageDisplay.h"

#include <QFileInfo>

TFormshift::StartOutcome ObeyCommandLine(TFormshift& window, const QStringList& parameters,
                                         bool secondInstance) {
    using Outcome = TFormshift::StartOutcome;
    TConversionDriver& driver = window.Driver();
    const TCommandLine line = ParseCommandLine(parameters);
    if (line.Help) ShowInformation(&window, QStringLiteral("Formshift"), HelpText());
    // Converting to a format the user did not ask for would be worse than nothing.
    if (!line.UsageError.isEmpty()) {
        ShowErrorMessage(&window, line.UsageError);
        return Outcome::UsageError;
    }
    if (line.Background) driver.BackgroundMode = true;
    for (const QString& folder : line.Directories)
        window.SelectPath(folder, false);

    window.AddFiles(line.Files + line.UnnamableFiles);
    driver.PrepareList();
    // A list that cannot be handed over stays in this window, which carries on as an ordinary one.
    if (secondInstance) return window.HandOverToFirstCopy(line.Files) ? Outcome::HandedOver : Outcome::Run;

    if (window.ExportPathFromOpenedFiles() && !line.Files.isEmpty()) {
        const QString folder = QFileInfo(line.Files.first()).absolutePath();
        if (QFileInfo(folder).isDir()) window.SelectPath(folder, false);
    }
    driver.SourceFormat = line.From != FormatTag::Unknown ? line.From : FormatTag::AUTO;
    if (line.To != FormatTag::Unknown) driver.TargetFormat = line.To;
    window.SyncVarNames();
    if (line.ConvertNow) {
        driver.ConvertAll();
        if (driver.RunState() == RunStateKind::Idle && window.MissingExportFolder())
            return Outcome::NoExportFolder;
        if (driver.BackgroundMode) window.HideForBackgroundRun();
    }
    return Outcome::Run;
}
