#include "ProfileIni.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString DecodeText(const QByteArray& data) {
    // Without a byte-order mark the system code page applies, which is UTF-8 here.
    auto encoding = QStringConverter::encodingForData(data);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(data);
}

QString Unquote(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first) return value.mid(1, value.size() - 2);
    }
    return value;
}

bool IsUsable(const struct stat& info) {
    return S_ISREG(info.st_mode) && info.st_size <= TProfileIni::MaxFileSize;
}

// The whole file, or nothing when it is no usable file. The type is checked on the
// opened handle, which a rename meanwhile cannot change, and opening does not wait
// for a FIFO's writer.
std::optional<QByteArray> ReadUsableFile(const QString& fileName) {
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 && IsUsable(info)) {
        QByteArray data(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < data.size()) {
            const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += n;
        }
        data.resize(got);
        bytes = data;
    }
    ::close(fd);
    return bytes;
}

} // namespace

bool TProfileIni::IsUsableFile(const QString& fileName) {
    struct stat info;
    return !fileName.isEmpty() && ::stat(QFile::encodeName(fileName).constData(), &info) == 0 &&
           IsUsable(info);
}

TProfileIni::TProfileIni(const QString& fileName) {
    const std::optional<QByteArray> bytes = ReadUsableFile(fileName);
    if (!bytes) return;
    Parse(DecodeText(*bytes));
    FLoaded = true;
}

void TProfileIni::Parse(const QString& text) {
    QString section;
    bool inSection = false;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QString line = text.mid(start, end - start).trimmed();
        // CR LF ends a line once, not twice.
        start = end + 1;
        if (end < text.size() && text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;

        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            inSection = true;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0) continue;
        const QString key = line.left(equals).trimmed();
        if (key.isEmpty()) continue;
        const QString value = Unquote(line.mid(equals + 1).trimmed()).left(MaxValueLength);
        FEntries.push_back({section, key, value});
    }
}

std::optional<QString> TProfileIni::Value(const QString& section, const QString& key) const {
    for (const TEntry& entry : FEntries) {
        if (entry.Section.compare(section, Qt::CaseInsensitive) == 0 &&
            entry.Key.compare(key, Qt::CaseInsensitive) == 0)
            return entry.Value;
    }
    return std::nullopt;
}

QString TProfileIni::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    return Value(section, key).value_or(defaultValue);
}

std::optional<qint64> TProfileIni::ParseInteger(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    if (trimmed.startsWith(u"0x", Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(2);
        if (digits.isEmpty() || digits.startsWith(u'+') || digits.startsWith(u'-')) return std::nullopt;
        const qulonglong value = digits.toULongLong(&ok, 16);
        if (!ok || value > std::numeric_limits<quint32>::max()) return std::nullopt;
        return static_cast<qint64>(value);
    }
    const qlonglong value = trimmed.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

qint64 TProfileIni::ReadInteger(const QString& section, const QString& key, qint64 defaultValue) const {
    const auto text = Value(section, key);
    if (!text) return defaultValue;
    return ParseInteger(*text).value_or(defaultValue);
}

bool TProfileIni::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}
