#pragma once
// The report is trusted with what it names, but not with everything: a report
// that names the file-system root, a home folder, a system or desktop folder (or
// a folder holding one), anything inside the system's trees or another user's
// home, a folder of another user, or a registry key that is not one
// application's is refused as a whole, so none of it is removed.
#include "InstallReport.h"

#include <QString>
#include <QStringList>

// Folders that no report may remove, nor any folder that holds one; computed
// from the file system and the current environment.
QStringList ProtectedFolders();
// A non-empty folder path that is relative, or the root, or a protected folder
// or one of its ancestors (as written or with its links resolved).
bool IsProtectedFolder(const QString& path, const QStringList& protectedFolders);
// A key path below a hive that names a key at the top of the hive, a key that
// holds the system's own records, or the vendor's key that holds every one of its
// applications' records (in any letter case, with "/" or "\" between elements). A path that names no key at
// all (empty, only delimiters) deletes nothing and is not protected.
bool IsProtectedRegistryRecord(const QString& record);
// What a removal may touch: computed from the system by CurrentRemovalScope, or
// made up by tests.
struct TRemovalScope {
    // Folders that no report may remove, nor any folder holding one.
    QStringList ProtectedFolders;
    // Home folders of users the removal does not act for: nothing at or below them.
    QStringList OtherHomes;
    // The users whose folders may be removed: the one running the removal and,
    // for an elevated one, the user who asked for it.
    QList<uint> Owners;
};
TRemovalScope CurrentRemovalScope();
// The home folders of the users the removal acts for.
QStringList OwnHomes();
// Why the folder `path` must not be removed for the application `appName`, empty
// when it may (also for an empty path, which names nothing). Inside the system's
// trees only /var/opt and, below /usr/local, a folder named after the application
// are open to a removal.
QString FolderRefusal(const QString& path, const QString& appName, const TRemovalScope& scope);
// The elements of a key path below a hive as the registry wrapper reads it:
// "\" delimits, empty elements and a leading "Computer" drop out.
QStringList RegistryKeyElements(const QString& record);
// Why the report must not be acted on, empty when it may be.
QString RefusalReason(const TAppOptions& options);
QString RefusalReason(const TAppOptions& options, const TRemovalScope& scope);
