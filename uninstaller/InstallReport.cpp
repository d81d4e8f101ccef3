#include "InstallReport.h"

#include "ProfileIni.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool IsFile(const QString& path) {
    return TProfileIni::IsUsableFile(path);
}

bool ExistsAsAnything(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).exists();
}

// The report the command line or the program's folder names.
QString NamedReport(const QStringList& arguments, const QString& programFolder) {
    const qsizetype option = arguments.indexOf(QStringLiteral("-r"));
    const QString named = option >= 0 && option + 1 < arguments.size() ? arguments[option + 1] : QString();
    return named.isEmpty() ? QDir(programFolder).filePath(InstallReportName) : named;
}

} // namespace

TReportStatus ReadInstallReport(const QString& path, TAppOptions& options) {
    const TProfileIni report(path);
    if (report.ReadString("Report", "Report Version", QString()) != QLatin1String(SupportedReportVersion))
        return TReportStatus::Mismatched;

    options.AppName = report.ReadString("Application", "Name", QString());
    options.InstallPath = report.ReadString("Application", "Install Path", QString());
    options.AppDataPath = report.ReadString("Application", "Data Path", QString());
    options.ExeLocation = report.ReadString("Application", "Executable", QString());
    options.CreateStartMenu = report.ReadBool("Configuration", "Shortcut-Menu", false);
    options.CreateDesktop = report.ReadBool("Configuration", "Shortcut-Desktop", false);
    options.UserInstall = report.ReadBool("Installation", "User Install", options.UserInstall);
    options.RegistryRecord = report.ReadString("Installation", "Registry Record", options.RegistryRecord);
    options.RegistryHIVE = report.ReadString("Installation", "Registry HIVE", options.RegistryHIVE);
    return TReportStatus::Found;
}

QString FindInstallReport(const QStringList& arguments, const QString& programFolder) {
    QString reportPath = NamedReport(arguments, programFolder);

    if (!IsFile(reportPath)) {
        // The directory's own order decides, so the last listed match wins.
        const QDir current = QDir::current();
        const QStringList files =
            current.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
        for (const QString& name : files) {
            if (name.contains(QLatin1String("InstallReport"), Qt::CaseSensitive))
                reportPath = QStringLiteral("./") + name;
        }
    }
    return IsFile(reportPath) ? reportPath : QString();
}

TReportStatus LocateInstallReport(const QStringList& arguments, const QString& programFolder,
                                  QString& reportPath, TAppOptions& options) {
    const QString named = NamedReport(arguments, programFolder);
    // A named report that is there but no report must not silently give way to
    // another one found in the current folder.
    if (ExistsAsAnything(named) && !IsFile(named)) {
        reportPath = named;
        return TReportStatus::Unusable;
    }
    reportPath = FindInstallReport(arguments, programFolder);
    if (reportPath.isEmpty()) return TReportStatus::Missing;
    const TReportStatus status = ReadInstallReport(reportPath, options);
    if (status == TReportStatus::Found) options.RemoveProgramData = true;
    return status;
}
