#include "Instances.h"

#include "FullProgram.h"
#include "InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString InstanceNameFor(const QString& programPath) {
    QString name = programPath;
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.remove(QLatin1Char(':'));
    return name.size() > 100 ? name.right(100) : name;
}

QString InstanceName() {
    // formshift-full runs in the place of formshift, the file the copies are named after.
    const QString started = qEnvironmentVariable(ProgramFileVariable);
    static const QString name =
        InstanceNameFor(started.isEmpty() ? QCoreApplication::applicationFilePath() : started);
    return name;
}

QString RuntimeFolder() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!fromEnvironment.isEmpty() && QFileInfo(fromEnvironment).isDir())
        return QDir::cleanPath(fromEnvironment);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir::cleanPath(folder);
}

bool HasOtherInstance() {
    static TInstanceLock lock;
    return lock.Acquire(RuntimeFolder() + QLatin1Char('/') + InstanceName());
}
