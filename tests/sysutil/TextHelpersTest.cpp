#include "TextHelpers.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* Text;
    const char* Separator;
    QStringList Expected;
};

class SplitTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, SplitsAtEverySeparator) {
    EXPECT_EQ(SplitText(GetParam().Text, GetParam().Separator), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitTextTest,
                         ::testing::Values(SplitCase{"", "\r", {}}, SplitCase{"a\r", "\r", {"a", ""}},
                                           SplitCase{"a\rb\rc", "\r", {"a", "b", "c"}},
                                           SplitCase{"\ra", "\r", {"", "a"}}, SplitCase{"abc", "\r", {"abc"}},
                                           SplitCase{"a::b", "::", {"a", "b"}},
                                           SplitCase{"abc", "", {"abc"}}));

TEST(TextHelpersTest, RemoveRangeIsOneBasedAndInclusive) {
    EXPECT_EQ(RemoveRange("abcdef", 2, 4), "aef");
    EXPECT_EQ(RemoveRange("abcdef", 1, 1), "bcdef");
    EXPECT_EQ(RemoveRange("abcdef", 5, 99), "abcd");
    EXPECT_EQ(RemoveRange("abcdef", 0, 3), "abcdef");
    EXPECT_EQ(RemoveRange("abcdef", 7, 8), "abcdef");
    EXPECT_EQ(RemoveRange("abcdef", 4, 3), "abcdef");
}

TEST(TextHelpersTest, InsertAtPlacesBeforeTheCharacter) {
    EXPECT_EQ(InsertAt("abc", 2, "X"), "aXbc");
    EXPECT_EQ(InsertAt("abc", 1, "X"), "Xabc");
    EXPECT_EQ(InsertAt("abc", 4, "X"), "abcX");
    EXPECT_EQ(InsertAt("abc", 0, "X"), "Xabc");
    EXPECT_EQ(InsertAt("abc", 99, "X"), "abcX");
}

TEST(TextHelpersTest, SmallHelpers) {
    QStringList list{"old"};
    FillListFromArray({"a", "b"}, list);
    EXPECT_EQ(list, (QStringList{"a", "b"}));
    EXPECT_EQ(BooleanText(true), "true");
    EXPECT_EQ(BooleanText(false), "false");
    EXPECT_EQ(IndexOfText("-Silent", {"-start", "-silent"}), -1);
    EXPECT_EQ(IndexOfText("-silent", {"-start", "-silent"}), 1);
    EXPECT_EQ(IndexOfText("x", {}), -1);
}

} // namespace
