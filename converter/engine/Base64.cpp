#include "Base64.h"

#include "FormatSignature.h"

#include "ConversionJob.h"

#include <QFile>
#include <array>
#include <cstring>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int LineLength = 76;
constexpr int BytesPerLine = LineLength / 4 * 3;
// Input block size: whole lines, so the encoder's fast path covers almost everything.
constexpr qint64 EncodeBlock = BytesPerLine * 16384;
constexpr qint64 DecodeBlock = 1 << 20;

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table)
        entry = 0xFF;
    for (int i = 0; i < 64; ++i)
        table[static_cast<std::uint8_t>(Alphabet[i])] = static_cast<std::uint8_t>(i);
    return table;
}
constexpr auto DecodeTable = MakeDecodeTable();

// Two output characters per 12 bits of input: half the lookups of one per character.
struct PairTable {
    char Pairs[4096][2];
    constexpr PairTable() : Pairs{} {
        for (int i = 0; i < 4096; ++i) {
            Pairs[i][0] = Alphabet[i >> 6];
            Pairs[i][1] = Alphabet[i & 63];
        }
    }
};
constexpr PairTable EncodePairs;

inline char* EncodeGroup(const std::uint8_t* in, char* out) {
    const std::uint32_t v = (std::uint32_t(in[0]) << 16) | (std::uint32_t(in[1]) << 8) | in[2];
    std::memcpy(out, EncodePairs.Pairs[v >> 12], 2);
    std::memcpy(out + 2, EncodePairs.Pairs[v & 4095], 2);
    return out + 4;
}

} // namespace

void Base64Encoder::Update(QByteArrayView data, QByteArray& out) {
    auto in = reinterpret_cast<const std::uint8_t*>(data.data());
    qsizetype left = data.size();
    // Worst case: four characters per three bytes plus a line break per line.
    const qsizetype start = out.size();
    out.resize(start + (left + FPendingCount + 2) / 3 * 4 + (left + 56) / BytesPerLine + 1);
    char* dst = out.data() + start;

    auto endGroup = [&] {
        FColumn += 4;
        if (FColumn == LineLength) {
            *dst++ = '\n';
            FColumn = 0;
        }
    };

    while (FPendingCount > 0 && FPendingCount < 3 && left > 0) {
        FPending[FPendingCount++] = *in++;
        --left;
    }
    if (FPendingCount == 3) {
        dst = EncodeGroup(FPending, dst);
        FPendingCount = 0;
        endGroup();
    }
    while (FColumn != 0 && left >= 3) {
        dst = EncodeGroup(in, dst);
        in += 3;
        left -= 3;
        endGroup();
    }
    while (left >= BytesPerLine) {
        for (int g = 0; g < BytesPerLine / 3; ++g)
            dst = EncodeGroup(in + g * 3, dst);
        *dst++ = '\n';
        in += BytesPerLine;
        left -= BytesPerLine;
    }
    while (left >= 3) {
        dst = EncodeGroup(in, dst);
        in += 3;
        left -= 3;
        endGroup();
    }
    while (left > 0) {
        FPending[FPendingCount++] = *in++;
        --left;
    }
    out.resize(dst - out.data());
}

void Base64Encoder::Finish(QByteArray& out) {
    if (FPendingCount == 0) return;
    const std::uint32_t v =
        (std::uint32_t(FPending[0]) << 16) | (FPendingCount > 1 ? std::uint32_t(FPending[1]) << 8 : 0);
    out.append(Alphabet[v >> 18]);
    out.append(Alphabet[(v >> 12) & 63]);
    out.append(FPendingCount > 1 ? Alphabet[(v >> 6) & 63] : '=');
    out.append('=');
    FPendingCount = 0;
}

void Base64Decoder::Update(QByteArrayView text, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + (text.size() + FQuadCount) / 4 * 3 + 3);
    auto dst = reinterpret_cast<std::uint8_t*>(out.data() + start);
    auto in = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto end = in + text.size();
    std::uint32_t quad = FQuad;
    int count = FQuadCount;
    for (; in != end; ++in) {
        const std::uint8_t value = DecodeTable[*in];
        if (value == 0xFF) continue;
        quad = (quad << 6) | value;
        if (++count == 4) {
            dst[0] = std::uint8_t(quad >> 16);
            dst[1] = std::uint8_t(quad >> 8);
            dst[2] = std::uint8_t(quad);
            dst += 3;
            quad = 0;
            count = 0;
        }
    }
    FQuad = quad;
    FQuadCount = count;
    out.resize(reinterpret_cast<char*>(dst) - out.data());
}

void Base64Decoder::Finish(QByteArray& out) {
    if (FQuadCount == 2) {
        out.append(char(FQuad >> 4));
    } else if (FQuadCount == 3) {
        out.append(char(FQuad >> 10));
        out.append(char(FQuad >> 2));
    }
    FQuad = 0;
    FQuadCount = 0;
}

QByteArray Base64Encode(QByteArrayView data) {
    QByteArray out;
    Base64Encoder encoder;
    encoder.Update(data, out);
    encoder.Finish(out);
    return out;
}

QByteArray Base64Decode(QByteArrayView text) {
    QByteArray out;
    Base64Decoder decoder;
    decoder.Update(text, out);
    decoder.Finish(out);
    return out;
}

