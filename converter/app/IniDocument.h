#pragma once
// An INI file held in memory: sections and keys keep the order in which they
// were read or first written, names compare without regard to case, and lines
// the program does not know (comments, foreign keys) survive a rewrite.
#include <QList>
#include <QString>

class TIniDocument {
  public:
    // A missing file gives an empty document; false (with the reason in `error`)
    // when the file exists but cannot be read.
    bool Load(const QString& path, QString* error = nullptr);
    // Written beside the file, flushed and renamed into place, so a crash or a full
    // disk never leaves half a file: on failure the old file stays as it was.
    bool Save(const QString& path, QString* error = nullptr) const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // A value that is not a decimal integer gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // Any integer other than 0 is on.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // "1" for on, "0" for off.
    void WriteBool(const QString& section, const QString& key, bool value);

    QString Text() const;

  private:
    struct Line {
        QString Key; // empty for a line that is not key=value
        QString Value;
        QString Raw;
    };
    struct Section {
        QString Name;
        QList<Line> Lines;
    };

    const Line* Find(const QString& section, const QString& key) const;

    QList<Line> FPreamble; // lines before the first section
    QList<Section> FSections;
};
