#include "ImageMetadata.h"

#include "ConversionJob.h"

#include <cstring>
#include <mutex>
#include <zlib.h>

// Exiv2 0.27 spells its owning pointers std::auto_ptr, which C++17 deprecates; the
// warning is about its headers, not our use of them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

// The XMP toolkit must be set up once before threads parse packets, and Exiv2's
// warnings about odd files would otherwise go to the terminal of a background run.
void PrepareExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

bool LooksLikeJpeg(QByteArrayView file) {
    return file.size() > 3 && std::uint8_t(file[0]) == 0xFF && std::uint8_t(file[1]) == 0xD8;
}

bool LooksLikePngFile(QByteArrayView file) {
    return file.size() > 33 && std::memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

// Turned upright, a picture of orientation 5 to 8 swaps its sides.
bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

QByteArray ExifOf(Exiv2::Image& image, TImageMetadata& metadata) {
    Exiv2::ExifData& exif = image.exifData();
    if (exif.empty()) return {};
    const auto found = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (found != exif.end()) {
        const long value = found->toLong();
        metadata.Orientation = value >= 1 && value <= 8 ? int(value) : 1;
        found->setValue("1");
    }
    if (SwapsSides(metadata.Orientation)) {
        const auto x = exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension"));
        const auto y = exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelYDimension"));
        if (x != exif.end() && y != exif.end()) {
            const std::string width = x->toString();
            x->setValue(y->toString());
            y->setValue(width);
        }
    }
    const Exiv2::ByteOrder order =
        image.byteOrder() == Exiv2::invalidByteOrder ? Exiv2::littleEndian : image.byteOrder();
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order, exif);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

QByteArray XmpOf(Exiv2::Image& image) {
    std::string packet = image.xmpPacket();
    if (packet.empty()) return {};
    Exiv2::XmpData& xmp = image.xmpData();
    const auto found = xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
    if (found != xmp.end()) {
        // The packet is rewritten only when it says how to turn the picture.
        found->setValue("1");
        std::string rewritten;
        if (Exiv2::XmpParser::encode(rewritten, xmp, Exiv2::XmpParser::useCompactFormat) == 0)
            packet = rewritten;
    }
    return QByteArray::fromStdString(packet);
}

void AppendU16BE(QByteArray& out, unsigned value) {
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

void AppendU32BE(QByteArray& out, std::uint32_t value) {
    for (int shift : {24, 16, 8, 0})
        out.append(char((value >> shift) & 0xFF));
}

// A JPEG segment holds at most 65533 bytes after its length field.
constexpr qsizetype MaxSegmentPayload = 65533;

void AppendSegment(QByteArray& out, std::uint8_t marker, QByteArrayView signature, QByteArrayView body) {
    out.append(char(0xFF));
    out.append(char(marker));
    AppendU16BE(out, unsigned(2 + signature.size() + body.size()));
    out.append(signature);
    out.append(body);
}

void AppendChunk(QByteArray& out, const char* type, QByteArrayView body) {
    AppendU32BE(out, std::uint32_t(body.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(body);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(out.constData() + start), uInt(body.size() + 4));
    AppendU32BE(out, std::uint32_t(crc));
}

} // namespace

TImageMetadata ReadImageMetadata(QByteArrayView file, const std::function<void(const QString&)>& reportLoss) {
    TImageMetadata metadata;
    if (!LooksLikeJpeg(file) && !LooksLikePngFile(file)) return metadata;
    PrepareExiv2();
    try {
        // Exiv2 reads the bytes where they are; nothing is copied.
        Exiv2::BasicIo::AutoPtr io(
            new Exiv2::MemIo(reinterpret_cast<const Exiv2::byte*>(file.data()), long(file.size())));
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(std::move(io));
        if (!image.get()) return metadata;
        image->readMetadata();
        metadata.Exif = ExifOf(*image, metadata);
        metadata.Xmp = XmpOf(*image);
        const Exiv2::DataBuf* icc = image->iccProfile();
        if (icc && icc->size_ > 0)
            metadata.Icc = QByteArray(reinterpret_cast<const char*>(icc->pData_), icc->size_);
    } catch (const std::exception& error) {
        reportLoss(QStringLiteral("EXIF, XMP and colour profile dropped: they cannot be read (%1)")
                       .arg(QString::fromUtf8(error.what())));
        return TImageMetadata();
    }
    return metadata;
}

TMetadataInsert JpegMetadataInsert(const QByteArray& jpeg, const TImageMetadata& metadata,
                                   const std::function<void(const QString&)>& reportLoss) {
    if (metadata.IsEmpty() || !LooksLikeJpeg(jpeg)) return {};
    QByteArray segments;
    static constexpr char ExifSignature[] = "Exif\0\0";
    if (!metadata.Exif.isEmpty()) {
        if (metadata.Exif.size() + 6 <= MaxSegmentPayload)
            AppendSegment(segments, 0xE1, QByteArrayView(ExifSignature, 6), metadata.Exif);
        else
            reportLoss(QStringLiteral("EXIF dropped: larger than a JPEG file can hold"));
    }
    static constexpr char XmpSignature[] = "http://ns.adobe.com/xap/1.0/";
    if (!metadata.Xmp.isEmpty()) {
        const QByteArrayView signature(XmpSignature, sizeof XmpSignature); // with its terminating zero
        if (metadata.Xmp.size() + signature.size() <= MaxSegmentPayload)
            AppendSegment(segments, 0xE1, signature, metadata.Xmp);
        else
            reportLoss(QStringLiteral("XMP dropped: larger than a JPEG file can hold"));
    }
    if (!metadata.Icc.isEmpty()) {
        // Profiles larger than one segment are split, each part numbered.
        static constexpr char IccSignature[] = "ICC_PROFILE";
        constexpr qsizetype part = MaxSegmentPayload - 14;
        const qsizetype count = (metadata.Icc.size() + part - 1) / part;
        if (count > 255) {
            reportLoss(QStringLiteral("colour profile dropped: larger than a JPEG file can hold"));
        } else {
            for (qsizetype i = 0; i < count; ++i) {
                QByteArray signature(IccSignature, sizeof IccSignature);
                signature.append(char(i + 1));
                signature.append(char(count));
                AppendSegment(segments, 0xE2, signature,
                              QByteArrayView(metadata.Icc)
                                  .sliced(i * part)
                                  .first(std::min(part, metadata.Icc.size() - i * part)));
            }
        }
    }
    // After the JFIF segment our encoder writes, as cameras and editors place them.
    qsizetype at = 2;
    if (jpeg.size() > 6 && std::uint8_t(jpeg[2]) == 0xFF && std::uint8_t(jpeg[3]) == 0xE0)
        at = 4 + ((qsizetype(std::uint8_t(jpeg[4])) << 8) | std::uint8_t(jpeg[5]));
    if (at > jpeg.size()) at = 2;
    return {at, segments};
}

TMetadataInsert PngMetadataInsert(const QByteArray& png, const TImageMetadata& metadata) {
    if (metadata.IsEmpty() || !LooksLikePngFile(png)) return {};
    QByteArray chunks;
    if (!metadata.Icc.isEmpty()) {
        QByteArray body("ICC Profile\0\0", 13); // name, its terminator, compression method 0
        uLongf size = compressBound(uLong(metadata.Icc.size()));
        QByteArray packed(qsizetype(size), Qt::Uninitialized);
        if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                      reinterpret_cast<const Bytef*>(metadata.Icc.constData()), uLong(metadata.Icc.size()),
                      Z_DEFAULT_COMPRESSION) != Z_OK)
            throw ConversionError("PNG: the colour profile cannot be compressed");
        packed.truncate(qsizetype(size));
        AppendChunk(chunks, "iCCP", body + packed);
    }
    if (!metadata.Exif.isEmpty()) AppendChunk(chunks, "eXIf", metadata.Exif);
    if (!metadata.Xmp.isEmpty()) {
        // Keyword, its terminator, no compression (flag and method), no language, no translation.
        QByteArray body("XML:com.adobe.xmp\0\0\0\0\0", 22);
        AppendChunk(chunks, "iTXt", body + metadata.Xmp);
    }
    // Right after IHDR: the profile must come before PLTE and IDAT, EXIF before IDAT.
    return {8 + 8 + 13 + 4, chunks};
}

#pragma GCC diagnostic pop