namespace {

[[noreturn]] void ThrowFileError(const QFile& file) {
    throw ConversionError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()).toStdString());
}

void OpenOrThrow(QFile& file, QIODevice::OpenMode mode) {
    if (!file.open(mode)) ThrowFileError(file);
}

void WriteOrThrow(QFile& file, const QByteArray& data) {
    if (file.write(data) != data.size()) ThrowFileError(file);
}

// Reads the next block into `block`, reusing its memory; empty at the end.
void ReadBlock(QFile& file, qint64 size, QByteArray& block) {
    block.resize(size);
    const qint64 got = file.read(block.data(), size);
    if (got < 0) ThrowFileError(file);
    block.resize(got);
}

enum class TextEncoding { Bytes, Utf16LE, Utf16BE };

// Only code units below 128 can be alphabet characters; wider ones are skipped like
// any other foreign character.
void KeepAsciiUnits(QByteArrayView bytes, TextEncoding encoding, QByteArray& ascii) {
    ascii.resize(0);
    ascii.reserve(bytes.size() / 2);
    const int low = encoding == TextEncoding::Utf16LE ? 0 : 1;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = std::uint8_t(bytes[i + low]);
        const auto hi = std::uint8_t(bytes[i + 1 - low]);
        if (hi == 0 && lo < 128) ascii.append(char(lo));
    }
}

} // namespace

void EncodeBase64File(const QString& sourcePath, const QString& outputPath) {
    QFile source(sourcePath);
    OpenOrThrow(source, QIODevice::ReadOnly);
    QFile output(outputPath);
    OpenOrThrow(output, QIODevice::WriteOnly | QIODevice::Truncate);
    Base64Encoder encoder;
    QByteArray block, text;
    for (;;) {
        ReadBlock(source, EncodeBlock, block);
        if (block.isEmpty()) break;
        text.resize(0);
        encoder.Update(block, text);
        WriteOrThrow(output, text);
    }
    text.resize(0);
    encoder.Finish(text);
    WriteOrThrow(output, text);
    if (!output.flush()) ThrowFileError(output);
}

namespace {

// Decoded bytes are stored under the target's extension; they must be what that
// extension says, and there must be some.
class DecodedTargetCheck {
  public:
    DecodedTargetCheck(FormatTag target, const QString& sourcePath) : FTarget(target), FSource(sourcePath) {}

    void Update(const QByteArray& bytes) {
        FTotal += bytes.size();
        if (FHead.size() < FormatSignatureLength) FHead += bytes.left(FormatSignatureLength - FHead.size());
        if (!FChecked && FHead.size() >= FormatSignatureLength) Check();
    }
    void Finish() {
        if (FTotal == 0)
            throw ConversionError(
                QStringLiteral("%1 holds no Base64 text: it decodes to nothing").arg(FSource).toStdString());
        if (!FChecked) Check();
    }

  private:
    void Check() {
        FChecked = true;
        if (FTarget == FormatTag::Unknown || MatchesFormatSignature(FHead, FTarget)) return;
        const FormatTag found = DetectFormatSignature(FHead);
        const QString what = found == FormatTag::Unknown ? QStringLiteral("data of another kind")
                                                         : QStringLiteral("%1 data").arg(FormatName(found));
        throw ConversionError(
            QStringLiteral("%1 decodes to %2, not %3 data; choose the matching target format")
                .arg(FSource, what, FormatName(FTarget))
                .toStdString());
    }

    FormatTag FTarget;
    QString FSource;
    QByteArray FHead;
    qint64 FTotal = 0;
    bool FChecked = false;
};

} // namespace

void DecodeBase64File(const QString& sourcePath, const QString& outputPath, FormatTag target) {
    QFile source(sourcePath);
    OpenOrThrow(source, QIODevice::ReadOnly);
    QFile output(outputPath);
    OpenOrThrow(output, QIODevice::WriteOnly | QIODevice::Truncate);

    QByteArray block;
    ReadBlock(source, DecodeBlock, block);
    TextEncoding encoding = TextEncoding::Bytes;
    if (block.startsWith("\xEF\xBB\xBF")) {
        block.remove(0, 3);
    } else if (block.startsWith("\xFF\xFE")) {
        encoding = TextEncoding::Utf16LE;
        block.remove(0, 2);
    } else if (block.startsWith("\xFE\xFF")) {
        encoding = TextEncoding::Utf16BE;
        block.remove(0, 2);
    }

    Base64Decoder decoder;
    DecodedTargetCheck check(target, sourcePath);
    QByteArray bytes, ascii, carry;
    while (!block.isEmpty()) {
        bytes.resize(0);
        if (encoding == TextEncoding::Bytes) {
            decoder.Update(block, bytes);
        } else {
            // A UTF-16 unit may straddle two blocks.
            block.prepend(carry);
            carry = block.size() % 2 ? block.right(1) : QByteArray();
            KeepAsciiUnits(block, encoding, ascii);
            decoder.Update(ascii, bytes);
        }
        check.Update(bytes);
        WriteOrThrow(output, bytes);
        ReadBlock(source, DecodeBlock, block);
    }
    bytes.resize(0);
    decoder.Finish(bytes);
    check.Update(bytes);
    check.Finish();
    WriteOrThrow(output, bytes);
    if (!output.flush()) ThrowFileError(output);
}
