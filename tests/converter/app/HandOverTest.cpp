#include "HandOver.h"
#include "AppTestEnvironment.h"
#include "TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class HandOverTest : public testing::Test {
  protected:
    QString Folder() const { return Dir.filePath("Formshift/Send/"); }
    QTemporaryDir Dir;
};

TEST_F(HandOverTest, AListGoesIntoANewNumberedFileWithCrLfLines) {
    const QString path = WriteHandOverList(Folder(), {"/a/one.png", "/b/tw\xC3\xB6.png"});
    bool number = false;
    const int n = QFileInfo(path).fileName().toInt(&number);
    EXPECT_TRUE(number);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 1000);
    EXPECT_EQ(QString::number(n), QFileInfo(path).fileName()) << "no leading zeros";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "/a/one.png\r\n/b/tw\xC3\xB6.png\r\n");
    // Nothing is left beside the folder.
    EXPECT_EQ(QDir(Dir.filePath("Formshift")).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

class HandOverNameTest : public HandOverTest, public testing::WithParamInterface<const char*> {};

// Lines end at CR or LF, so a name holding one would arrive as two wrong names.
TEST_P(HandOverNameTest, EveryNameArrivesAsItWasSent) {
    const QStringList list{"/a/first.png", QString::fromUtf8(GetParam()), "/a/last.png"};
    EXPECT_EQ(ReadHandOverList(WriteHandOverList(Folder(), list)), list);
}

INSTANTIATE_TEST_SUITE_P(Names, HandOverNameTest,
                         testing::Values("/a/plain.png", "/a/line\nbreak.png", "/a/carriage\rreturn.png",
                                         "/a/both\r\n.png", "/a/\n", "/a/100% sure.png", "/a/%0A.png",
                                         "/a/file:not an address.png", "/a/tw\xC3\xB6 \xF0\x9F\x93\xB7.png"));

TEST_F(HandOverTest, AnEmptyListGivesAnEmptyFile) {
    const QString path = WriteHandOverList(Folder(), {});
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(HandOverFiles(Folder()), QStringList{path});
}

TEST_F(HandOverTest, NoFileOfAnotherCopyIsEverReplaced) {
    QDir().mkpath(Folder());
    for (int n = 0; n < 1000; ++n) {
        if (n == 417) continue;
        QFile file(Folder() + QString::number(n));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("other\r\n");
    }
    EXPECT_EQ(QFileInfo(WriteHandOverList(Folder(), {"/mine"})).fileName(), "417");
    EXPECT_THROW(WriteHandOverList(Folder(), {"/more"}), std::runtime_error);
    EXPECT_EQ(LoadLines(Folder() + "0"), QStringList{"other"});
    EXPECT_EQ(LoadLines(Folder() + "417"), QStringList{"/mine"});
}

TEST_F(HandOverTest, AFolderThatCannotBeMadeIsAnError) {
    QDir().mkpath(Dir.filePath("Formshift"));
    QFile(Dir.filePath("Formshift/Send")).open(QIODevice::WriteOnly);
    EXPECT_THROW(WriteHandOverList(Folder(), {"/a"}), std::runtime_error);
}

TEST_F(HandOverTest, ManyListsGetDistinctNames) {
    QSet<QString> names;
    for (int i = 0; i < 200; ++i)
        names.insert(WriteHandOverList(Folder(), {QString::number(i)}));
    EXPECT_EQ(names.size(), 200);
    EXPECT_EQ(HandOverFiles(Folder()).size(), 200);
}

} // namespace
