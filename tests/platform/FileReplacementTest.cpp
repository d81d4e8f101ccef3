#include "FileReplacement.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class FileReplacementTest : public testing::Test {
  protected:
    QString File() const { return FDir.filePath("settings.ini"); }
    void Write(const QByteArray& bytes) {
        QFile file(File());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read() const {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList Entries() const {
        return QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir FDir;
};

TEST_F(FileReplacementTest, ReplacesTheTextAndKeepsThePermissions) {
    Write("old");
    ASSERT_EQ(chmod(QFile::encodeName(File()).constData(), 0600), 0);
    QString error;
    ASSERT_TRUE(ReplaceFileContents(File(), "new text", &error)) << error.toStdString();
    EXPECT_EQ(Read(), "new text");
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(File()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(Entries(), QStringList{"settings.ini"});
}

TEST_F(FileReplacementTest, AFullDiskLeavesTheOldFileWholeAndSaysWhy) {
    Write("[Application]\r\nSave path=1\r\n");
    const QByteArray bigger(64 * 1024, 'x');
    QString error;
    bool replaced = true;
    {
        const TFileSizeLimit limit(4096);
        if (!limit.Active()) GTEST_SKIP() << "cannot set a file-size limit";
        replaced = ReplaceFileContents(File(), bigger, &error);
    }
    EXPECT_FALSE(replaced);
    EXPECT_TRUE(error.contains("settings.ini")) << error.toStdString();
    EXPECT_EQ(Read(), "[Application]\r\nSave path=1\r\n");
    EXPECT_EQ(Entries(), QStringList{"settings.ini"});
}

TEST_F(FileReplacementTest, AnUnwritableFolderIsAnErrorNotAnEmptyFile) {
    QString error;
    EXPECT_FALSE(ReplaceFileContents(FDir.filePath("missing/settings.ini"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
