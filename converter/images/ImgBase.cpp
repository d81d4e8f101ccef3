#include "ImgBase.h"

#include "Base64.h"
#include "ConversionJob.h"

#include <array>

namespace {

// Characters of the bytes 0x80–0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> Upper = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

[[noreturn]] void Fail(const char* what) {
    throw ConversionError(std::string("IMG-BASE: ") + what);
}

int ByteOfCharacter(char32_t c) {
    if (c < 0x100) return int(c); // ASCII, Latin-1, and U+0080–U+009F taken as themselves
    for (int i = 0; i < 32; ++i)
        if (Upper[std::size_t(i)] == c) return 0x80 + i;
    return -1;
}

} // namespace

QByteArray Windows1252ToUtf8(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        const auto v = std::uint8_t(b);
        const char32_t c = v >= 0x80 && v < 0xA0 ? Upper[v - 0x80] : v;
        if (c < 0x80) {
            out.append(char(c));
        } else if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

QByteArray Utf8ToWindows1252(QByteArrayView utf8) {
    QByteArray out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const std::uint8_t lead = *p++;
        char32_t c;
        if (lead < 0x80) {
            out.append(char(lead));
            continue;
        }
        int more;
        if ((lead & 0xE0) == 0xC0) {
            c = lead & 0x1F;
            more = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            c = lead & 0x0F;
            more = 2;
        } else {
            // Four-byte sequences name characters beyond any single-byte code page.
            Fail("the text is not Windows-1252 characters in UTF-8");
        }
        if (end - p < more) Fail("the text ends inside a character");
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) Fail("invalid UTF-8");
            c = (c << 6) | (*p & 0x3F);
        }
        if ((more == 1 && c < 0x80) || (more == 2 && c < 0x800)) Fail("invalid UTF-8");
        const int byte = ByteOfCharacter(c);
        if (byte < 0) Fail("a character Windows-1252 cannot hold");
        out.append(char(byte));
    }
    return out;
}

QByteArray BitmapToBase64(const TBitmap& bitmap) {
    return Base64Encode(Windows1252ToUtf8(bitmap.SaveToMemory()));
}

std::unique_ptr<TBitmap> Base64ToBitmap(QByteArrayView text) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromMemory(Utf8ToWindows1252(Base64Decode(text)));
    return bitmap;
}

QByteArray ImgBaseFileText(QByteArrayView file) {
    if (file.startsWith("\xEF\xBB\xBF")) return file.sliced(3).toByteArray();
    const bool le = file.startsWith("\xFF\xFE"), be = file.startsWith("\xFE\xFF");
    if (!le && !be) return file.toByteArray();
    QByteArray out;
    out.reserve(file.size() / 2);
    for (qsizetype i = 2; i + 1 < file.size(); i += 2) {
        const auto lo = std::uint8_t(file[le ? i : i + 1]), hi = std::uint8_t(file[le ? i + 1 : i]);
        if (hi == 0 && lo < 0x80) out.append(char(lo));
    }
    return out;
}
