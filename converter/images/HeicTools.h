#pragma once
// HEIC images go through libheif's command-line tools: heif-convert decodes a HEIC file
// into PNG or JPEG (chosen by the output's extension), heif-enc encodes a PNG or JPEG file
// into HEIC. The tools are found beside the program, then on PATH, and started directly
// with an argument vector: no shell sees the paths.
#include "ConversionSettings.h"

#include <QString>
#include <QStringList>
#include <functional>

inline const QString HeicDecoder = QStringLiteral("heif-convert");
inline const QString HeicEncoder = QStringLiteral("heif-enc");

// The tool's path, or empty when it is neither beside the program nor on PATH.
QString FindHeicTool(const QString& name);

// "--quality 100" with "Lossless quality" on, else "--quality" and the slider's value.
QStringList HeicDecoderOptions(const ConversionSettings& settings);
// "--lossless" with "Lossless quality" on, else "--quality" and the slider's value.
QStringList HeicEncoderOptions(const ConversionSettings& settings);

enum class THeicRun {
    Written,   // the tool ended normally, with exit code 0, and the output file is there
    Failed,    // the tool is missing, could not start, crashed, failed or wrote nothing
    Cancelled, // the run was stopped while the tool worked; the tool was ended
};

// Runs a tool and waits for it, asking `cancelled` every 100 ms; output goes nowhere.
// The output file is `output`, whose existence (not empty) the result also depends on.
THeicRun RunHeicTool(const QString& name, const QStringList& arguments, const QString& output,
                     const std::function<bool()>& cancelled);
