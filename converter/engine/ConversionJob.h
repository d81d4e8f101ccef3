#pragma once
// What a converter is handed for one file. A converter reads SourcePath, writes
// OutputPath (a private name beside the final file, moved into place by the
// driver only when the converter reports Finalised) and never touches the source.
#include "ConversionSettings.h"
#include "FormatCatalogue.h"
#include "ModifyProgress.h"

#include <QString>
#include <functional>
#include <stdexcept>

struct ConversionJob {
    QString SourcePath;
    FormatTag SourceFormat = FormatTag::Unknown; // AUTO already resolved
    FormatTag TargetFormat = FormatTag::Unknown;
    QString OutputPath; // where to write; its extension is the final file's extension
    QString TempFolder; // the converter's scratch folder; cleared after each image conversion
    ConversionSettings Settings;
    // Shows the item's percentage (0..100) in the list and the overall progress.
    std::function<void(int)> SetItemPercent = [](int) {};
    // Lets the window handle pending events and answers whether the run was stopped.
    std::function<bool()> CheckCancelled = [] { return false; };
    // Names something the source carries that the output cannot hold (a colour
    // profile into GIF); the file still converts, but the user is told.
    std::function<void(const QString&)> ReportLoss = [](const QString&) {};
};

// A failure of one file: the driver marks the file "Error!" and goes on.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Converts one file and returns Finalised, FormatErr or Cancelled, or throws.
using Converter = std::function<TModifyProgress(const ConversionJob&)>;
