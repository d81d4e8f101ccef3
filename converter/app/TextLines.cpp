#include "TextLines.h"

#include "FileReplacement.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <stdexcept>

QStringList LoadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()).toStdString());
    QStringDecoder decoder(QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (text.isEmpty()) return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineEnd);
    // A final line end closes the last line; it does not start an empty one.
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray LinesText(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

void SaveLines(const QString& path, const QStringList& lines) {
    QString error;
    if (!ReplaceFileContents(path, LinesText(lines), &error)) throw std::runtime_error(error.toStdString());
}
