#include "ImgBase.h"
#include "Base64.h"
#include "BmpCodec.h"
#include "ConversionJob.h"
#include "ImageTestSupport.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

using namespace imagetest;

namespace {

QByteArray AllBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

TEST(ImgBase, EveryByteMapsAsWindows1252) {
    QStringDecoder codec("windows-1252");
    if (!codec.isValid()) GTEST_SKIP() << "no Windows-1252 codec in Qt";
    const QByteArray bytes = AllBytes();
    EXPECT_EQ(Windows1252ToUtf8(bytes), QString(codec.decode(bytes)).toUtf8());
}

TEST(ImgBase, KnownCharacters) {
    EXPECT_EQ(Windows1252ToUtf8("A"), "A");
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");     // unassigned: U+0081
    EXPECT_EQ(Windows1252ToUtf8("\x9D"), "\xC2\x9D");
    EXPECT_EQ(Windows1252ToUtf8("\xFF"), "\xC3\xBF");
}

TEST(ImgBase, EveryByteSurvivesTheRoundTrip) {
    const QByteArray bytes = AllBytes().repeated(3);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(bytes)), bytes);
}

TEST(ImgBase, LatinOneControlCharactersReadAsTheirBytes) {
    EXPECT_EQ(Utf8ToWindows1252("\xC2\x80\xC2\x9F"), QByteArray("\x80\x9F"));
}

TEST(ImgBase, RefusesWhatIsNotWindows1252InUtf8) {
    EXPECT_THROW(Utf8ToWindows1252("\xE4\xB8\x80"), ConversionError);     // a CJK character
    EXPECT_THROW(Utf8ToWindows1252("\xF0\x9F\x98\x80"), ConversionError); // beyond the BMP
    EXPECT_THROW(Utf8ToWindows1252("\xC3"), ConversionError);             // cut inside a character
    EXPECT_THROW(Utf8ToWindows1252("\xC0\x80"), ConversionError);         // overlong
    EXPECT_THROW(Utf8ToWindows1252("\x80"), ConversionError);             // a stray continuation
}

class ImgBaseRoundTrip : public testing::TestWithParam<bool> {};

TEST_P(ImgBaseRoundTrip, TheBitmapComesBack) {
    TBitmap bitmap;
    bitmap.LoadFromMemory(EncodeBmp(RasterOf(PhotoLike(45, 33, GetParam()))));
    const QByteArray text = BitmapToBase64(bitmap);
    // Lines of 76 characters, ended by LF.
    EXPECT_EQ(text.indexOf('\n'), 76);
    EXPECT_EQ(text.mid(77).indexOf('\n'), 76);
    EXPECT_FALSE(text.contains('\r'));
    // Qt's Base64 and Windows-1252 codec read the BMP file back.
    QStringDecoder codec("windows-1252");
    if (codec.isValid()) {
        const QString characters = QString::fromUtf8(QByteArray::fromBase64(text));
        EXPECT_EQ(QStringEncoder("windows-1252").encode(characters), bitmap.SaveToMemory());
    }
    const auto back = Base64ToBitmap(text);
    EXPECT_EQ(back->Raster().HasAlpha(), GetParam());
    EXPECT_EQ(Compare(ImageOf(back->Raster()), ImageOf(bitmap.Raster())).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(Alpha, ImgBaseRoundTrip, testing::Bool());

TEST(ImgBase, TextThatIsNoBitmapIsRefused) {
    EXPECT_THROW(Base64ToBitmap(""), ConversionError);
    EXPECT_THROW(Base64ToBitmap(Base64Encode("hello, world")), ConversionError);
    EXPECT_THROW(Base64ToBitmap(Base64Encode(QtWrite(PhotoLike(8, 8), "png"))), ConversionError);
}

TEST(ImgBase, FileTextFollowsTheByteOrderMark) {
    EXPECT_EQ(ImgBaseFileText("\xEF\xBB\xBFQUJD"), "QUJD");
    EXPECT_EQ(ImgBaseFileText(QByteArray("\xFF\xFEQ\0U\0J\0D\0\x20\x20", 12)), "QUJD");
    EXPECT_EQ(ImgBaseFileText(QByteArray("\xFE\xFF\0Q\0U\0J\0D", 10)), "QUJD");
    EXPECT_EQ(ImgBaseFileText("QUJD\r\n"), "QUJD\r\n");
}

} // namespace
