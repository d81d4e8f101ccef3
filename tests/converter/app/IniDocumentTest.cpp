#include "IniDocument.h"
#include "AppTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniDocumentTest : public OneFileTest {
  protected:
    IniDocumentTest() : OneFileTest("test.ini") {}
};

TEST_F(IniDocumentTest, KeysAreWrittenInTheOrderTheyCameWithCrLf) {
    TIniDocument ini;
    ini.WriteBool("Application", "Save path", true);
    ini.WriteString("Application", "Last Path", "/home/me/out ");
    ini.WriteInteger("File:JPEG/HEIC", "Image Quality", 90);
    ini.WriteBool("Application", "History Viewer", false);
    ASSERT_TRUE(ini.Save(File()));
    EXPECT_EQ(Read(), "[Application]\r\nSave path=1\r\nLast Path=/home/me/out \r\nHistory Viewer=0\r\n"
                      "[File:JPEG/HEIC]\r\nImage Quality=90\r\n");
    TIniDocument again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.ReadString("application", "LAST PATH", "x"), "/home/me/out ");
}

TEST_F(IniDocumentTest, ValuesAreReadLikeTheSystemsIniRoutines) {
    Write("\xEF\xBB\xBF; comment\r\n[A]\r\nOn = 7\r\nOff=0\nWord=yes\r\nNeg=-3\r\nEmpty=\r\n");
    TIniDocument ini;
    ASSERT_TRUE(ini.Load(File()));
    EXPECT_TRUE(ini.ReadBool("A", "On", false));
    EXPECT_FALSE(ini.ReadBool("a", "off", true));
    EXPECT_TRUE(ini.ReadBool("A", "Word", true));
    EXPECT_EQ(ini.ReadInteger("A", "Word", 5), 5);
    EXPECT_EQ(ini.ReadInteger("A", "Neg", 5), -3);
    EXPECT_EQ(ini.ReadString("A", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadString("A", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("B", "On", "d"), "d");
}

// Found by fuzzing: a UTF-32 file naming a number beyond Unicode loaded as a broken
// surrogate pair, so the text written back differed from the text loaded.
TEST_F(IniDocumentTest, TextThatIsNoUnicodeReadsAsReplacementCharactersAndWritesBackTheSame) {
    Write(QByteArray("\x00\x00\xfe\xff\xff\xfc\x09\x7b", 8));
    TIniDocument ini;
    ASSERT_TRUE(ini.Load(File()));
    const QString text = ini.Text();
    EXPECT_TRUE(text.isValidUtf16()) << text.toStdString();
    ASSERT_TRUE(ini.Save(File()));
    TIniDocument again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.Text(), text);
}

TEST_F(IniDocumentTest, ForeignLinesSurviveARewrite) {
    Write("; keep me\r\n[A]\r\nmine=1\r\nforeign=x\r\n[Z]\r\nz=1\r\n");
    TIniDocument ini;
    ASSERT_TRUE(ini.Load(File()));
    ini.WriteInteger("A", "Mine", 2);
    ini.WriteInteger("A", "new", 3);
    ASSERT_TRUE(ini.Save(File()));
    EXPECT_EQ(Read(), "; keep me\r\n[A]\r\nmine=2\r\nforeign=x\r\nnew=3\r\n[Z]\r\nz=1\r\n");
}

TEST_F(IniDocumentTest, AMissingFileIsEmptyAndAFailedWriteSaysWhy) {
    TIniDocument ini;
    EXPECT_TRUE(ini.Load(Dir.filePath("none.ini")));
    QDir().mkpath(File());
    QString error;
    EXPECT_FALSE(ini.Save(File(), &error));
    EXPECT_TRUE(error.contains("test.ini")) << error.toStdString();
}

} // namespace
