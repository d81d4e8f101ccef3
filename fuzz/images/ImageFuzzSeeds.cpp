// Writes starting corpora for the fuzz targets: small pictures through our own writers,
// hand-made variants our writers never produce (run-length BMPs, bit fields, core
// headers, multi-image icons with BMP and PNG images), Base64 text, an install report
// and a settings file.
// Usage: image_fuzz_seeds OUTDIR   (creates one folder per target: OUTDIR/bmp, ico, ...)
#include "Base64.h"
#include "Bitmap.h"
#include "BmpCodec.h"
#include "ByteIo.h"
#include "GifCodec.h"
#include "ImgBase.h"
#include "JpegCodec.h"
#include "PngCodec.h"
#include "PngToIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

TRaster Picture(int width, int height, bool alpha, int colours) {
    TRaster raster(width, height, alpha);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = raster.Row(y) + x * 4;
            const int i = (x + y * 3) % colours;
            p[0] = std::uint8_t(i * 37);
            p[1] = std::uint8_t(255 - i * 11);
            p[2] = std::uint8_t(x * 255 / width);
            p[3] = alpha ? std::uint8_t(y * 255 / height) : 255;
        }
    return raster;
}

void Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(data);
}

QByteArray Bmp(int width, int height, int bits, std::uint32_t compression, const QByteArray& table,
               const QByteArray& pixels, std::uint32_t headerSize = 40) {
    QByteArray out("BM");
    AppendU32(out, std::uint32_t(14 + headerSize + table.size() + pixels.size()));
    AppendU32(out, 0);
    AppendU32(out, std::uint32_t(14 + headerSize + table.size()));
    AppendU32(out, headerSize);
    if (headerSize == 12) {
        AppendU16(out, std::uint32_t(width));
        AppendU16(out, std::uint32_t(height));
        AppendU16(out, 1);
        AppendU16(out, std::uint32_t(bits));
    } else {
        AppendU32(out, std::uint32_t(width));
        AppendU32(out, std::uint32_t(height));
        AppendU16(out, 1);
        AppendU16(out, std::uint32_t(bits));
        AppendU32(out, compression);
        AppendU32(out, std::uint32_t(pixels.size()));
        AppendU32(out, 0);
        AppendU32(out, 0);
        AppendU32(out, std::uint32_t(bits <= 8 ? table.size() / 4 : 0));
        AppendU32(out, 0);
        out.append(QByteArray(int(headerSize) - 40, '\0'));
    }
    return out + table + pixels;
}

