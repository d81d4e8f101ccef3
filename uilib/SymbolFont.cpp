#include "SymbolFont.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Segoe code point -> Material icon of the same meaning, sorted by the first.
constexpr std::array<std::pair<char32_t, char32_t>, 16> MaterialGlyphs = {{
    {0xE003, 0xE835}, // box outline -> check_box_outline_blank
    {0xE005, 0xE834}, // checked box -> check_box
    {0xE133, 0xE574}, // miscellaneous -> category
    {0xE189, 0xE3A1}, // audio -> audiotrack
    {0xE70D, 0xE5CF}, // chevron down -> expand_more
    {0xE734, 0xE83A}, // star -> star_border
    {0xE73B, 0xEB36}, // filled box -> square
    {0xE73C, 0xE15B}, // indeterminate mark -> remove
    {0xE73E, 0xE5CA}, // check mark -> check
    {0xE74D, 0xE872}, // delete -> delete
    {0xE76C, 0xE5CC}, // chevron right -> chevron_right
    {0xE783, 0xE000}, // error -> error
    {0xE78C, 0xE161}, // save -> save
    {0xE8BB, 0xE5CD}, // close -> close
    {0xE915, 0xE837}, // radio bullet -> radio_button_checked
    {0xEB9F, 0xE3F4}, // picture -> image
}};

} // namespace

QString ChooseIconFont() {
    const QString fallback = QStringLiteral("Segoe MDL2 Assets");
    if (qGuiApp == nullptr) return fallback;
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"Segoe Fluent Icons", "Segoe MDL2 Assets", MaterialIconFont})
        if (families.contains(QLatin1String(face), Qt::CaseInsensitive)) return QString::fromLatin1(face);
    return fallback;
}

char32_t SymbolCodePoint(char32_t CodePoint, const QString& IconFont) {
    if (IconFont.compare(QLatin1String(MaterialIconFont), Qt::CaseInsensitive) != 0) return CodePoint;
    const auto found = std::lower_bound(MaterialGlyphs.begin(), MaterialGlyphs.end(), CodePoint,
                                        [](const auto& entry, char32_t key) { return entry.first < key; });
    return found != MaterialGlyphs.end() && found->first == CodePoint ? found->second : CodePoint;
}

QString SymbolText(const QString& Text, const QString& IconFont) {
    QString result;
    for (const char32_t codePoint : Text.toUcs4()) {
        const char32_t mapped = SymbolCodePoint(codePoint, IconFont);
        result += QString::fromUcs4(&mapped, 1);
    }
    return result;
}
