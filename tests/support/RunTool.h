#pragma once
// Runs an outside tool (an independent reader such as ffprobe or exiftool) to its end.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <optional>

// Its standard output, or nothing when it could not run or failed.
inline std::optional<QByteArray> RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}
