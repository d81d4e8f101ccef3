#include "ImageConverter.h"

#include "Bitmap.h"
#include "GifImage.h"
#include "HeicConversion.h"
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
        icon.LoadFromBytes(ReadPictureFile(path));
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
        jpeg.setQuality(job.Settings.JpegQuality);
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

} // namespace

TModifyProgress ConvertImage(const ConversionJob& job) {
    if (!IsImageFormat(job.SourceFormat) || !IsImageFormat(job.TargetFormat))
        return TModifyProgress::FormatErr;
    if (IsHeicConversion(job)) {
        return ConvertHeicJob(job, {
            .SaveTargetFromPng =
                [&](const QString& png) {
                    // A HEIC decoded to PNG counts as a PNG source from here on.
                    ConversionJob fromPng = job;
                    fromPng.SourcePath = png;
                    fromPng.SourceFormat = FormatTag::PNG;
                    EncodeTarget(*LoadPictureFile(png), fromPng);
                },
            .WriteSourceAsPng =
                [&](const QString& png) {
                    TPngImage image;
                    image.Assign(*DecodeSource(job.SourcePath, job.SourceFormat));
                    image.SaveToFile(png);
                },
        });
    }
    if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    const std::unique_ptr<TGraphic> picture = DecodeSource(job.SourcePath, job.SourceFormat);
    // Decoding and encoding a large photograph take a while each; a stop is honoured in between.
    if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    EncodeTarget(*picture, job);
    ClearTempFolder(job.TempFolder);
    return TModifyProgress::Finalised;
}

void ClearTempFolder(const QString& tempFolder) {
    // An empty name would mean the working folder: never remove that, nor a root.
    if (tempFolder.isEmpty()) return;
    const QFileInfo info(tempFolder);
    if (!info.isAbsolute() || info.isRoot() || !info.isDir() || info.isSymLink()) return;
    QDir(tempFolder).removeRecursively();
}