QByteArray Table(int entries) {
    QByteArray out;
    for (int i = 0; i < entries; ++i)
        AppendU32(out, std::uint32_t(i * 0x10305));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"bmp", "ico", "imgbase", "png", "gif", "jpeg", "deflate", "base64",
                            "install_report", "ini_document"})
        root.mkpath(QString::fromLatin1(sub));
    auto path = [&](const char* sub, const QString& name) {
        return root.filePath(QString::fromLatin1(sub) + '/' + name);
    };

    const TRaster opaque = Picture(13, 7, false, 50), alpha = Picture(9, 6, true, 50),
                  few = Picture(11, 5, false, 3);
    Write(path("bmp", "24.bmp"), EncodeBmp(opaque));
    Write(path("bmp", "32alpha.bmp"), EncodeBmp(alpha));
    Write(path("bmp", "1bit.bmp"), Bmp(9, 3, 1, 0, Table(2), QByteArray(12, '\x5A')));
    Write(path("bmp", "4bit.bmp"), Bmp(5, 2, 4, 0, Table(16), QByteArray(8, '\x37')));
    Write(path("bmp", "8bit-topdown.bmp"), Bmp(3, -2, 8, 0, Table(4), QByteArray("\0\1\2\0\3\2\1\0", 8)));
    Write(path("bmp", "rle8.bmp"),
          Bmp(6, 3, 8, 1, Table(4), QByteArray("\3\1\0\4\1\2\3\1\0\0\0\2\2\1\2\3\0\1", 18)));
    Write(path("bmp", "rle4.bmp"),
          Bmp(6, 2, 4, 2, Table(16), QByteArray("\4\x12\0\3\x31\x20\0\0\6\x45\0\1", 12)));
    {
        QByteArray masks;
        for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
            AppendU32(masks, m);
        Write(path("bmp", "565.bmp"), Bmp(2, 2, 16, 3, masks, QByteArray("\0\xF8\xE0\x07\x1F\0\xFF\xFF", 8)));
    }
    Write(path("bmp", "core.bmp"),
          Bmp(2, 2, 8, 0, QByteArray(9, '\x40'), QByteArray("\0\1\0\0\2\0\0\0", 8), 12));
    Write(path("bmp", "v5-32.bmp"), Bmp(2, 1, 32, 0, {}, QByteArray("\1\2\3\4\5\6\7\x08", 8), 124));

    QByteArray sampleIco;
    {
        TPngSamples samples = PngSamplesFromRaster(alpha);
        const QByteArray small = IcoFileBytes(CreateIconFromPng(samples));
        Write(path("ico", "32bit.ico"), small);
        // Two images: a BMP one and a PNG one, each behind its own directory entry.
        const QByteArray dib = small.mid(22);
        const QByteArray png = EncodePng(Picture(32, 32, true, 9));
        QByteArray two;
        AppendU16(two, 0);
        AppendU16(two, 1);
        AppendU16(two, 2);
        for (int i = 0; i < 2; ++i) {
            const QByteArray& data = i ? png : dib;
            AppendU8(two, i ? 32 : 9);
            AppendU8(two, i ? 32 : 6);
            AppendU16(two, 0);
            AppendU16(two, 1);
            AppendU16(two, 32);
            AppendU32(two, std::uint32_t(data.size()));
            AppendU32(two, std::uint32_t(38 + (i ? dib.size() : 0)));
        }
        two += dib + png;
        Write(path("ico", "two-images.ico"), two);
        sampleIco = two;
    }

    TBitmap bitmap;
    bitmap.LoadFromMemory(EncodeBmp(opaque));
    Write(path("imgbase", "opaque.txt"), BitmapToBase64(bitmap));
    bitmap.LoadFromMemory(EncodeBmp(alpha));
    Write(path("imgbase", "alpha.txt"), BitmapToBase64(bitmap));

    Write(path("png", "rgb.png"), EncodePng(opaque));
    Write(path("png", "rgba.png"), EncodePng(alpha));
    Write(path("png", "palette.png"), EncodePng(few));

    Write(path("gif", "opaque.gif"), EncodeGif(opaque));
    Write(path("gif", "alpha.gif"), EncodeGif(alpha));
    Write(path("jpeg", "opaque.jpg"), EncodeJpeg(opaque));
    Write(path("base64", "lines.b64"), Base64Encode(EncodePng(few)));
    Write(path("base64", "odd.b64"), QByteArray("QUJD\r\nRA==  ?!\n\xEF\xBB\xBFQQ"));
    Write(path("install_report", "InstallReport.ini"),
          QByteArray("[Report]\r\nReport Version=1.0.0\r\n[Application]\r\nName=Demo\r\n"
                     "Install Path=/opt/Demo\r\nData Path=\"/home/me/.local/share/BrenvaleSoftware/Demo\"\r\n"
                     "[Configuration]\r\nShortcut-Menu=0x1\r\n[Installation]\r\nUser Install=1\r\n"
                     "Registry Record=Software\\BrenvaleSoftware\\Demo\r\nRegistry HIVE=HKCU\r\n"));
    Write(path("ini_document", "setings.ini"),
          QByteArray("\xEF\xBB\xBF; kept\r\n[Application]\r\nSave path=1\r\nLast Path=/home/me/out \r\n"
                     "[File:JPEG/HEIC]\r\nImage Quality=90\r\nforeign\r\n"));

    Write(path("deflate", "text"),
          QByteArray("\2aaaaaaaaaaaaaaabcbcbcbcbcbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"));
    Write(path("deflate", "icon"), QByteArray("\1") + sampleIco);
    return 0;
}
