#include "SymbolFont.h"

#include "TestApplication.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

// Every Segoe code point the library's controls and the programs draw.
constexpr char32_t UsedCodePoints[] = {0xE003, 0xE005, 0xE133, 0xE189, 0xE70D, 0xE734, 0xE73B,
                                       0xE73C, 0xE73E, 0xE74D, 0xE76C, 0xE78C, 0xE915, 0xEB9F};

TEST(SymbolFontTest, SegoeFacesKeepTheirCodePoints) {
    EXPECT_EQ(SymbolCodePoint(0xE74D, "Segoe MDL2 Assets"), 0xE74Du);
    EXPECT_EQ(SymbolText(QString(QChar(0xE73E)), "Segoe Fluent Icons"), QString(QChar(0xE73E)));
}

TEST(SymbolFontTest, MaterialFontGetsTheGlyphOfTheSameMeaning) {
    EXPECT_EQ(SymbolCodePoint(0xE74D, MaterialIconFont), 0xE872u); // delete
    EXPECT_EQ(SymbolCodePoint(0xE73E, MaterialIconFont), 0xE5CAu); // check
    EXPECT_EQ(SymbolCodePoint(0x0041, MaterialIconFont), 0x0041u) << "unmapped stays";
    EXPECT_EQ(SymbolText(QString(QChar(0xE003)) + QChar(0xE005), MaterialIconFont),
              QString(QChar(0xE835)) + QChar(0xE834));
}

TEST(SymbolFontTest, EveryMappedGlyphExistsInTheInstalledFont) {
    TestApplication();
    if (!QFontDatabase::families().contains(MaterialIconFont, Qt::CaseInsensitive))
        GTEST_SKIP() << "no Material icon font installed";
    EXPECT_EQ(ChooseIconFont(), MaterialIconFont);
    QFont font(MaterialIconFont);
    ASSERT_EQ(QFontInfo(font).family(), MaterialIconFont);
    const QFontMetrics metrics(font);
    for (char32_t codePoint : UsedCodePoints) {
        const char32_t mapped = SymbolCodePoint(codePoint, MaterialIconFont);
        EXPECT_NE(mapped, codePoint);
        EXPECT_TRUE(metrics.inFontUcs4(mapped))
            << std::hex << unsigned(codePoint) << " -> " << unsigned(mapped);
    }
}

} // namespace
