#include "ShellHelpers.h"

#include "ChildProcess.h"
#include "CommandLine.h"
#include "ShellLaunch.h"
#include "UserRights.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>

void LaunchProgram(const QString& fileName, bool show, const QString& parameters, bool asAdministrator,
                   const QString& directory) {
    Q_UNUSED(show);
    if (fileName.isEmpty()) return;
    if (IsLink(fileName)) {
        OpenWithDesktop(fileName);
        return;
    }
    const QStringList arguments = SplitCommandLine(parameters);
    const QString program = FindExecutable(fileName);
    if (!program.isEmpty()) {
        if (asAdministrator && !IsAdministrator())
            StartAsAdministrator(program, arguments, directory);
        else
            StartDetached(program, arguments, directory);
        return;
    }
    if (QFileInfo::exists(fileName)) OpenWithDesktop(fileName);
}

void ShellOpen(const QString& target, const QString& parameters) {
    LaunchProgram(target, true, parameters, false, QString());
}

QStringList TextLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < length) lines.append(text.mid(start));
    return lines;
}

QStringList RunPowerShell(const QString& command, bool showWindow, bool noMessagePump, bool captureOutput) {
    Q_UNUSED(showWindow);
    QString script = command;
    script.replace(u'"', u'\'');
    ChildProcessOptions options;
    const QString pwsh = FindExecutable(QStringLiteral("pwsh"));
    options.Program = pwsh.isEmpty() ? QStringLiteral("/bin/sh") : pwsh;
    options.Arguments = {QStringLiteral("-c"), script};
    options.Output =
        captureOutput ? ChildProcessOptions::Stream::Capture : ChildProcessOptions::Stream::Inherit;
    options.Errors =
        captureOutput ? ChildProcessOptions::Stream::Capture : ChildProcessOptions::Stream::Discard;
    if (!noMessagePump) {
        options.WhileWaiting = [] {
            QCoreApplication* app = QCoreApplication::instance();
            if (app && QThread::currentThread() == app->thread()) QCoreApplication::processEvents();
        };
    }
    const ChildProcessResult result = RunChildProcess(options);
    if (!captureOutput) return {};
    return TextLines(QString::fromLocal8Bit(result.Output));
}

int ExecuteAndWait(const QString& program, const QStringList& arguments) {
    ChildProcessOptions options;
    options.Program = program;
    options.Arguments = arguments;
    options.Output = ChildProcessOptions::Stream::Discard;
    options.Errors = ChildProcessOptions::Stream::Discard;
    const ChildProcessResult result = RunChildProcess(options);
    return result.Started ? result.ExitCode : -1;
}

int ExecuteAndWait(const QString& commandLine) {
    const QStringList parts = SplitCommandLine(commandLine);
    if (parts.isEmpty()) return -1;
    return ExecuteAndWait(parts.constFirst(), parts.mid(1));
}

bool RunningAsAdministrator() {
    return IsAdministrator();
}

void FlashApplication() {
    // Five flashes at 2000 ms.
    constexpr int FlashDurationMs = 5 * 2000;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->isVisible()) window->alert(FlashDurationMs);
}
