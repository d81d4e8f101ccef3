#include "HeicTools.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString FindHeicTool(const QString& name) {
    if (QCoreApplication::instance()) {
        const QFileInfo beside(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
        if (beside.isFile() && beside.isExecutable()) return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

QStringList HeicDecoderOptions(const ConversionSettings& settings) {
    return {QStringLiteral("--quality"),
            settings.Lossless ? QStringLiteral("100") : QString::number(settings.Quality)};
}

QStringList HeicEncoderOptions(const ConversionSettings& settings) {
    if (settings.Lossless) return {QStringLiteral("--lossless")};
    return {QStringLiteral("--quality"), QString::number(settings.Quality)};
}

THeicRun RunHeicTool(const QString& name, const QStringList& arguments, const QString& output,
                     const std::function<bool()>& cancelled) {
    const QString program = FindHeicTool(name);
    if (program.isEmpty()) return THeicRun::Failed;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // Nothing reads the tool's messages; they must not fill a pipe and stall it either.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted()) return THeicRun::Failed;
    while (!process.waitForFinished(100)) {
        if (process.state() == QProcess::NotRunning) break;
        if (cancelled && cancelled()) {
            process.kill();
            process.waitForFinished(-1);
            return THeicRun::Cancelled;
        }
    }
    // A tool that failed may leave half a file behind: only a clean end counts.
    const QFileInfo written(output);
    const bool clean = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return clean && written.isFile() && written.size() > 0 ? THeicRun::Written : THeicRun::Failed;
}
