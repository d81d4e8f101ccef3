#include "PathVariables.h"

#include "TWinRegistry.h"
#include "WindowsEnvironment.h"

#include <QProcessEnvironment>

#include <mutex>

namespace {

void EnsureEnvironmentOnce() {
    static std::once_flag once;
    std::call_once(once, [] { EnsureWindowsEnvironment(); });
}

// Environment names are compared without regard to case, as on Windows; an exact
// match wins over others.
QString EnvironmentValue(const QString& name) {
    if (name.isEmpty() || name.contains(u'=') || name.contains(QChar(0))) return {};
    const QByteArray exact = name.toLocal8Bit();
    if (qEnvironmentVariableIsSet(exact.constData())) return qEnvironmentVariable(exact.constData());
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& key : environment.keys())
        if (key.compare(name, Qt::CaseInsensitive) == 0) return environment.value(key);
    return {};
}

} // namespace

QString ExpandEnvironmentNames(const QString& path) {
    EnsureEnvironmentOnce();
    QString result = path;
    // Positions in `result` are those of `path` moved by the replacements so far;
    // a token is replaced where it stands, never at an earlier copy of its text
    // that a replacement brought in, and not when a replacement already took its
    // opening "%".
    qsizetype shift = 0;
    qsizetype replacedUntil = 0;
    qsizetype position = 0;
    for (;;) {
        const qsizetype open = path.indexOf(u'%', position);
        if (open < 0) break;
        const qsizetype close = path.indexOf(u'%', open + 1);
        if (close < 0) break;
        const qsizetype length = close - open + 1;
        const QString value = EnvironmentValue(path.mid(open + 1, length - 2));
        if (!value.isEmpty() && open >= replacedUntil) {
            result.replace(open + shift, length, value);
            shift += value.size() - length;
            replacedUntil = close + 1;
        }
        position = close;
    }
    return result;
}

QString ExpandShellNames(const QString& path) {
    if (!path.contains(QStringLiteral("shell:"))) return path;
    static const QString machineFolders = QStringLiteral(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\");
    static const QString userFolders = QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\");
    TWinRegistry registry;
    // A key that cannot be read just contributes no names.
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    QString result = path;
    for (const QString& key : {machineFolders, userFolders}) {
        for (const QString& name : registry.GetValueNames(key)) {
            const QString token = QStringLiteral("shell:") + name.toLower();
            if (!result.toLower().contains(token)) continue;
            result.replace(token, registry.GetStringValue(key, name), Qt::CaseInsensitive);
        }
    }
    return result;
}

QString ExpandPathVariables(const QString& path) {
    return ExpandEnvironmentNames(ExpandShellNames(path));
}
