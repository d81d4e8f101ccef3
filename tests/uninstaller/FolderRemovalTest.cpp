#include "FolderRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
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

// Mounts made by a test stay in a mount namespace of this test process, so the
// machine never sees them; without the rights for it the tests skip.
bool PrivateMountNamespace() {
    static const bool entered =
        unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered;
}

// A bind mount that is gone again before the temporary folder is cleaned up.
class TBindMount {
  public:
    TBindMount(const QString& from, const QString& to) : FTarget(QFile::encodeName(to)) {
        FMounted =
            mount(QFile::encodeName(from).constData(), FTarget.constData(), nullptr, MS_BIND, nullptr) == 0;
    }
    ~TBindMount() {
        if (FMounted) umount2(FTarget.constData(), MNT_DETACH);
    }
    bool Mounted() const { return FMounted; }

  private:
    QByteArray FTarget;
    bool FMounted = false;
};

struct MountCase {
    const char* Name;
    const char* MountPoint; // inside the tree, or the tree itself
};

class FolderRemovalMountTest : public FolderRemovalTest, public testing::WithParamInterface<MountCase> {};

TEST_P(FolderRemovalMountTest, NeverCrossesIntoABindMountOfTheSameFileSystem) {
    if (!PrivateMountNamespace()) GTEST_SKIP() << "not permitted to mount";
    WriteText(FTree + "/demoapp");
    const QString mountPoint = FTree + GetParam().MountPoint;
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    const TBindMount bind(FOutside, mountPoint);
    if (!bind.Mounted()) GTEST_SKIP() << "not permitted to mount";

    DeleteFolderTree(FTree);
    EXPECT_TRUE(Exists(FOutside + "/keep.txt"));
    EXPECT_TRUE(Exists(FOutside + "/nested/keep.txt"));
}

INSTANTIATE_TEST_SUITE_P(Mounts, FolderRemovalMountTest,
                         testing::Values(MountCase{"Inside", "/data/mounted"}, MountCase{"Deep", "/a/b/c/d"},
                                         MountCase{"TheTreeItself", ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
