#include "CommandParams.h"

#include "CommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

QStringList ProgramArguments() {
    if (QCoreApplication::instance()) return QCoreApplication::arguments();
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
    const QByteArray data = file.readAll();
    QList<QByteArray> parts = data.split('\0');
    if (data.endsWith('\0')) parts.removeLast();
    QStringList arguments;
    for (const QByteArray& part : parts)
        arguments.append(QFile::decodeName(part));
    return arguments;
}

QString NormaliseParam(const QString& argument) {
    if (!argument.startsWith(u'/') || QFileInfo::exists(argument)) return argument;
    return u'-' + argument.mid(1);
}

QString JoinParams(const QStringList& arguments) {
    QStringList normalised;
    normalised.reserve(arguments.size());
    for (const QString& argument : arguments)
        normalised.append(NormaliseParam(argument));
    return JoinCommandLine(normalised);
}

QString ParamText(int index) {
    const QStringList arguments = ProgramArguments();
    if (index < 0 || index >= arguments.size()) return {};
    return NormaliseParam(arguments[index]);
}

QString ParamLine() {
    return JoinParams(ProgramArguments().mid(1));
}
