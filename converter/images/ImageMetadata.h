#pragma once
// What a photograph carries besides its pixels: EXIF (camera, date, place), XMP and
// the colour profile its pixels are meant in. Read from JPEG and PNG files (HEIC files
// arrive as the PNG or JPEG the decoding tool made of them) and written into the JPEG
// and PNG files we encode, with the orientation already applied to the pixels.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

struct TImageMetadata {
    // The EXIF block as a TIFF structure ("II*\0" or "MM\0*"), re-encoded with its
    // orientation set to 1 and its pixel dimensions those of the upright picture.
    QByteArray Exif;
    QByteArray Xmp; // the XMP packet, its tiff:Orientation set to 1 likewise
    QByteArray Icc; // the ICC profile as stored
    // The EXIF orientation of the source (1..8); 1 when it has none or a wrong one.
    int Orientation = 1;

    bool IsEmpty() const { return Exif.isEmpty() && Xmp.isEmpty() && Icc.isEmpty(); }
};

// Reads the metadata of a JPEG or PNG file held in memory; an empty record for other
// files. A block that cannot be parsed is left out and named through `reportLoss`,
// as the pixels can still be converted.
TImageMetadata ReadImageMetadata(QByteArrayView file, const std::function<void(const QString&)>& reportLoss);

// Where the metadata goes into an encoded file, and the bytes that go there: EXIF and
// XMP in APP1 and the profile in APP2 segments (JPEG); eXIf, iTXt and iCCP chunks
// (PNG). Blocks too large for their container are left out and named through
// `reportLoss`.
struct TMetadataInsert {
    qsizetype At = 0;
    QByteArray Bytes;
};
TMetadataInsert JpegMetadataInsert(const QByteArray& jpeg, const TImageMetadata& metadata,
                                   const std::function<void(const QString&)>& reportLoss);
TMetadataInsert PngMetadataInsert(const QByteArray& png, const TImageMetadata& metadata);
