#include "SelfDelete.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool StartDelayedSelfDelete(const QString& executable) {
    // A relocated copy also leaves its private folder behind, which rmdir
    // removes only when nothing else is in it.
    const QFileInfo file(executable);
    const QString folder = file.dir().dirName().startsWith(QLatin1String(RelocationFolderPrefix))
                               ? file.absolutePath()
                               : QString();

    QProcess shell;
    shell.setProgram(QStringLiteral("/bin/sh"));
    shell.setArguments(
        {QStringLiteral("-c"),
         QStringLiteral("sleep 3; rm -f -- \"$1\"; [ -z \"$2\" ] || rmdir -- \"$2\" 2>/dev/null; exit 0"),
         QStringLiteral("sh"), file.absoluteFilePath(), folder});
    shell.setWorkingDirectory(QStringLiteral("/"));
    // Nothing of this program's terminal or pipes is kept open by the shell.
    shell.setStandardInputFile(QProcess::nullDevice());
    shell.setStandardOutputFile(QProcess::nullDevice());
    shell.setStandardErrorFile(QProcess::nullDevice());
    return shell.startDetached();
}
