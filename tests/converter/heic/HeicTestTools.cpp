#include "HeicTestTools.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

QString WriteFakeTool(const QString& folder, const QString& name, const QString& body) {
    const QString path = QDir(folder).filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly)) return {};
    script.write(QStringLiteral("#!/bin/sh\n"
                                "printf '%s\\0' \"$@\" > \"$0.args\"\n"
                                "for out; do :; done\n")
                     .toUtf8());
    script.write(body.toUtf8());
    script.write("\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

QStringList RecordedArguments(const QString& toolPath) {
    QFile record(toolPath + QStringLiteral(".args"));
    if (!record.open(QIODevice::ReadOnly)) return {QStringLiteral("<not run>")};
    QStringList arguments = QString::fromUtf8(record.readAll()).split(QChar(u'\0'));
    arguments.removeLast(); // every argument ends with a NUL
    return arguments;
}

QString InstalledTool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

namespace {

bool Run(const QString& program, const QStringList& arguments, const QString& output) {
    if (program.isEmpty()) return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0 && QFile::exists(output);
}

} // namespace

bool MakeHeic(const QString& png, const QString& heic, const QStringList& morePngs) {
    return Run(InstalledTool("heif-enc"),
               QStringList{QStringLiteral("--lossless"), png} << morePngs << QStringLiteral("-o") << heic,
               heic);
}

bool ReadHeicAsPng(const QString& heic, const QString& png) {
    return Run(InstalledTool("heif-convert"), {heic, png}, png);
}
