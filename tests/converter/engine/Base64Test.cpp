#include "Base64.h"
#include "ConversionJob.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray RandomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (auto& b : bytes)
        b = char(random.generate());
    return bytes;
}

// Qt's own encoder, with our line layout: an independent reference.
QByteArray Reference(const QByteArray& data) {
    const QByteArray plain = data.toBase64();
    QByteArray text;
    for (qsizetype i = 0; i < plain.size(); i += 76) {
        text += plain.mid(i, 76);
        if (i + 76 <= plain.size() && (i + 76 < plain.size() || data.size() % 57 == 0)) text += '\n';
    }
    return text;
}

TEST(Base64, LineBreakAfterEvery76thCharacter) {
    const QByteArray bytes57 = RandomBytes(57, 1);
    const QByteArray text57 = Base64Encode(bytes57);
    EXPECT_EQ(text57.size(), 77);
    EXPECT_TRUE(text57.endsWith('\n'));

    const QByteArray text58 = Base64Encode(RandomBytes(58, 2));
    EXPECT_EQ(text58.size(), 76 + 1 + 4);
    EXPECT_EQ(text58.at(76), '\n');
    EXPECT_TRUE(text58.endsWith("=="));
    EXPECT_FALSE(text58.contains('\r'));

    EXPECT_TRUE(Base64Encode(QByteArray()).isEmpty());
    // Padding never starts a new line: 56 bytes fill 76 characters without a line break.
    EXPECT_FALSE(Base64Encode(RandomBytes(56, 3)).endsWith('\n'));
}

class Base64Lengths : public testing::TestWithParam<int> {};

TEST_P(Base64Lengths, MatchesTheReferenceAndRoundTrips) {
    const QByteArray data = RandomBytes(GetParam(), GetParam());
    const QByteArray text = Base64Encode(data);
    EXPECT_EQ(text, Reference(data));
    EXPECT_EQ(Base64Decode(text), data);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Base64Lengths,
                         testing::Values(0, 1, 2, 3, 4, 55, 56, 57, 58, 113, 114, 115, 171, 1000, 65537));

TEST(Base64, StreamingInAnyPiecesGivesTheSameText) {
    const QByteArray data = RandomBytes(5000, 9);
    for (int piece : {1, 2, 5, 56, 57, 58, 700}) {
        Base64Encoder encoder;
        QByteArray text;
        for (qsizetype i = 0; i < data.size(); i += piece)
            encoder.Update(QByteArrayView(data).sliced(i, std::min<qsizetype>(piece, data.size() - i)), text);
        encoder.Finish(text);
        EXPECT_EQ(text, Base64Encode(data)) << piece;

        Base64Decoder decoder;
        QByteArray bytes;
        for (qsizetype i = 0; i < text.size(); i += piece)
            decoder.Update(QByteArrayView(text).sliced(i, std::min<qsizetype>(piece, text.size() - i)),
                           bytes);
        decoder.Finish(bytes);
        EXPECT_EQ(bytes, data) << piece;
    }
}

TEST(Base64, DecodingSkipsForeignCharacters) {
    const QByteArray data = RandomBytes(300, 4);
    const QByteArray plain = data.toBase64();
    QByteArray messy;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        messy += plain[i];
        if (i % 13 == 0) messy += " \n";
        if (i % 29 == 0) messy += "\xC3\xA9-*";
    }
    EXPECT_EQ(Base64Decode(plain), data);
    EXPECT_EQ(Base64Decode(messy), data);
    EXPECT_TRUE(Base64Decode(" \r\n === !").isEmpty());
}

TEST(Base64, ShortFinalGroupsYieldTheirBytes) {
    EXPECT_EQ(Base64Decode("QQ"), "A");
    EXPECT_EQ(Base64Decode("QUI"), "AB");
    EXPECT_EQ(Base64Decode("QUJD"), "ABC");
    EXPECT_EQ(Base64Decode("QUJDR"), "ABC");
}

class Base64Files : public testing::Test {
  protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = Dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray Read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QTemporaryDir Dir;
};

TEST_F(Base64Files, FileRoundTripAcrossBlockBoundaries) {
    // Larger than one encoding block, and not a multiple of a line.
    const QByteArray data = RandomBytes(57 * 16384 + 1234567, 5);
    const QString source = Write("data.bin", data);
    EncodeBase64File(source, Dir.filePath("data.bin.b64"));
    const QByteArray text = Read(Dir.filePath("data.bin.b64"));
    EXPECT_EQ(text, Reference(data));
    DecodeBase64File(Dir.filePath("data.bin.b64"), Dir.filePath("back.bin"));
    EXPECT_EQ(Read(Dir.filePath("back.bin")), data);
}

// base64(1) of coreutils is the platform's own reader: it refuses a CR in the text.
TEST_F(Base64Files, TheSystemBase64ToolReadsWhatWeWrite) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("base64"));
    if (tool.isEmpty()) GTEST_SKIP() << "base64 is not installed";
    for (const int size : {0, 1, 56, 57, 58, 114, 100000}) {
        const QByteArray data = RandomBytes(size, 40 + size);
        const QString encoded = Dir.filePath(QStringLiteral("%1.b64").arg(size));
        EncodeBase64File(Write(QStringLiteral("%1.bin").arg(size), data), encoded);
        QProcess base64;
        base64.start(tool, {QStringLiteral("-d"), encoded});
        ASSERT_TRUE(base64.waitForFinished(30000));
        EXPECT_EQ(base64.exitCode(), 0) << size << " " << base64.readAllStandardError().toStdString();
        EXPECT_EQ(base64.readAllStandardOutput(), data) << size;
    }
}

