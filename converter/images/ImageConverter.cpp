#include "ImageConverter.h"

#include "Bitmap.h"
#include "ColourProfile.h"
#include "GifImage.h"
#include "HeicConversion.h"
#include "HeifBoxes.h"
#include "Icon.h"
#include "IconWriter.h"
#include "ImageMetadata.h"
#include "ImgBase.h"
#include "JpegImage.h"
#include "Orientation.h"
#include "PictureFile.h"
#include "PngImage.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {

using LossReport = std::function<void(const QString&)>;

struct TSource {
    std::unique_ptr<TGraphic> Picture;
    TImageMetadata Metadata;
};

// The picture as it is meant to be seen, with what the file carries besides it.
TSource DecodeSource(const QString& path, FormatTag source, const LossReport& reportLoss) {
    TSource decoded;
    switch (source) {
    case FormatTag::ICO: {
        TIcon icon;
        icon.LoadFromBytes(ReadPictureFile(path));
        decoded.Picture = std::make_unique<TPngImage>();
        decoded.Picture->Assign(icon);
        return decoded;
    }
    case FormatTag::IMGBASE: {
        const auto bitmap = Base64ToBitmap(ImgBaseFileText(ReadPictureFile(path)));
        decoded.Picture = std::make_unique<TBitmap>();
        decoded.Picture->Assign(*bitmap);
        return decoded;
    }
    default: {
        const QByteArray file = ReadPictureFile(path);
        decoded.Picture = PictureClassFor(path);
        decoded.Picture->LoadFromBytes(file);
        const bool carriesMetadata = dynamic_cast<const TPngImage*>(decoded.Picture.get()) ||
                                     dynamic_cast<const TJpegImage*>(decoded.Picture.get());
        if (carriesMetadata) decoded.Metadata = ReadImageMetadata(file, reportLoss);
        if (decoded.Metadata.Orientation != 1)
            decoded.Picture->SetRaster(
                UprightRaster(decoded.Picture->Raster(), decoded.Metadata.Orientation));
        return decoded;
    }
    }
}

bool HoldsMetadata(FormatTag target) {
    return target == FormatTag::PNG || target == FormatTag::JPEG || target == FormatTag::HEIC;
}

// Leaves in the metadata what the target can hold; the rest is named. Pixels meant in
// a profile the target cannot hold are converted to sRGB, which viewers assume then.
void FitToTarget(TSource& source, FormatTag target, const LossReport& reportLoss) {
    TImageMetadata& metadata = source.Metadata;
    const QString name = FormatName(target);
    if (!metadata.Icc.isEmpty()) {
        if (!IsRgbProfile(metadata.Icc)) {
            reportLoss(QStringLiteral("colour profile dropped: it is not an RGB profile"));
            metadata.Icc.clear();
        } else if (!HoldsMetadata(target)) {
            // GIF converts its palette only; the profile goes with the picture to it.
            if (target != FormatTag::GIF) {
                TRaster raster = source.Picture->Raster();
                ConvertToSrgb(raster, metadata.Icc);
                source.Picture->SetRaster(std::move(raster));
            }
            reportLoss(QStringLiteral("colour profile converted to sRGB: %1 holds no profile").arg(name));
        }
    }
    if (HoldsMetadata(target)) return;
    if (target != FormatTag::GIF) metadata.Icc.clear();
    if (!metadata.Exif.isEmpty() && !metadata.Xmp.isEmpty())
        reportLoss(QStringLiteral("EXIF and XMP dropped: %1 holds neither").arg(name));
    else if (!metadata.Exif.isEmpty())
        reportLoss(QStringLiteral("EXIF dropped: %1 holds no EXIF").arg(name));
    else if (!metadata.Xmp.isEmpty())
        reportLoss(QStringLiteral("XMP dropped: %1 holds no XMP").arg(name));
    metadata.Exif.clear();
    metadata.Xmp.clear();
}

