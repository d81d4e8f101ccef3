#pragma once
// A read-only INI file as the Windows profile functions see it: section and key
// names compared without regard to case, the first of duplicate names wins,
// values trimmed and freed of one pair of enclosing quotes, at most 2047
// characters. Files written by those functions (UTF-16 with byte-order mark) read
// as well as UTF-8 ones.
#include <QString>

#include <optional>
#include <vector>

class TProfileIni {
  public:
    static constexpr int MaxValueLength = 2047;
    // A report is a few kilobytes; anything larger is no report.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    // A regular file (links followed) of at most MaxFileSize bytes. Anything else
    // (a FIFO would block the reader, a device grow without end) is no INI file.
    static bool IsUsableFile(const QString& fileName);

    explicit TProfileIni(const QString& fileName);

    // False when the file could not be read or is not a usable file.
    bool Loaded() const { return FLoaded; }
    // The value as written, or nothing when the section or key is absent.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // A decimal integer, or hexadecimal after "0x"; anything else gives the default.
    qint64 ReadInteger(const QString& section, const QString& key, qint64 defaultValue) const;
    // Any number other than 0 is true; a value that is no number gives the default.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // The number a profile value stands for, as ReadInteger understands it.
    static std::optional<qint64> ParseInteger(const QString& text);

  private:
    struct TEntry {
        QString Section;
        QString Key;
        QString Value;
    };
    void Parse(const QString& text);

    std::vector<TEntry> FEntries;
    bool FLoaded = false;
};