// Text written on Windows ends its lines with CR LF, and old copies of the converter wrote that too.
TEST_F(Base64Files, TextWithCrLfLineEndsDecodes) {
    const QByteArray data = RandomBytes(5000, 12);
    QByteArray text = Base64Encode(data);
    text.replace("\n", "\r\n");
    ASSERT_TRUE(text.contains("\r\n"));
    EXPECT_EQ(Base64Decode(text), data);
    DecodeBase64File(Write("crlf.b64", text), Dir.filePath("crlf.bin"));
    EXPECT_EQ(Read(Dir.filePath("crlf.bin")), data);
}

TEST_F(Base64Files, ReadsTextWithAnyByteOrderMark) {
    const QByteArray data = RandomBytes(1000, 6);
    const QString text = QString::fromLatin1(Base64Encode(data));
    struct Variant {
        const char* Name;
        QByteArray Bytes;
    };
    QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (QChar c : text) {
        le += char(c.unicode());
        le += '\0';
        be += '\0';
        be += char(c.unicode());
    }
    // A wide character whose low byte is an alphabet letter must be skipped.
    le += QByteArray("\x41\x41", 2);
    be += QByteArray("\x41\x41", 2);
    for (const Variant& v :
         {Variant{"utf8", "\xEF\xBB\xBF" + text.toLatin1()}, Variant{"le", le}, Variant{"be", be}}) {
        const QString source = Write(QString("t-%1.b64").arg(v.Name), v.Bytes);
        DecodeBase64File(source, Dir.filePath(QString("o-%1").arg(v.Name)));
        EXPECT_EQ(Read(Dir.filePath(QString("o-%1").arg(v.Name))), data) << v.Name;
    }
}

struct DecodeCase {
    const char* Name;
    QByteArray Decoded; // what the text holds
    FormatTag Target;
    bool Accepted;
};

class Base64DecodeTarget : public Base64Files, public testing::WithParamInterface<DecodeCase> {};

// The decoded bytes are stored under the target's extension: "python.png" decoded
// for a BMP target must not become a PNG named python.png.bmp.
TEST_P(Base64DecodeTarget, BytesMustBeWhatTheTargetNamesAndMustExist) {
    const DecodeCase& c = GetParam();
    const QString source =
        Write("in.b64", c.Decoded.isEmpty() ? QByteArray("=== !\r\n") : Base64Encode(c.Decoded));
    const QString output = Dir.filePath("out" + FormatExtension(c.Target));
    if (c.Accepted) {
        EXPECT_NO_THROW(DecodeBase64File(source, output, c.Target));
        EXPECT_EQ(Read(output), c.Decoded);
    } else {
        EXPECT_THROW(DecodeBase64File(source, output, c.Target), ConversionError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Base64DecodeTarget,
    testing::Values(
        DecodeCase{"PngAsPng", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), FormatTag::PNG, true},
        DecodeCase{"PngAsBmp", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), FormatTag::BMP, false},
        DecodeCase{"BmpAsBmp", "BM\x36\x10\0\0", FormatTag::BMP, true},
        DecodeCase{"JpegAsJpeg", "\xFF\xD8\xFF\xE0\0\x10JFIF", FormatTag::JPEG, true},
        DecodeCase{"JpegAsGif", "\xFF\xD8\xFF\xE0\0\x10JFIF", FormatTag::GIF, false},
        DecodeCase{"WaveAsWave", "RIFF\x24\x01\x02\x03WAVEfmt ", FormatTag::WAVE, true},
        DecodeCase{"WaveAsMp3", "RIFF\x24\x01\x02\x03WAVEfmt ", FormatTag::MP3, false},
        DecodeCase{"Id3AsMp3", "ID3\x04\0\0\0\0\0\0", FormatTag::MP3, true},
        DecodeCase{"FlacAsOgg", "fLaC\0\0\0\x22", FormatTag::OGG, false},
        DecodeCase{"TextAsPng", "just some text", FormatTag::PNG, false},
        DecodeCase{"TextAsBase64", "just some text", FormatTag::BASE64, true},
        DecodeCase{"NothingAsBase64", "", FormatTag::BASE64, false},
        DecodeCase{"NothingAsPng", "", FormatTag::PNG, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Base64Files, MissingSourceOrFolderIsAConversionError) {
    EXPECT_THROW(EncodeBase64File(Dir.filePath("none"), Dir.filePath("x.b64")), ConversionError);
    const QString source = Write("a.bin", "abc");
    EXPECT_THROW(EncodeBase64File(source, Dir.filePath("missing/x.b64")), ConversionError);
    EXPECT_THROW(DecodeBase64File(Dir.filePath("none.b64"), Dir.filePath("x")), ConversionError);
}

} // namespace
