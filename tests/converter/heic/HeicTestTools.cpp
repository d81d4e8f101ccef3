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

QString SampleFor(const QString& extension) {
    const QString samples = QStringLiteral(BRENVALE_SOURCE_DIR "/resources/samples/");
    if (extension == QLatin1String(".heic") || extension == QLatin1String(".heif"))
        return samples + QStringLiteral("meadow-heic.heic");
    if (extension == QLatin1String(".png")) return samples + QStringLiteral("sunset.png");
    return samples + QStringLiteral("meadow.jpg");
}

namespace {

QString SampleChoice() {
    return QStringLiteral("case \"$out\" in\n"
                          "  *.heic|*.heif) sample='%1' ;;\n"
                          "  *.png) sample='%2' ;;\n"
                          "  *) sample='%3' ;;\n"
                          "esac\n")
        .arg(SampleFor(".heic"), SampleFor(".png"), SampleFor(".jpeg"));
}

} // namespace

QString WholeSampleBody() {
    return SampleChoice() + QStringLiteral("cat \"$sample\" > \"$out\"");
}

QString HalfSampleBody() {
    return SampleChoice() +
           QStringLiteral("head -c $(( $(wc -c < \"$sample\") / 2 )) \"$sample\" > \"$out\"\nexit 0");
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
