#include "FormatSignature.h"

namespace {

bool StartsWith(QByteArrayView head, QByteArrayView magic, qsizetype at = 0) {
    return head.size() >= at + magic.size() && head.sliced(at, magic.size()) == magic;
}

bool IsHeif(QByteArrayView head) {
    if (!StartsWith(head, "ftyp", 4) || head.size() < 12) return false;
    const QByteArrayView brand = head.sliced(8, 4);
    for (const char* known : {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"})
        if (brand == QByteArrayView(known)) return true;
    return false;
}

bool IsMpegAudio(QByteArrayView head) {
    if (StartsWith(head, "ID3")) return true;
    // A frame header: eleven set sync bits, a defined version and layer.
    return head.size() >= 2 && quint8(head[0]) == 0xFF && (quint8(head[1]) & 0xE0) == 0xE0 &&
           (quint8(head[1]) & 0x18) != 0x08 && (quint8(head[1]) & 0x06) != 0;
}

bool IsOgg(QByteArrayView head) {
    return StartsWith(head, "OggS");
}

// The first Ogg page carries the codec's identification header at byte 28.
bool IsOggOpus(QByteArrayView head) {
    return IsOgg(head) && StartsWith(head, "OpusHead", 28);
}

} // namespace

bool MatchesFormatSignature(QByteArrayView head, FormatTag tag) {
    switch (tag) {
    case FormatTag::PNG:
        return StartsWith(head, "\x89PNG\r\n\x1a\n");
    case FormatTag::BMP:
        return StartsWith(head, "BM");
    case FormatTag::JPEG:
        return StartsWith(head, "\xFF\xD8\xFF");
    case FormatTag::GIF:
        return StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a");
    case FormatTag::ICO:
        return StartsWith(head, QByteArrayView("\0\0\1\0", 4));
    case FormatTag::HEIC:
        return IsHeif(head);
    case FormatTag::MP3:
        return IsMpegAudio(head);
    case FormatTag::FLAC:
        return StartsWith(head, "fLaC");
    case FormatTag::OGG:
        return IsOgg(head) && !IsOggOpus(head);
    case FormatTag::OPUS:
        return IsOggOpus(head);
    case FormatTag::WAVE:
        return StartsWith(head, "RIFF") && StartsWith(head, "WAVE", 8);
    case FormatTag::IMGBASE:
    case FormatTag::BASE64:
        return true;
    case FormatTag::AUTO:
    case FormatTag::Unknown:
        return false;
    }
    return false;
}

FormatTag DetectFormatSignature(QByteArrayView head) {
    for (int tag = FirstFormatTag; tag <= LastFormatTag; ++tag) {
        const auto format = static_cast<FormatTag>(tag);
        if (format == FormatTag::IMGBASE || format == FormatTag::BASE64 || format == FormatTag::AUTO)
            continue;
        if (MatchesFormatSignature(head, format)) return format;
    }
    return FormatTag::Unknown;
}
