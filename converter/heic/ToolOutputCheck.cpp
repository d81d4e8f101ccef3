#include "ToolOutputCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

bool ReadExactly(QFile& file, qint64 offset, char* buffer, qint64 size) {
    return file.seek(offset) && file.read(buffer, size) == size;
}

quint32 BigEndian32(const char* bytes) {
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(bytes));
}

quint64 BigEndian64(const char* bytes) {
    return qFromBigEndian<quint64>(reinterpret_cast<const uchar*>(bytes));
}

bool IsHeifBrand(const QByteArray& brand) {
    static const char* const Brands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                         "hevm", "hevs", "mif1", "msf1", "mif2", "avif"};
    for (const char* known : Brands)
        if (brand == known) return true;
    return false;
}

bool HasHeifBrand(QFile& file, quint64 ftypSize, qint64 headerSize) {
    // Major brand, minor version, then compatible brands of four bytes each.
    if (ftypSize < quint64(headerSize) + 8 || ftypSize > 4096) return false;
    QByteArray body(qsizetype(ftypSize) - headerSize, Qt::Uninitialized);
    if (!ReadExactly(file, headerSize, body.data(), body.size())) return false;
    if (IsHeifBrand(body.left(4))) return true;
    for (qsizetype at = 8; at + 4 <= body.size(); at += 4)
        if (IsHeifBrand(body.mid(at, 4))) return true;
    return false;
}

} // namespace

bool IsCompleteHeifFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const quint64 end = quint64(file.size());
    quint64 offset = 0;
    bool sawMeta = false, sawData = false;
    while (offset < end) {
        char header[16];
        if (end - offset < 8 || !ReadExactly(file, qint64(offset), header, 8)) return false;
        quint64 size = BigEndian32(header);
        const QByteArray type(header + 4, 4);
        qint64 headerSize = 8;
        if (size == 1) {
            if (end - offset < 16 || !ReadExactly(file, qint64(offset) + 8, header + 8, 8)) return false;
            size = BigEndian64(header + 8);
            headerSize = 16;
        } else if (size == 0) {
            // "To the end of the file" cannot tell a cut file from a whole one.
            return false;
        }
        if (size < quint64(headerSize) || size > end - offset) return false;
        if (offset == 0 && (type != "ftyp" || !HasHeifBrand(file, size, headerSize))) return false;
        sawMeta = sawMeta || type == "meta";
        sawData = sawData || type == "mdat";
        offset += size;
    }
    return sawMeta && sawData;
}

bool IsCompletePngFile(const QString& path) {
    static const char Signature[] = "\x89PNG\r\n\x1a\n";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 end = file.size();
    char header[8];
    if (!ReadExactly(file, 0, header, 8) || QByteArray(header, 8) != QByteArray(Signature, 8)) return false;
    qint64 offset = 8;
    while (end - offset >= 12) {
        if (!ReadExactly(file, offset, header, 8)) return false;
        const qint64 chunkEnd = offset + 12 + qint64(BigEndian32(header));
        if (chunkEnd > end) return false;
        if (QByteArray(header + 4, 4) == "IEND") return chunkEnd == end;
        offset = chunkEnd;
    }
    return false;
}

bool IsCompleteJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 end = file.size();
    char start[2], last[2];
    return end >= 4 && ReadExactly(file, 0, start, 2) && ReadExactly(file, end - 2, last, 2) &&
           uchar(start[0]) == 0xFF && uchar(start[1]) == 0xD8 && uchar(last[0]) == 0xFF &&
           uchar(last[1]) == 0xD9;
}

bool IsCompleteToolOutput(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0) return false;
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("heic") || suffix == QLatin1String("heif")) return IsCompleteHeifFile(path);
    if (suffix == QLatin1String("png")) return IsCompletePngFile(path);
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return IsCompleteJpegFile(path);
    return true;
}
