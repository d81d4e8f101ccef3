#include "HeifTools.h"

#include "ChildProcess.h"
#include "ToolOutputCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString ArgumentPath(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

bool IsWrittenFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

// The tools report some failures (an output folder that cannot be written, a full
// disk) with success, and a tool that fails half way may leave a partial file; only
// a clean exit together with a file whose structure is whole counts. A rejected
// file is removed so that nothing cut short can pass for a result later.
bool RunTool(const QString& program, const QStringList& arguments, const QString& output,
             const std::function<bool()>& cancelled) {
    ChildProcessOptions options;
    options.Program = program;
    options.Arguments = arguments;
    options.Output = ChildProcessOptions::Stream::Discard;
    options.Errors = ChildProcessOptions::Stream::Discard;
    options.ChildLifetime = ChildProcessOptions::Lifetime::EndsWithThisProcess;
    options.StopWhen = cancelled;
    const ChildProcessResult result = RunChildProcess(options);
    if (result.Started && !result.Stopped && result.ExitCode == 0 && IsCompleteToolOutput(output))
        return true;
    QFile::remove(output);
    return false;
}

} // namespace

THeifTools::THeifTools(QString decoder, QString encoder)
    : FDecoder(std::move(decoder)), FEncoder(std::move(encoder)) {}

THeifTools THeifTools::Locate() {
    const QStringList folders = SearchFolders();
    return THeifTools(FindTool(QLatin1String(DecoderName), folders),
                      FindTool(QLatin1String(EncoderName), folders));
}

QStringList THeifTools::SearchFolders() {
    if (qEnvironmentVariableIsSet(FolderVariable)) return {qEnvironmentVariable(FolderVariable)};
    QStringList folders;
    if (QCoreApplication::instance()) folders.append(QCoreApplication::applicationDirPath());
    for (const QString& folder : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.append(folder);
    return folders;
}

QString THeifTools::FindTool(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        // An empty folder would mean the working folder, which is not searched.
        if (folder.isEmpty()) continue;
        const QFileInfo candidate(QDir(folder).absoluteFilePath(name));
        if (candidate.isFile() && candidate.isExecutable()) return candidate.absoluteFilePath();
    }
    return {};
}

QStringList THeifTools::DecoderArguments(const QStringList& options, const QString& source,
                                         const QString& output) {
    return QStringList(options) << ArgumentPath(source) << ArgumentPath(output);
}

QStringList THeifTools::EncoderArguments(const QStringList& options, const QString& input,
                                         const QString& output) {
    return QStringList(options) << ArgumentPath(input) << QStringLiteral("-o") << ArgumentPath(output);
}

bool THeifTools::Decode(const QString& source, const QString& output, const QStringList& options,
                        const QString& scratchFolder, const std::function<bool()>& cancelled) const {
    if (!HasDecoder() || scratchFolder.isEmpty() || !QDir().mkpath(scratchFolder)) return false;
    QTemporaryDir scratch(QDir(scratchFolder).absoluteFilePath(QStringLiteral("heif-convert-XXXXXX")));
    if (!scratch.isValid()) return false;
    const QString suffix = QFileInfo(output).suffix();
    const QString decoded = scratch.filePath(QStringLiteral("decoded.") + suffix);
    if (!RunTool(FDecoder, DecoderArguments(options, source, decoded), decoded, cancelled)) return false;
    // Never replaces a file at `output`; across file systems this copies.
    return QFile::rename(decoded, output) && IsWrittenFile(output);
}

bool THeifTools::Encode(const QString& input, const QString& output, const QStringList& options,
                        const std::function<bool()>& cancelled) const {
    // The encoder replaces whatever is at its output; nothing there is ours to replace.
    if (!HasEncoder() || QFileInfo::exists(output)) return false;
    return RunTool(FEncoder, EncoderArguments(options, input, output), output, cancelled);
}
