#pragma once
// The report is trusted with what it names, but not with everything: a report
// that names the file-system root, the home folder, a system or desktop folder
// (or a folder holding one), or a registry key at the top of a hive is refused
// as a whole, so none of it is removed.
#include "InstallReport.h"

#include <QString>
#include <QStringList>

// Folders that no report may remove, nor any folder that holds one; computed
// from the file system and the current environment.
QStringList ProtectedFolders();
// A non-empty folder path that is relative, or the root, or a protected folder
// or one of its ancestors (as written or with its links resolved).
bool IsProtectedFolder(const QString& path, const QStringList& protectedFolders);
// A key path below a hive that names a key at the top of the hive, or a key
// that holds the system's own records. A path that names no key at all (empty,
// only delimiters) deletes nothing and is not protected.
bool IsProtectedRegistryRecord(const QString& record);
// The elements of a key path below a hive as the registry wrapper reads it:
// "\" delimits, empty elements and a leading "Computer" drop out.
QStringList RegistryKeyElements(const QString& record);
// Why the report must not be acted on, empty when it may be.
QString RefusalReason(const TAppOptions& options);
