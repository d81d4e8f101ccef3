#include "UninstallProcedure.h"

#include "FolderRemoval.h"
#include "RemovalSafety.h"
#include "UninstallLog.h"

#include "CommandLine.h"
#include "ProcessTable.h"
#include "SpecialFolders.h"
#include "TWinRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder as the user shell folders give it, with a trailing delimiter.
QString ShortcutFolder(UserFolderKind kind) {
    QString folder = UserShellFolder(kind);
    if (!folder.isEmpty() && !folder.endsWith(u'/')) folder += u'/';
    return folder;
}

bool EntryExists(const QString& path) {
    struct stat info;
    return lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool IsFile(const QString& path, const struct stat& wanted) {
    struct stat info;
    return !path.isEmpty() && stat(QFile::encodeName(path).constData(), &info) == 0 &&
           info.st_dev == wanted.st_dev && info.st_ino == wanted.st_ino;
}

// Whether the process runs the file: as its executable, or as the program or
// script its command line names. An interpreter ("python3 app.py", "sh -e
// launcher") takes its script as the first argument that is no option; later
// arguments are data, and an editor that merely opened the file is no copy.
bool RunsFile(const ProcessEntry& entry, const struct stat& wanted) {
    const QString folder = QStringLiteral("/proc/%1/").arg(entry.Pid);
    if (IsFile(folder + QStringLiteral("exe"), wanted)) return true;
    const QString workingFolder = folder + QStringLiteral("cwd/");
    const auto names = [&](const QString& argument) {
        if (argument.isEmpty()) return false;
        return IsFile(QDir::isAbsolutePath(argument) ? argument : workingFolder + argument, wanted);
    };
    if (entry.Arguments.isEmpty()) return false;
    if (names(entry.Arguments.constFirst())) return true;
    for (qsizetype i = 1; i < entry.Arguments.size(); ++i) {
        const QString& argument = entry.Arguments[i];
        if (argument.startsWith(u'-')) continue;
        return names(argument);
    }
    return false;
}

} // namespace

void TUninstallProcedure::setUninstallStep(int step) {
    if (step > FUninstallStep) FUninstallStep = step;
}

QString TUninstallProcedure::Refusal() {
    if (!FRefusal) {
        FRefusal = RefusalReason(FOptions);
        if (!FRefusal->isEmpty()) {
            qCInfo(removeLog).noquote() << "refused the report:" << *FRefusal;
            Log(QStringLiteral("<!> Error: the install report is refused, ") + *FRefusal);
        }
    }
    return *FRefusal;
}

void TUninstallProcedure::RunUninstallStep(int step) {
    if (step < 1 || step > 3) return;
    if (!Refusal().isEmpty()) {
        if (FFailures.isEmpty()) FFailures << QStringLiteral("the install report is refused, ") + *FRefusal;
        FUninstallFailed = true;
        return;
    }
    qCInfo(removeLog) << "step" << step << "of" << FOptions.AppName;
    switch (step) {
    case 1:
        RemoveShortcuts();
        break;
    case 2:
        RemoveFolders();
        break;
    case 3:
        RemoveRegistryRecord();
        break;
    }
}

void TUninstallProcedure::RemoveShortcuts() {
    // Without a name the path would be a hidden ".desktop" that is not ours.
    if (FOptions.AppName.isEmpty()) return;
    const struct {
        UserFolderKind Kind;
        bool Created;
    } shortcuts[] = {{UserFolderKind::Programs, FOptions.CreateStartMenu},
                     {UserFolderKind::Desktop, FOptions.CreateDesktop}};
    for (const auto& shortcut : shortcuts) {
        const QString folder = ShortcutFolder(shortcut.Kind);
        if (!shortcut.Created || folder.isEmpty()) continue;
        const QString path = folder + FOptions.AppName + QStringLiteral(".desktop");
        if (!EntryExists(path) || QFileInfo(path).isDir()) continue;
        // A shortcut that stays behind is a failed removal like a folder that stays.
        QFile file(path);
        if (!file.remove())
            Fail(QStringLiteral("the shortcut %1 could not be deleted: %2").arg(path, file.errorString()));
    }
}

void TUninstallProcedure::RemoveFolders() {
    // A folder removal leaves what it cannot remove without counting it as a failure.
    if (!FOptions.InstallPath.isEmpty() && QFileInfo(FOptions.InstallPath).isDir()) {
        DeleteFolderTree(FOptions.InstallPath);
    } else if (!FOptions.InstallPath.isEmpty() && !EntryExists(FOptions.InstallPath)) {
        // The report names an installation that is not there: a wrong report, or
        // one run already. Removing nothing of it is no successful uninstall. (A
        // data folder, by contrast, exists only once the application has run.)
        Fail(QStringLiteral("the install folder does not exist: ") + FOptions.InstallPath);
    }
    if (FOptions.RemoveProgramData && !FOptions.AppDataPath.isEmpty() &&
        QFileInfo(FOptions.AppDataPath).isDir())
        DeleteFolderTree(FOptions.AppDataPath);
}

void TUninstallProcedure::RemoveRegistryRecord() {
    if (RegistryKeyElements(FOptions.RegistryRecord).isEmpty()) return;
    TWinRegistry registry;
    // A silent run has nobody to show a registry message to; failures are counted instead.
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    registry.SetNewRegistryMode(TRegistryMode::Windows64);
    registry.setManualHive(TWinRegistry::StringToHive(FOptions.RegistryHIVE, HKEY_CURRENT_USER));
    const bool exists = registry.KeyExists(FOptions.RegistryRecord);
    // A store that cannot be read, or a record that stays, is no successful removal.
    if (registry.LastError() != TRegistryError::None) {
        Fail(QStringLiteral("the registry could not be read: ") + RegistryErrorMessage(registry.LastError()));
        return;
    }
    if (exists &&
        (!registry.DeleteKey(FOptions.RegistryRecord) || registry.KeyExists(FOptions.RegistryRecord)))
        Fail(QStringLiteral("the registry record %1 could not be removed").arg(FOptions.RegistryRecord));
}

void TUninstallProcedure::Fail(const QString& reason) {
    FUninstallFailed = true;
    FFailures << reason;
    qCInfo(removeLog).noquote() << "failed:" << reason;
    Log(QStringLiteral("<!> Error: ") + reason);
}

bool TUninstallProcedure::FindRunningProcess() {
    const QFileInfo executable(FOptions.ExeLocation);
    if (FOptions.ExeLocation.isEmpty() || !executable.exists() || executable.fileName().isEmpty())
        return false;
    const QString name = executable.fileName();
    struct stat wanted;
    if (stat(QFile::encodeName(FOptions.ExeLocation).constData(), &wanted) != 0) return false;
    for (const ProcessEntry& entry : SnapshotProcesses()) {
        if (entry.Pid == quint32(getpid())) continue;
        if (entry.Name == name || RunsFile(entry, wanted)) {
            FFoundProcess = ToProcess(entry);
            return true;
        }
    }
    return false;
}
