#include "HeicConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

QString QualityOption(int quality) {
    return QStringLiteral("--quality ") + QString::number(std::clamp(quality, 0, 100));
}

QString CreatedTempFolder(const ConversionJob& job) {
    if (job.TempFolder.isEmpty()) throw ConversionError("no temporary folder for the HEIC tools");
    if (!QDir().mkpath(job.TempFolder))
        throw ConversionError(QStringLiteral("cannot create %1").arg(job.TempFolder).toStdString());
    return job.TempFolder;
}

// The temporary folder holds nothing but a conversion's intermediate files; it
// goes after every conversion, whether or not it completed.
class TempFolderCleaner {
  public:
    explicit TempFolderCleaner(QString folder) : FFolder(std::move(folder)) {}
    ~TempFolderCleaner() {
        // An empty or relative name would mean the working folder: never remove that, nor a root.
        if (FFolder.isEmpty()) return;
        const QFileInfo info(FFolder);
        if (!info.isAbsolute() || info.isRoot() || !info.isDir() || info.isSymLink()) return;
        QDir(FFolder).removeRecursively();
    }
    TempFolderCleaner(const TempFolderCleaner&) = delete;
    TempFolderCleaner& operator=(const TempFolderCleaner&) = delete;

  private:
    QString FFolder;
};

// A fresh temporary PNG: one left behind by an earlier conversion must never pass
// for this conversion's picture.
QString FreshTemporaryPng(const ConversionJob& job) {
    CreatedTempFolder(job);
    const QString path = TemporaryPngPath(job);
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw ConversionError(QStringLiteral("cannot replace %1").arg(path).toStdString());
    return path;
}

// A tool killed by a stop wrote nothing; the file is cancelled, not failed.
TModifyProgress ToolOutcome(const ConversionJob& job, bool written) {
    if (written) return TModifyProgress::Finalised;
    return job.CheckCancelled() ? TModifyProgress::Cancelled : TModifyProgress::FormatErr;
}

TModifyProgress EncodeHeic(const ConversionJob& job, const QString& input, const THeifTools& tools) {
    if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    const QStringList options = OptionArguments(EncoderOptionText(job.Settings));
    return ToolOutcome(job, tools.Encode(input, job.OutputPath, options, job.CheckCancelled));
}

TModifyProgress ConvertFromHeic(const ConversionJob& job, const THeicImageSide& images,
                                const THeifTools& tools) {
    if (job.TargetFormat == FormatTag::PNG || job.TargetFormat == FormatTag::JPEG) {
        const QStringList options = OptionArguments(DecoderOptionText(job.Settings));
        const TModifyProgress outcome =
            ToolOutcome(job, tools.Decode(job.SourcePath, job.OutputPath, options, CreatedTempFolder(job),
                                          job.CheckCancelled));
        if (outcome == TModifyProgress::Finalised) images.UprightDecoded(job.OutputPath);
        return outcome;
    }
    const QString png = FreshTemporaryPng(job);
    if (!tools.Decode(job.SourcePath, png, {}, job.TempFolder, job.CheckCancelled)) {
        if (job.CheckCancelled()) return TModifyProgress::Cancelled;
        if (!tools.HasDecoder())
            throw ConversionError(
                QStringLiteral("%1 was not found").arg(THeifTools::DecoderName).toStdString());
        throw ConversionError(QStringLiteral("%1 could not decode %2")
                                  .arg(THeifTools::DecoderName, job.SourcePath)
                                  .toStdString());
    }
    images.UprightDecoded(png);
    // From here on the picture is a PNG source.
    if (job.TargetFormat == FormatTag::HEIC) return EncodeHeic(job, png, tools);
    if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    images.SaveTargetFromPng(png);
    return TModifyProgress::Finalised;
}

TModifyProgress ConvertToHeic(const ConversionJob& job, const THeicImageSide& images,
                              const THeifTools& tools) {
    if ((job.SourceFormat == FormatTag::PNG || job.SourceFormat == FormatTag::JPEG) &&
        images.SourceIsUpright())
        return EncodeHeic(job, job.SourcePath, tools);
    const QString png = FreshTemporaryPng(job);
    images.WriteSourceAsPng(png);
    return EncodeHeic(job, png, tools);
}

} // namespace

QString DecoderOptionText(const ConversionSettings& settings) {
    return settings.Lossless ? QStringLiteral("--quality 100") : QualityOption(settings.Quality);
}

int DecoderQuality(const ConversionSettings& settings) {
    return settings.Lossless ? 100 : std::clamp(settings.Quality, 0, 100);
}

QString EncoderOptionText(const ConversionSettings& settings) {
    return settings.Lossless ? QStringLiteral("--lossless") : QualityOption(settings.Quality);
}

QStringList OptionArguments(const QString& optionText) {
    return optionText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString TemporaryPngPath(const ConversionJob& job) {
    const QString name = QFileInfo(job.SourcePath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return QDir(job.TempFolder).filePath(stem + QStringLiteral(".png"));
}

bool IsHeicConversion(const ConversionJob& job) {
    return job.SourceFormat == FormatTag::HEIC || job.TargetFormat == FormatTag::HEIC;
}

TModifyProgress ConvertHeicJob(const ConversionJob& job, const THeicImageSide& images,
                               const THeifTools& tools) {
    const TempFolderCleaner cleaner(job.TempFolder);
    if (job.SourceFormat == FormatTag::HEIC) return ConvertFromHeic(job, images, tools);
    if (job.TargetFormat == FormatTag::HEIC) return ConvertToHeic(job, images, tools);
    return TModifyProgress::FormatErr;
}