// Writes an encoded file with its metadata inserted, around the insert rather than
// through a copy of what may be a hundred megabytes.
void WriteWithInsert(const QString& path, const QByteArray& file,
                     const std::function<TMetadataInsert(const QByteArray&)>& insertFor) {
    const TMetadataInsert insert = insertFor(file);
    const QByteArrayView all(file);
    WritePictureFile(path, {all.first(insert.At), insert.Bytes, all.sliced(insert.At)});
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

void EncodeTarget(const TSource& decoded, const ConversionJob& job) {
    const TGraphic& picture = *decoded.Picture;
    const FormatTag source = job.SourceFormat;
    switch (job.TargetFormat) {
    case FormatTag::PNG: {
        TPngImage png;
        AssignThroughBitmap(png, picture, source == FormatTag::JPEG);
        WriteWithInsert(job.OutputPath, png.SaveToMemory(),
                        [&](const QByteArray& file) { return PngMetadataInsert(file, decoded.Metadata); });
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
        WriteWithInsert(job.OutputPath, jpeg.SaveToMemory(), [&](const QByteArray& file) {
            return JpegMetadataInsert(file, decoded.Metadata, job.ReportLoss);
        });
        break;
    }
    case FormatTag::GIF: {
        TGifImage gif;
        gif.Assign(picture);
        gif.setSourceProfile(decoded.Metadata.Icc);
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

// False when a stop came between decoding and encoding: a large photograph takes a
// while for each, and a stop is honoured in between.
bool ConvertPicture(const ConversionJob& job) {
    TSource decoded = DecodeSource(job.SourcePath, job.SourceFormat, job.ReportLoss);
    if (job.CheckCancelled()) return false;
    FitToTarget(decoded, job.TargetFormat, job.ReportLoss);
    EncodeTarget(decoded, job);
    return true;
}

// The decoding tool keeps the EXIF orientation but does not apply it, while it does
// apply the file's own turning and mirroring; the file it wrote is made upright with
// orientation 1 either way, so no viewer turns it again.
void UprightDecodedFile(const QString& path, const ConversionJob& job) {
    const QByteArray file = ReadPictureFile(path);
    TImageMetadata metadata = ReadImageMetadata(file, job.ReportLoss);
    if (metadata.Orientation == 1) return;
    const std::unique_ptr<TGraphic> picture = PictureClassFor(path);
    picture->LoadFromBytes(file);
    const TRaster upright = HeifHasTransformations(job.SourcePath)
                                ? picture->Raster()
                                : UprightRaster(picture->Raster(), metadata.Orientation);
    if (dynamic_cast<const TJpegImage*>(picture.get())) {
        WriteWithInsert(path, EncodeJpeg(upright, DecoderQuality(job.Settings)), [&](const QByteArray& jpeg) {
            return JpegMetadataInsert(jpeg, metadata, job.ReportLoss);
        });
    } else {
        WriteWithInsert(path, EncodePng(upright, TPngBits::AtLeastEight),
                        [&](const QByteArray& png) { return PngMetadataInsert(png, metadata); });
    }
}

// The image side of a conversion with HEIC on one side.
THeicImageSide HeicImageSide(const ConversionJob& job) {
    THeicImageSide side;
    side.SaveTargetFromPng = [&job](const QString& png) {
        // A HEIC decoded to PNG counts as a PNG source from here on.
        ConversionJob fromPng = job;
        fromPng.SourcePath = png;
        fromPng.SourceFormat = FormatTag::PNG;
        ConvertPicture(fromPng);
    };
    side.WriteSourceAsPng = [&job](const QString& png) {
        TSource decoded = DecodeSource(job.SourcePath, job.SourceFormat, job.ReportLoss);
        FitToTarget(decoded, FormatTag::HEIC, job.ReportLoss);
        // heif-enc misreads palettes of fewer than eight bits per pixel.
        WriteWithInsert(png, EncodePng(decoded.Picture->Raster(), TPngBits::AtLeastEight),
                        [&](const QByteArray& file) { return PngMetadataInsert(file, decoded.Metadata); });
    };
    side.SourceIsUpright = [&job] {
        // What cannot be read here is named when the source is written out.
        return ReadImageMetadata(ReadPictureFile(job.SourcePath), [](const QString&) {}).Orientation == 1;
    };
    side.UprightDecoded = [&job](const QString& decoded) { UprightDecodedFile(decoded, job); };
    return side;
}

} // namespace

TModifyProgress ConvertImage(const ConversionJob& job) {
    if (!IsImageFormat(job.SourceFormat) || !IsImageFormat(job.TargetFormat))
        return TModifyProgress::FormatErr;
    if (IsHeicConversion(job)) return ConvertHeicJob(job, HeicImageSide(job));
    if (job.CheckCancelled()) return TModifyProgress::Cancelled;
    if (!ConvertPicture(job)) return TModifyProgress::Cancelled;
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
