#pragma once
// Conversions with HEIC on one side. The outside tools handle the HEIC side; the
// image converter handles the other one through two callbacks, with a PNG file in
// the temporary folder between the two where the tools cannot take or give the
// other format directly.
#include "ConversionJob.h"
#include "HeifTools.h"

#include <QString>
#include <QStringList>
#include <functional>

// "--quality 100" with "Lossless quality" on, else "--quality " and the slider position.
QString DecoderOptionText(const ConversionSettings& settings);
// "--lossless" with "Lossless quality" on, else "--quality " and the slider position.
QString EncoderOptionText(const ConversionSettings& settings);
// An option text as the separate arguments the tools receive.
QStringList OptionArguments(const QString& optionText);

// The temporary folder followed by the source's file name with its extension
// replaced by ".png".
QString TemporaryPngPath(const ConversionJob& job);

bool IsHeicConversion(const ConversionJob& job);

// What the image converter does around the tools. Both throw on failure.
struct THeicImageSide {
    // Loads the PNG file at the given path and writes it in job.TargetFormat at
    // job.OutputPath, treating it as a PNG source.
    std::function<void(const QString& pngPath)> SaveTargetFromPng;
    // Decodes job.SourcePath (by job.SourceFormat) and saves the picture as a PNG
    // file at the given path.
    std::function<void(const QString& pngPath)> WriteSourceAsPng;
    // Whether a PNG or JPEG source can go to the encoder as it is: false when its
    // EXIF orientation asks for turning, which the encoder would not do.
    std::function<bool()> SourceIsUpright = [] { return true; };
    // Turns a PNG or JPEG file the decoder wrote upright in place, with its EXIF
    // orientation set to 1.
    std::function<void(const QString& decodedPath)> UprightDecoded = [](const QString&) {};
};

// The quality the decoder writes JPEG files at: 100 with "Lossless quality" on.
int DecoderQuality(const ConversionSettings& settings);

// Converts a job whose source or target is HEIC, writing job.OutputPath only (and
// the temporary folder, which is cleared afterwards, also after a failure):
// - HEIC to PNG or JPEG: the decoder writes the output; FormatErr when it does not.
// - HEIC to any other image format: the decoder writes the temporary PNG, which
//   SaveTargetFromPng (or, for HEIC, the encoder) turns into the output; throws
//   ConversionError when the decoder does not write it.
// - PNG or JPEG to HEIC: the encoder takes the source file itself, unless it is not
//   upright; any other source is first written as the temporary PNG by WriteSourceAsPng.
// Every file the decoder writes is turned upright by UprightDecoded. FormatErr when the
//   encoder writes nothing.
// Cancelled when job.CheckCancelled answers true between the steps or while a tool
// runs (the tool is killed then).
TModifyProgress ConvertHeicJob(const ConversionJob& job, const THeicImageSide& images,
                               const THeifTools& tools = THeifTools::Locate());
