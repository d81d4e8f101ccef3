#include "PictureFile.h"

#include "Bitmap.h"
#include "ConversionJob.h"
#include "GifImage.h"
#include "JpegImage.h"
#include "PngImage.h"

#include <QFile>

namespace {

[[noreturn]] void FailFile(const QFile& file, const QString& why) {
    throw ConversionError(QStringLiteral("%1: %2").arg(file.fileName(), why).toStdString());
}

} // namespace

QByteArray ReadPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) FailFile(file, file.errorString());
    const qint64 size = file.size();
    if (size > MaxPictureFileBytes) FailFile(file, QStringLiteral("the file is too large for a picture"));
    QByteArray data(size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(data.data() + got, size - got);
        if (n < 0) FailFile(file, file.errorString());
        if (n == 0) break;
        got += n;
    }
    data.truncate(got);
    return data;
}

void WritePictureFile(const QString& path, QByteArrayView data) {
    WritePictureFile(path, {data});
}

void WritePictureFile(const QString& path, std::initializer_list<QByteArrayView> parts) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) FailFile(file, file.errorString());
    for (const QByteArrayView data : parts)
        if (file.write(data.data(), data.size()) != data.size()) FailFile(file, file.errorString());
    if (!file.flush()) FailFile(file, file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError) FailFile(file, file.errorString());
}

std::unique_ptr<TGraphic> PictureClassFor(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString ext = dot > slash ? path.mid(dot + 1).toLower() : QString();
    if (ext == QLatin1String("png")) return std::make_unique<TPngImage>();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")) return std::make_unique<TJpegImage>();
    if (ext == QLatin1String("gif")) return std::make_unique<TGifImage>();
    return std::make_unique<TBitmap>();
}

std::unique_ptr<TGraphic> LoadPictureFile(const QString& path) {
    auto picture = PictureClassFor(path);
    picture->LoadFromBytes(ReadPictureFile(path));
    return picture;
}
