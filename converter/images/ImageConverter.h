#pragma once
// The image converter: PNG, BMP, JPEG, GIF, ICO and IMG-BASE into each other. The
// source is decoded into a picture by its format (by extension for the four file formats
// a picture class reads), the target class takes it, through a bitmap where the pairing
// asks for one, and saves it at the job's output path.
#include "ConversionJob.h"

#include <QString>

// HEIC sources and targets go through libheif's tools (see HeicConversion.h), with the
// other format of the pair handled here around the tool run.
//
// Finalised when the output is written; FormatErr for pairs outside the image family and
// when a HEIC tool writes no file for a PNG or JPEG target or from a HEIC encoding;
// Cancelled when job.CheckCancelled answers true before or between decoding and encoding.
// Throws ConversionError for
// unreadable or damaged sources and for failing writes. Nothing but job.OutputPath and the
// temporary folder is written; the temporary folder is removed after every conversion that
// is neither stopped nor failed.
TModifyProgress ConvertImage(const ConversionJob& job);

// Removes the converter's temporary folder with everything in it, when it exists.
void ClearTempFolder(const QString& tempFolder);
