#pragma once
// The image converter: PNG, BMP, JPEG, GIF, ICO and IMG-BASE into each other. The
// source is decoded into a picture by its format (by extension for the four file formats
// a picture class reads), the target class takes it, through a bitmap where the pairing
// asks for one, and saves it at the job's output path.
#include "ConversionJob.h"

#include <QString>

// Finalised when the output is written; FormatErr for pairs it does not handle (HEIC is
// converted by outside tools, not here). Throws ConversionError for unreadable or damaged
// sources and for failing writes; nothing but job.OutputPath is written.
TModifyProgress ConvertImage(const ConversionJob& job);

// Removes the converter's temporary folder with everything in it, when it exists.
void ClearTempFolder(const QString& tempFolder);
