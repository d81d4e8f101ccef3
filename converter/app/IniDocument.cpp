#include "IniDocument.h"

#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The text of a file in UTF-8, or in the Unicode encoding its byte-order mark names.
QString DecodeText(const QByteArray& bytes) {
    const auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    // Qt's UTF-32 decoder turns a number beyond Unicode into a broken surrogate pair,
    // which would be written back as "?": it becomes the replacement character here.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool paired = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (paired)
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

bool TIniDocument::Load(const QString& path, QString* error) {
    FPreamble.clear();
    FSections.clear();
    QFile file(path);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QString text = DecodeText(file.readAll());
    QList<Line>* lines = &FPreamble;
    for (QString raw : text.split(QLatin1Char('\n'))) {
        if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            FSections.append(Section{trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
            lines = &FSections.last().Lines;
            continue;
        }
        const qsizetype equals = raw.indexOf(QLatin1Char('='));
        Line line{QString(), QString(), raw};
        if (equals > 0 && !trimmed.startsWith(QLatin1Char(';'))) {
            line.Key = raw.left(equals).trimmed();
            // Leading blanks belong to the "key = value" layout; trailing ones may be
            // part of a folder name.
            QString value = raw.mid(equals + 1);
            qsizetype start = 0;
            while (start < value.size() &&
                   (value[start] == QLatin1Char(' ') || value[start] == QLatin1Char('\t')))
                ++start;
            line.Value = value.mid(start);
        }
        if (line.Key.isEmpty() && trimmed.isEmpty()) continue;
        lines->append(line);
    }
    return true;
}

QString TIniDocument::Text() const {
    QString text;
    for (const Line& line : FPreamble)
        text += line.Raw + QLatin1String("\r\n");
    for (const Section& section : FSections) {
        text += QLatin1Char('[') + section.Name + QLatin1String("]\r\n");
        for (const Line& line : section.Lines) {
            text += line.Key.isEmpty() ? line.Raw : line.Key + QLatin1Char('=') + line.Value;
            text += QLatin1String("\r\n");
        }
    }
    return text;
}

bool TIniDocument::Save(const QString& path, QString* error) const {
    return ReplaceFileContents(path, Text().toUtf8(), error);
}

const TIniDocument::Line* TIniDocument::Find(const QString& section, const QString& key) const {
    for (const Section& s : FSections) {
        if (!SameName(s.Name, section)) continue;
        for (const Line& line : s.Lines) {
            if (!line.Key.isEmpty() && SameName(line.Key, key)) return &line;
        }
    }
    return nullptr;
}

QString TIniDocument::ReadString(const QString& section, const QString& key,
                                 const QString& defaultValue) const {
    const Line* line = Find(section, key);
    return line ? line->Value : defaultValue;
}

int TIniDocument::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const Line* line = Find(section, key);
    if (!line) return defaultValue;
    bool ok = false;
    const int value = line->Value.trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniDocument::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniDocument::WriteString(const QString& section, const QString& key, const QString& value) {
    // Line breaks would split the entry into lines of their own.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Section* target = nullptr;
    for (Section& s : FSections) {
        if (!SameName(s.Name, section)) continue;
        for (Line& line : s.Lines) {
            if (!line.Key.isEmpty() && SameName(line.Key, key)) {
                line.Value = flat;
                return;
            }
        }
        if (!target) target = &s;
    }
    if (!target) {
        FSections.append(Section{section, {}});
        target = &FSections.last();
    }
    target->Lines.append(Line{key, flat, QString()});
}

void TIniDocument::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniDocument::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
