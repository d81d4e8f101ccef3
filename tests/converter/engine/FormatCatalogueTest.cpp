#include "FormatCatalogue.h"
#include "ModifyProgress.h"

#include <gtest/gtest.h>

namespace {

struct ExtensionCase {
    const char* Text;
    FormatTag Expected;
};

void PrintTo(const ExtensionCase& c, std::ostream* os) {
    *os << '"' << c.Text << '"';
}

class FormatFromExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(FormatFromExtensionTest, RecognisesWordsOfTheTable) {
    EXPECT_EQ(FormatFromExtension(QString::fromUtf8(GetParam().Text)), GetParam().Expected)
        << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Words, FormatFromExtensionTest,
    testing::Values(ExtensionCase{".JPG", FormatTag::JPEG}, ExtensionCase{"jpg", FormatTag::JPEG},
                    ExtensionCase{"JPEG", FormatTag::JPEG}, ExtensionCase{"HEIF", FormatTag::HEIC},
                    ExtensionCase{".heic", FormatTag::HEIC}, ExtensionCase{".txt", FormatTag::BASE64},
                    ExtensionCase{"b64", FormatTag::BASE64}, ExtensionCase{"wav", FormatTag::WAVE},
                    ExtensionCase{"WAVE", FormatTag::Unknown}, ExtensionCase{"IMG-BASE", FormatTag::Unknown},
                    ExtensionCase{"tar.gz", FormatTag::Unknown}, ExtensionCase{"AUTO", FormatTag::AUTO},
                    ExtensionCase{"", FormatTag::Unknown}, ExtensionCase{"..p.n.g", FormatTag::PNG}));

TEST(FormatCatalogue, NamesAndExtensionsFollowTheTable) {
    EXPECT_EQ(FormatExtension(FormatTag::IMGBASE), ".txt");
    EXPECT_EQ(FormatExtension(FormatTag::BASE64), ".b64");
    EXPECT_EQ(FormatExtension(FormatTag::WAVE), ".wav");
    EXPECT_EQ(FormatExtension(FormatTag::JPEG), ".jpeg");
    EXPECT_EQ(FormatExtension(FormatTag::Unknown), ".");
    EXPECT_EQ(FormatName(FormatTag::IMGBASE), "TXT");
    EXPECT_EQ(PickerCaption(FormatTag::AUTO), QString::fromUtf8("✨AUTO"));
}

TEST(FormatCatalogue, FormatNameLeavesTheVariableForUnknownTags) {
    QString name = "kept";
    FormatName(static_cast<FormatTag>(15), name);
    EXPECT_EQ(name, "kept");
    FormatName(FormatTag::Unknown, name);
    EXPECT_EQ(name, "kept");
}

TEST(FormatCatalogue, ConverterChoiceFollowsTheFirstMatchingRule) {
    EXPECT_EQ(ChooseConverter(FormatTag::BASE64, FormatTag::MP3), ConverterFamily::Base64Decode);
    EXPECT_EQ(ChooseConverter(FormatTag::BASE64, FormatTag::AUTO), ConverterFamily::Base64Decode);
    EXPECT_EQ(ChooseConverter(FormatTag::Unknown, FormatTag::BASE64), ConverterFamily::Base64Encode);
    EXPECT_EQ(ChooseConverter(FormatTag::MP3, FormatTag::WAVE), ConverterFamily::Audio);
    EXPECT_EQ(ChooseConverter(FormatTag::HEIC, FormatTag::IMGBASE), ConverterFamily::Image);
    EXPECT_EQ(ChooseConverter(FormatTag::PNG, FormatTag::MP3), ConverterFamily::None);
    EXPECT_EQ(ChooseConverter(FormatTag::PNG, FormatTag::AUTO), ConverterFamily::None);
    EXPECT_EQ(ChooseConverter(FormatTag::Unknown, FormatTag::PNG), ConverterFamily::None);
}

TEST(ModifyProgress, BadgesArePaddedAndShowThePercentage) {
    EXPECT_EQ(BadgeText(TModifyProgress::Waiting), " Waiting ");
    EXPECT_EQ(BadgeText(TModifyProgress::Converting, 0), " Converting ");
    EXPECT_EQ(BadgeText(TModifyProgress::Converting, 42), " Converting 42% ");
    EXPECT_EQ(BadgeText(TModifyProgress::Error), " Error! ");
}

} // namespace
