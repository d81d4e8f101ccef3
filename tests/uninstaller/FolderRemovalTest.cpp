#include "FolderRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void WriteText(const QString& path, const QByteArray& text = "data") {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

bool Exists(const QString& path) {
    struct stat info;
    return lstat(QFile::encodeName(path).constData(), &info) == 0;
}

class FolderRemovalTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        FTree = FDir.filePath("App");
        FOutside = FDir.filePath("Outside");
        WriteText(FOutside + "/keep.txt");
        WriteText(FOutside + "/nested/keep.txt");
    }
    void TearDown() override {
        // Leave nothing read-only behind for the temporary folder's own clean-up.
        chmod(QFile::encodeName(FDir.path()).constData(), 0700);
    }

    QTemporaryDir FDir;
    QString FTree;
    QString FOutside;
};

TEST_F(FolderRemovalTest, RemovesAWholeTreeWithHiddenAndReadOnlyEntries) {
    WriteText(FTree + "/demoapp");
    WriteText(FTree + "/.hidden");
    WriteText(FTree + "/lib/deep/er/libdemo.so");
    WriteText(FTree + "/locked/file.txt");
    ASSERT_EQ(chmod(QFile::encodeName(FTree + "/locked/file.txt").constData(), 0400), 0);
    ASSERT_EQ(chmod(QFile::encodeName(FTree + "/locked").constData(), 0500), 0);
    WriteText(FTree + "/sealed/inner.txt");
    ASSERT_EQ(chmod(QFile::encodeName(FTree + "/sealed").constData(), 0000), 0);

    EXPECT_TRUE(DeleteFolderTree(FTree));
    EXPECT_FALSE(Exists(FTree));
}

TEST_F(FolderRemovalTest, LinksInsideTheTreeAreRemovedNotFollowed) {
    WriteText(FTree + "/demoapp");
    ASSERT_TRUE(QFile::link(FOutside, FTree + "/to-outside-folder"));
    ASSERT_TRUE(QDir().mkpath(FTree + "/sub"));
    ASSERT_TRUE(QFile::link(FOutside + "/keep.txt", FTree + "/sub/to-outside-file"));
    ASSERT_TRUE(QFile::link(FDir.filePath("nowhere"), FTree + "/dangling"));

    EXPECT_TRUE(DeleteFolderTree(FTree));
    EXPECT_FALSE(Exists(FTree));
    EXPECT_TRUE(Exists(FOutside + "/keep.txt"));
    EXPECT_TRUE(Exists(FOutside + "/nested/keep.txt"));
}

TEST_F(FolderRemovalTest, ALinkAtTheTopIsRemovedAsALink) {
    ASSERT_TRUE(QFile::link(FOutside, FTree));
    EXPECT_TRUE(DeleteFolderTree(FTree));
    EXPECT_FALSE(Exists(FTree));
    EXPECT_TRUE(Exists(FOutside + "/nested/keep.txt"));
}

TEST_F(FolderRemovalTest, TrailingDelimiterAndDotsNameTheSameTree) {
    WriteText(FTree + "/file");
    EXPECT_TRUE(DeleteFolderTree(FTree + "/sub/../"));
    EXPECT_FALSE(Exists(FTree));
    EXPECT_TRUE(Exists(FOutside));
}

TEST_F(FolderRemovalTest, MissingFolderIsAlreadyGone) {
    EXPECT_TRUE(DeleteFolderTree(FDir.filePath("never-made")));
}

TEST_F(FolderRemovalTest, RelativePathsAreNotRemoved) {
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FOutside));
    EXPECT_FALSE(DeleteFolderTree("nested"));
    EXPECT_FALSE(DeleteFolderTree("."));
    EXPECT_FALSE(DeleteFolderTree(""));
    QDir::setCurrent(saved);
    EXPECT_TRUE(Exists(FOutside + "/nested/keep.txt"));
}

} // namespace
