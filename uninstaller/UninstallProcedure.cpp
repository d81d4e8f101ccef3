#include "UninstallProcedure.h"

#include "FolderRemoval.h"
#include "RemovalSafety.h"
#include "UninstallLog.h"

#include "SpecialFolders.h"
#include "TWinRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

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

} // namespace

void TUninstallProcedure::setUninstallStep(int step) {
    if (step > FUninstallStep) FUninstallStep = step;
}

QString TUninstallProcedure::Refusal() {
    if (!FRefusal) {
        FRefusal = RefusalReason(FOptions);
        if (!FRefusal->isEmpty())
            Log(QStringLiteral("<!> Error: the install report is refused, ") + *FRefusal);
    }
    return *FRefusal;
}

void TUninstallProcedure::RunUninstallStep(int step) {
    if (step < 1 || step > 3) return;
    if (!Refusal().isEmpty()) {
        FUninstallFailed = true;
        return;
    }
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
        if (!QFile::remove(path)) FUninstallFailed = true;
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
        Log(QStringLiteral("<!> Error: the install folder does not exist: ") + FOptions.InstallPath);
        FUninstallFailed = true;
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
        FUninstallFailed = true;
        return;
    }
    if (exists &&
        (!registry.DeleteKey(FOptions.RegistryRecord) || registry.KeyExists(FOptions.RegistryRecord)))
        FUninstallFailed = true;
}

bool TUninstallProcedure::FindRunningProcess() {
    const QFileInfo executable(FOptions.ExeLocation);
    if (FOptions.ExeLocation.isEmpty() || !executable.exists() || executable.fileName().isEmpty())
        return false;
    const QString name = executable.fileName();
    for (const TProcess& process : ListProcesses()) {
        if (process.Module == name) {
            FFoundProcess = process;
            return true;
        }
    }
    return false;
}
