#pragma once
// Icons are symbol-font glyphs addressed by the code points of the Segoe
// symbol fonts. Where neither Segoe face is installed, the Material Design
// icon font stands in, and each code point the library draws is mapped to the
// Material glyph of the same meaning.
#include <QString>

// "Segoe Fluent Icons" or "Segoe MDL2 Assets" when installed, else "Material
// Icons" when installed, else "Segoe MDL2 Assets". Needs the GUI application.
QString ChooseIconFont();

// The code point to draw in IconFont for a Segoe code point: itself unless
// IconFont is the Material font; unmapped code points stay as they are.
char32_t SymbolCodePoint(char32_t CodePoint, const QString& IconFont);
// Text with every character mapped as SymbolCodePoint does.
QString SymbolText(const QString& Text, const QString& IconFont);

inline constexpr char MaterialIconFont[] = "Material Icons";
