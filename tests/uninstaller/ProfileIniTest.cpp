#include "ProfileIni.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <optional>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("test.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

struct IntegerCase {
    const char* Text;
    std::optional<qint64> Expected;
};

void PrintTo(const IntegerCase& c, std::ostream* out) {
    *out << '"' << c.Text << '"';
}

class ProfileIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileIntegerTest, ParsesDecimalAndPrefixedHexadecimalOnly) {
    EXPECT_EQ(TProfileIni::ParseInteger(QString::fromLatin1(GetParam().Text)), GetParam().Expected)
        << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntegerTest,
                         testing::Values(IntegerCase{"1", 1}, IntegerCase{"0", 0}, IntegerCase{"-3", -3},
                                         IntegerCase{" 7 ", 7}, IntegerCase{"0x0", 0},
                                         IntegerCase{"0x1F", 31}, IntegerCase{"0X10", 16},
                                         IntegerCase{"0xFFFFFFFF", 0xFFFFFFFFll},
                                         IntegerCase{"yes", std::nullopt}, IntegerCase{"true", std::nullopt},
                                         IntegerCase{"", std::nullopt}, IntegerCase{"0x", std::nullopt},
                                         IntegerCase{"1.0", std::nullopt}, IntegerCase{"0x-1", std::nullopt},
                                         IntegerCase{"99999999999", std::nullopt}));

TEST(ProfileIniTest, SectionAndKeyNamesIgnoreCase) {
    QTemporaryDir dir;
    const TProfileIni ini(WriteFile(dir, "[REPORT]\r\nreport version=1.0.0\r\n"));
    ASSERT_TRUE(ini.Loaded());
    EXPECT_EQ(ini.ReadString("Report", "Report Version", "none"), "1.0.0");
    EXPECT_EQ(ini.ReadString("Report", "Other", "none"), "none");
    EXPECT_EQ(ini.ReadString("Application", "Report Version", "none"), "none");
}

TEST(ProfileIniTest, ReadsValuesAsTheProfileFunctionsDo) {
    QTemporaryDir dir;
    const TProfileIni ini(WriteFile(dir, "orphan=before any section\n"
                                         "; a comment=not a value\n"
                                         "[Application]\n"
                                         "  Name  =  Demo App  \n"
                                         "Name=second wins not\n"
                                         "Quoted=\"/opt/Demo App\"\n"
                                         "Single='x'\n"
                                         "Unbalanced=\"x\n"
                                         "Empty=\n"
                                         "no equals sign\n"
                                         "[application]\n"
                                         "Later=found\n"));
    EXPECT_EQ(ini.ReadString("Application", "Name", ""), "Demo App");
    EXPECT_EQ(ini.ReadString("Application", "Quoted", ""), "/opt/Demo App");
    EXPECT_EQ(ini.ReadString("Application", "Single", ""), "x");
    EXPECT_EQ(ini.ReadString("Application", "Unbalanced", ""), "\"x");
    EXPECT_EQ(ini.ReadString("Application", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("Application", "Later", ""), "found");
    EXPECT_FALSE(ini.Value("", "orphan").has_value());
    EXPECT_FALSE(ini.Value("Application", "; a comment").has_value());
}

TEST(ProfileIniTest, ReadsUtf16FilesWithByteOrderMark) {
    QTemporaryDir dir;
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encoder.encode(QStringLiteral("[Application]\r\nName=Überprogramm ✓\r\n"));
    const TProfileIni ini(WriteFile(dir, bytes));
    EXPECT_EQ(ini.ReadString("Application", "Name", ""), QStringLiteral("Überprogramm ✓"));
}

TEST(ProfileIniTest, ReadsUtf8WithByteOrderMarkAndLoneCarriageReturns) {
    QTemporaryDir dir;
    const TProfileIni ini(WriteFile(dir, "\xEF\xBB\xBF[A]\rKey=é\r[B]\rKey=2"));
    EXPECT_EQ(ini.ReadString("A", "Key", ""), QStringLiteral("é"));
    EXPECT_EQ(ini.ReadInteger("B", "Key", 0), 2);
}

TEST(ProfileIniTest, ValuesAreCutAt2047Characters) {
    QTemporaryDir dir;
    const QByteArray longValue(3000, 'a');
    const TProfileIni ini(WriteFile(dir, "[S]\nK=" + longValue + "\n"));
    EXPECT_EQ(ini.ReadString("S", "K", "").size(), TProfileIni::MaxValueLength);
}

TEST(ProfileIniTest, BooleansFallBackToTheDefaultForWords) {
    QTemporaryDir dir;
    const TProfileIni ini(WriteFile(dir, "[S]\nOne=1\nZero=0x0\nWord=yes\nHex=0x10\n"));
    EXPECT_TRUE(ini.ReadBool("S", "One", false));
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_FALSE(ini.ReadBool("S", "Word", false));
    EXPECT_TRUE(ini.ReadBool("S", "Word", true));
    EXPECT_TRUE(ini.ReadBool("S", "Hex", false));
    EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

TEST(ProfileIniTest, MissingFileReadsAsEmpty) {
    const TProfileIni ini("/nonexistent/folder/test.ini");
    EXPECT_FALSE(ini.Loaded());
    EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
}

} // namespace
