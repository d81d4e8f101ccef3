#pragma once
// libheif's two command-line tools: heif-convert decodes a HEIC file into PNG or
// JPEG, heif-enc encodes a PNG or JPEG file into HEIC. They are started directly
// with an argument vector, never through a shell, so any path works as it is.
#include <QString>
#include <QStringList>
#include <functional>

class THeifTools {
  public:
    static constexpr const char* DecoderName = "heif-convert";
    static constexpr const char* EncoderName = "heif-enc";
    // When set, names the only folder the tools are looked for in (tests point it
    // at an empty folder to see how a machine without the tools behaves).
    static constexpr const char* FolderVariable = "FORMSHIFT_HEIF_TOOLS";

    THeifTools() = default;
    THeifTools(QString decoder, QString encoder);

    // Both tools, each beside the program first, then on PATH; a missing one is empty.
    static THeifTools Locate();
    static QStringList SearchFolders();
    // The first executable file called `name` in `folders`, or empty.
    static QString FindTool(const QString& name, const QStringList& folders);

    const QString& Decoder() const { return FDecoder; }
    const QString& Encoder() const { return FEncoder; }
    bool HasDecoder() const { return !FDecoder.isEmpty(); }
    bool HasEncoder() const { return !FEncoder.isEmpty(); }

    // The tools' argument vectors: options, then the paths, made absolute so that a
    // name beginning with "-" is never taken for an option.
    static QStringList DecoderArguments(const QStringList& options, const QString& source,
                                        const QString& output);
    static QStringList EncoderArguments(const QStringList& options, const QString& input,
                                        const QString& output);

    // Decodes `source` into a PNG or JPEG file (chosen by the extension of `output`)
    // at `output`. The tool writes into a private folder made inside `scratchFolder`
    // and only its complete result is moved to `output`: a HEIC holding several
    // images makes it write numbered files, which must not land beside the output.
    // True when `output` was written; false for a missing or failing tool, and when
    // `output` exists already.
    // `cancelled` is asked while the tool runs; when it answers true the tool is
    // killed and nothing is written.
    bool Decode(const QString& source, const QString& output, const QStringList& options,
                const QString& scratchFolder, const std::function<bool()>& cancelled = {}) const;
    // Encodes the PNG or JPEG file `input` into HEIC at `output`, which must not exist
    // yet; true when written.
    bool Encode(const QString& input, const QString& output, const QStringList& options,
                const std::function<bool()>& cancelled = {}) const;

  private:
    QString FDecoder;
    QString FEncoder;
};
