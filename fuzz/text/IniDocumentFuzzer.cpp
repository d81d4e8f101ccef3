// The converter's settings files of any content: loading never fails for a readable
// file, and what a loaded document writes loads again to the same text.
#include "IniDocument.h"
#include "MemoryFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TMemoryFile file(data, size);
    if (!file.Valid()) return 0;
    TIniDocument document;
    if (!document.Load(file.Path())) return 0;
    const QString text = document.Text();
    document.WriteString(QStringLiteral("Application"), QStringLiteral("Last Path"),
                         QStringLiteral("/a\r\nb"));
    (void)document.ReadInteger(QStringLiteral("File:JPEG/HEIC"), QStringLiteral("Image Quality"), 90);

    // A leading U+FEFF reads back as a byte-order mark, which is dropped.
    if (text.startsWith(QChar(0xFEFF))) return 0;
    const QByteArray bytes = text.toUtf8();
    const TMemoryFile again(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            std::size_t(bytes.size()));
    TIniDocument reloaded;
    if (!reloaded.Load(again.Path()) || reloaded.Text() != text) std::abort();
    return 0;
}
