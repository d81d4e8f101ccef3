#include "ShellLaunch.h"

#include "ChildProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

QString FindExecutable(const QString& name) {
    if (name.isEmpty()) return {};
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

bool IsLink(const QString& target) {
    if (target.startsWith(u'/')) return false;
    const QUrl url(target, QUrl::StrictMode);
    // One-letter schemes would be drive letters; links name a real scheme.
    return url.isValid() && url.scheme().size() > 1;
}

bool StartDetached(const QString& program, const QStringList& arguments, const QString& workingDirectory) {
    return QProcess::startDetached(program, arguments, workingDirectory);
}

bool OpenWithDesktop(const QString& target) {
    const QString opener = FindExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || target.isEmpty()) return false;
    return StartDetached(opener, {target});
}

QStringList AdministratorCommand(const QString& program, const QStringList& arguments,
                                 const QString& workingDirectory, const QStringList& environment) {
    QString env = FindExecutable(QStringLiteral("env"));
    if (env.isEmpty()) env = QStringLiteral("/usr/bin/env");
    QStringList command{QStringLiteral("pkexec"), env};
    if (!workingDirectory.isEmpty()) command.append(QStringLiteral("--chdir=") + workingDirectory);
    for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR",
                             "XDG_SESSION_TYPE", "QT_QPA_PLATFORM", "LANG", "BRENVALE_REGISTRY_ROOT"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            command.append(QString::fromLatin1(name) + u'=' + qEnvironmentVariable(name));
    }
    for (const QString& assignment : environment)
        if (assignment.indexOf(u'=') > 0) command.append(assignment);
    // env would take a program path holding "=" for one more variable; a shell
    // starts such a program by position instead.
    if (program.contains(u'='))
        command << QStringLiteral("/bin/sh") << QStringLiteral("-c") << QStringLiteral("exec \"$0\" \"$@\"");
    command.append(program);
    command.append(arguments);
    return command;
}

bool StartAsAdministrator(const QString& program, const QStringList& arguments,
                          const QString& workingDirectory) {
    const QString pkexec = FindExecutable(QStringLiteral("pkexec"));
    if (pkexec.isEmpty()) return false;
    QStringList command = AdministratorCommand(program, arguments, workingDirectory);
    command.removeFirst();
    return StartDetached(pkexec, command);
}

AdministratorRun RunAsAdministrator(const QString& program, const QStringList& arguments,
                                    const QString& workingDirectory, const QStringList& environment) {
    AdministratorRun run;
    const QString pkexec = FindExecutable(QStringLiteral("pkexec"));
    if (pkexec.isEmpty()) {
        run.Result = AdministratorRun::Outcome::NoPkexec;
        return run;
    }
    ChildProcessOptions options;
    options.Program = pkexec;
    options.Arguments = AdministratorCommand(program, arguments, workingDirectory, environment);
    options.Arguments.removeFirst();
    const ChildProcessResult result = RunChildProcess(options);
    if (!result.Started) return run;
    // pkexec answers 126 when the consent dialog was dismissed and 127 when it
    // could not authorise; any other status is the program's own.
    switch (result.ExitCode) {
    case 126:
        run.Result = AdministratorRun::Outcome::Cancelled;
        break;
    case 127:
        run.Result = AdministratorRun::Outcome::Refused;
        break;
    default:
        run.Result = AdministratorRun::Outcome::Ran;
        run.ExitCode = result.ExitCode;
    }
    return run;
}
