#pragma once
// Base64 as the converter writes and reads it: the standard alphabet, "=" padding,
// LF after every 76th character (also after the last one), so base64(1) and the
// other tools of the platform read it. Reading skips every byte outside the
// alphabet, so CR LF text made on Windows decodes as well. Both directions stream, so any file size converts
// in bounded memory with the same bytes as a whole-buffer conversion.
#include "FormatCatalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

class Base64Encoder {
  public:
    // Appends the text for `data` to `out`; bytes that do not fill a group wait for more.
    void Update(QByteArrayView data, QByteArray& out);
    // Appends the final, padded group.
    void Finish(QByteArray& out);

  private:
    std::uint8_t FPending[3] = {};
    int FPendingCount = 0;
    int FColumn = 0;
};

class Base64Decoder {
  public:
    void Update(QByteArrayView text, QByteArray& out);
    // A final group of two or three characters yields one or two bytes.
    void Finish(QByteArray& out);

  private:
    std::uint32_t FQuad = 0;
    int FQuadCount = 0;
};

QByteArray Base64Encode(QByteArrayView data);
QByteArray Base64Decode(QByteArrayView text);

// File to file; the text is UTF-8 without byte-order mark. Throw ConversionError.
void EncodeBase64File(const QString& sourcePath, const QString& outputPath);
// Reads text with byte-order-mark detection (UTF-8, UTF-16 LE/BE; otherwise bytes).
// Text that decodes to nothing is an error, and so are bytes that do not begin as
// a `target` file does (Unknown: any bytes), since the output carries the
// target's extension.
void DecodeBase64File(const QString& sourcePath, const QString& outputPath,
                      FormatTag target = FormatTag::Unknown);
