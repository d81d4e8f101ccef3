#include "sysconsole.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <unistd.h>

namespace {

bool Connected = false;

QString LowerFileName(const QString& path) {
    QString name = QLocale().toLower(path);
    name = name.mid(name.lastIndexOf(u'/') + 1);
    // An interpreter that was upgraded while it runs still counts.
    if (name.endsWith(QLatin1String(" (deleted)"))) name.chop(10);
    return name;
}

} // namespace

QString sysconsole::GetParentProcessName() {
    const pid_t parent = getppid();
    if (parent <= 0) return QString();
    return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(parent));
}

QStringList sysconsole::SystemShells() {
    QStringList shells;
    QFile file(QStringLiteral("/etc/shells"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (!line.isEmpty() && !line.startsWith(u'#')) shells << line;
        }
    }
    return shells;
}

bool sysconsole::IsInterpreter(const QString& executablePath, const QStringList& shells) {
    if (executablePath.isEmpty()) return false;
    const QString name = LowerFileName(executablePath);
    if (name == QLatin1String("pwsh")) return true;
    for (const QString& shell : shells) {
        if (LowerFileName(shell) == name) return true;
        // /bin/sh stands for whatever it links to (dash on Debian).
        const QString target = QFileInfo(shell).canonicalFilePath();
        if (!target.isEmpty() && LowerFileName(target) == name) return true;
    }
    return false;
}

bool sysconsole::ConsoleCalled() {
    return IsInterpreter(GetParentProcessName(), SystemShells());
}

bool sysconsole::Connect(bool force) {
    if (Connected) return false;
    if (!force && !ConsoleCalled()) return false;
    // Standard output already leads to the shell's terminal; connecting only
    // remembers that lines may be written there.
    Connected = true;
    return true;
}

void sysconsole::Disconnect() {
    std::fflush(stdout);
    Connected = false;
}

void sysconsole::QuickOutput(const QString& text) {
    if (!Connected && !Connect(false)) return;
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, line.size(), stdout);
    std::fflush(stdout);
}
