#pragma once
// The install report that the installer leaves beside the application: what to
// remove, and how it was installed.
#include <QString>
#include <QStringList>

struct TAppOptions {
    QString AppName;
    QString InstallPath;
    QString AppDataPath;
    QString ExeLocation;
    bool UserInstall = false;
    QString RegistryRecord;
    QString RegistryHIVE;
    bool CreateStartMenu = false;
    bool CreateDesktop = false;
    bool RemoveProgramData = false;
};

enum class TReportStatus { Found, Missing, Mismatched, Unusable };

inline constexpr const char* InstallReportName = "InstallReport.ini";
inline constexpr const char* SupportedReportVersion = "1.0.0";
inline constexpr const char* MissingReportText =
    "The uninstaller cannot start as there is no install report file avalabile";
// Followed by the report's path.
inline constexpr const char* UnusableReportText =
    "The install report is not a regular file of at most 4 MiB, so it cannot be read: ";
inline constexpr const char* MismatchedReportText =
    "The installer report version is mismatched. Installation cannot continue";

// Fills `options` from the report at `path` when its version is exactly the
// supported one; otherwise leaves `options` untouched.
TReportStatus ReadInstallReport(const QString& path, TAppOptions& options);

// Where the report is: the path after the first "-r" among `arguments` (taken
// through ParamText), else the report beside the uninstaller in `programFolder`,
// else the last file of the current folder whose name contains "InstallReport".
// Empty when none of these names an existing file.
QString FindInstallReport(const QStringList& arguments, const QString& programFolder);

// Finds and reads the report into `options`, storing its path in `reportPath`;
// a report that reads sets RemoveProgramData, which the options may clear later.
// Unusable when the report named by "-r" (or beside the program) exists but is
// not a regular file of a report's size.
TReportStatus LocateInstallReport(const QStringList& arguments, const QString& programFolder,
                                  QString& reportPath, TAppOptions& options);
