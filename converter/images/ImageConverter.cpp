#include "ImageConverter.h"

#include "Bitmap.h"
#include "GifImage.h"
#include "HeicTools.h"
#include "Icon.h"
#include "IconWriter.h"
#include "ImgBase.h"
#include "JpegImage.h"
#include "PictureFile.h"
#include "PngImage.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {

std::unique_ptr<TGraphic> DecodeSource(const QString& path, FormatTag source) {
    switch (source) {
    case FormatTag::ICO: {
        TIcon icon;
        icon.LoadFromMemory(ReadPictureFile(path));
        auto png = std::make_unique<TPngImage>();
        png->Assign(icon);
        return png;
    }
    case FormatTag::IMGBASE: {
        const auto decoded = Base64ToBitmap(ImgBaseFileText(ReadPictureFile(path)));
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(*decoded);
        return bitmap;
    }
    default:
        return LoadPictureFile(path);
    }
}

// Assigns through a bitmap first, as some pairings do.
template <class TTarget>
void AssignThroughBitmap(TTarget& target, const TGraphic& picture, bool throughBitmap) {
    if (!throughBitmap) {
        target.Assign(picture);
        return;
    }
    TBitmap bitmap;
    bitmap.Assign(picture);
    target.Assign(bitmap);
}

void EncodeTarget(const TGraphic& picture, const ConversionJob& job) {
    const FormatTag source = job.SourceFormat;
    switch (job.TargetFormat) {
    case FormatTag::PNG: {
        TPngImage png;
        AssignThroughBitmap(png, picture, source == FormatTag::JPEG);
        png.SaveToFile(job.OutputPath);
        break;
    }
    case FormatTag::BMP: {
        TBitmap bitmap;
        bitmap.Assign(picture);
        bitmap.SaveToFile(job.OutputPath);
        break;
    }
    case FormatTag::JPEG: {
        TJpegImage jpeg;
        AssignThroughBitmap(jpeg, picture, source == FormatTag::PNG || source == FormatTag::ICO);
        jpeg.SaveToFile(job.OutputPath);
        break;
    }
    case FormatTag::GIF: {
        TGifImage gif;
        gif.Assign(picture);
        gif.SaveToFile(job.OutputPath);
        break;
    }
    case FormatTag::ICO:
        WriteIconTarget(picture, source == FormatTag::PNG, job.OutputPath, job.Settings);
        break;
    case FormatTag::IMGBASE: {
        TBitmap bitmap;
        bitmap.Assign(picture);
        WritePictureFile(job.OutputPath, BitmapToBase64(bitmap));
        break;
    }
    default:
        throw ConversionError("no image encoder for the target format");
    }
}

// Where the outside tools read or write a PNG for us: the temporary folder (created when
// missing), the source's file name with ".png" for its extension.
QString TemporaryPng(const ConversionJob& job) {
    if (job.TempFolder.isEmpty() || !QDir().mkpath(job.TempFolder))
        throw ConversionError("the temporary folder cannot be created");
    QString folder = job.TempFolder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + QFileInfo(job.SourcePath).completeBaseName() + QStringLiteral(".png");
}

// Absolute paths never begin with "-", so no tool can take one for an option.
QString ToolPath(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

TModifyProgress Finish(const ConversionJob& job, TModifyProgress result) {
    if (result != TModifyProgress::Cancelled) ClearTempFolder(job.TempFolder);
    return result;
}

TModifyProgress FromToolRun(THeicRun run) {
    switch (run) {
    case THeicRun::Written:
        return TModifyProgress::Finalised;
    case THeicRun::Cancelled:
        return TModifyProgress::Cancelled;
    case THeicRun::Failed:
        break;
    }
    return TModifyProgress::FormatErr;
}

} // namespace

TModifyProgress ConvertImage(const ConversionJob& job) {
    if (!IsImageFormat(job.SourceFormat) || !IsImageFormat(job.TargetFormat))
        return TModifyProgress::FormatErr;
    ConversionJob work = job;

    if (work.SourceFormat == FormatTag::HEIC) {
        if (work.TargetFormat == FormatTag::PNG || work.TargetFormat == FormatTag::JPEG) {
            const QStringList arguments = HeicDecoderOptions(job.Settings) +
                                          QStringList{ToolPath(job.SourcePath), ToolPath(job.OutputPath)};
            return Finish(
                job, FromToolRun(RunHeicTool(HeicDecoder, arguments, job.OutputPath, job.CheckCancelled)));
        }
        // Every other target goes on from a PNG that the decoder writes first.
        const QString png = TemporaryPng(job);
        const THeicRun run =
            RunHeicTool(HeicDecoder, {ToolPath(job.SourcePath), ToolPath(png)}, png, job.CheckCancelled);
        if (run == THeicRun::Cancelled) return TModifyProgress::Cancelled;
        if (run != THeicRun::Written) throw ConversionError("heif-convert wrote no picture");
        work.SourcePath = png;
        work.SourceFormat = FormatTag::PNG;
    }

    const std::unique_ptr<TGraphic> picture = DecodeSource(work.SourcePath, work.SourceFormat);
    if (work.TargetFormat == FormatTag::HEIC) {
        // The encoder reads PNG and JPEG files by their extension: a source that is one is
        // handed over as it is, any other picture is written as a PNG first.
        const bool readable =
            (work.SourceFormat == FormatTag::PNG && dynamic_cast<const TPngImage*>(picture.get())) ||
            (work.SourceFormat == FormatTag::JPEG && dynamic_cast<const TJpegImage*>(picture.get()));
        QString input = work.SourcePath;
        if (!readable) {
            input = TemporaryPng(work);
            TPngImage png;
            png.Assign(*picture);
            png.SaveToFile(input);
        }
        const QStringList arguments =
            HeicEncoderOptions(job.Settings) +
            QStringList{ToolPath(input), QStringLiteral("-o"), ToolPath(job.OutputPath)};
        return Finish(job,
                      FromToolRun(RunHeicTool(HeicEncoder, arguments, job.OutputPath, job.CheckCancelled)));
    }
    EncodeTarget(*picture, work);
    return Finish(job, TModifyProgress::Finalised);
}

void ClearTempFolder(const QString& tempFolder) {
    // An empty name would mean the working folder: never remove that, nor a root.
    if (tempFolder.isEmpty()) return;
    const QFileInfo info(tempFolder);
    if (!info.isAbsolute() || info.isRoot() || !info.isDir() || info.isSymLink()) return;
    QDir(tempFolder).removeRecursively();
}
