#include "StagedOutput.h"

#include "ConversionJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool Touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("half") == 4;
}

class StagedNameLengthTest : public testing::TestWithParam<int> {};

// The staging name is made beside the final one; were it longer, a final name the
// file system allows could not be staged at all.
TEST_P(StagedNameLengthTest, EveryNameTheFileSystemAllowsCanBeStagedAndCommitted) {
    QTemporaryDir dir;
    const QString name = QString(GetParam() - 4, QLatin1Char('n')) + ".png";
    ASSERT_EQ(QFile::encodeName(name).size(), GetParam());
    const QString finalPath = dir.filePath(name);
    StagedOutput staged(finalPath);
    EXPECT_LE(QFile::encodeName(QFileInfo(staged.StagingPath()).fileName()).size(), 40);
    EXPECT_TRUE(staged.StagingPath().endsWith(".png"));
    ASSERT_TRUE(Touch(staged.StagingPath()));
    EXPECT_EQ(staged.Commit(), finalPath);
    EXPECT_EQ(Entries(dir.path()), QStringList{name});
}

INSTANTIATE_TEST_SUITE_P(Bytes, StagedNameLengthTest, testing::Values(240, 245, 250, 254, 255));

// The id of a process that has ended.
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(StagedOutputTest, StaleFilesOfEndedProcessesGoAndNothingElse) {
    QTemporaryDir dir;
    const QString dead = QString::number(EndedProcess());
    const QString alive = QString::number(getpid());
    const QStringList stale{".formshift-" + dead + "-x1.part.png", ".formshift-" + dead + "-abc.part"};
    const QStringList kept{".formshift-" + alive + "-x1.part.png", // this process may be writing it
                           ".formshift-1-x1.part.png",             // a running process
                           ".formshift-" + dead + "-x1.partial",   // not our naming
                           ".photo.x1.part.png",
                           "photo.png",
                           "notes.formshift-" + dead + "-x1.part.png"};
    for (const QString& name : stale + kept)
        ASSERT_TRUE(Touch(dir.filePath(name)));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(".formshift-" + dead + "-d1.part.png")));

    EXPECT_EQ(StagedOutput::RemoveStaleFiles(dir.path()), 2);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(Entries(dir.path()), expected);
    EXPECT_TRUE(QFileInfo(dir.filePath(".formshift-" + dead + "-d1.part.png")).isDir());
}

TEST(StagedOutputTest, AStagingNameNamesThisProcess) {
    QTemporaryDir dir;
    const StagedOutput staged(dir.filePath("a.heic"));
    EXPECT_TRUE(QFileInfo(staged.StagingPath())
                    .fileName()
                    .startsWith(".formshift-" + QString::number(getpid()) + "-"));
    // Its own files are never taken for stale ones.
    ASSERT_TRUE(Touch(staged.StagingPath()));
    EXPECT_EQ(StagedOutput::RemoveStaleFiles(dir.path()), 0);
}

} // namespace
