#include "OutputPath.h"
#include "ConversionJob.h"
#include "StagedOutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

struct NamingCase {
    const char* Source;
    FormatTag From;
    FormatTag To;
    const char* Expected;
};

void PrintTo(const NamingCase& c, std::ostream* os) {
    *os << c.Source << " -> " << c.Expected;
}

class FormOutputPathTest : public testing::TestWithParam<NamingCase> {};

TEST_P(FormOutputPathTest, DerivesTheNameInTheExportFolder) {
    const auto& c = GetParam();
    EXPECT_EQ(FormOutputPath(c.Source, c.From, c.To, QString(), "/out"), QString(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, FormOutputPathTest,
    testing::Values(NamingCase{"/in/photo.png", FormatTag::PNG, FormatTag::JPEG, "/out/photo.jpeg"},
                    NamingCase{"/in/song.mp3", FormatTag::MP3, FormatTag::BASE64, "/out/song.mp3.b64"},
                    NamingCase{"/in/song.mp3.b64", FormatTag::BASE64, FormatTag::MP3, "/out/song.mp3"},
                    NamingCase{"/in/photo.png.b64", FormatTag::BASE64, FormatTag::PNG, "/out/photo.png"},
                    NamingCase{"/in/photo.png.b64", FormatTag::BASE64, FormatTag::JPEG,
                               "/out/photo.png.jpeg"},
                    NamingCase{"/in/photo.PNG.b64", FormatTag::BASE64, FormatTag::PNG, "/out/photo.PNG.png"},
                    NamingCase{"/in/README", FormatTag::Unknown, FormatTag::BASE64, "/out/README.b64"},
                    NamingCase{"/in/x.wav", FormatTag::WAVE, FormatTag::AUTO, "/out/x.auto"},
                    NamingCase{"/in.d/IMG_0001.JPG", FormatTag::JPEG, FormatTag::PNG, "/out/IMG_0001.png"}));

TEST(OutputPath, ExplicitItemTargetWins) {
    EXPECT_EQ(FormOutputPath("/in/a.png", FormatTag::PNG, FormatTag::JPEG, "/chosen/b.jpg", "/out"),
              "/chosen/b.jpg");
}

TEST(OutputPath, ExportFolderGetsItsDelimiterOnce) {
    EXPECT_EQ(FormOutputPath("/in/a.png", FormatTag::PNG, FormatTag::BMP, QString(), "/out/"), "/out/a.bmp");
}

TEST(OutputPath, CounterGoesBeforeTheFileNamesExtensionOnly) {
    EXPECT_EQ(CounterCandidate("/out/photo.jpeg", 1), "/out/photo (1).jpeg");
    EXPECT_EQ(CounterCandidate("/out/photo.tar.gz", 2), "/out/photo.tar (2).gz");
    // A name without extension keeps its folder intact: the counter ends the name.
    EXPECT_EQ(CounterCandidate("/my.folder/notes", 3), "/my.folder/notes (3)");
    EXPECT_EQ(CounterCandidate("notes", 12345678901LL), "notes (12345678901)");
}

TEST(OutputPath, ClashingNamesAreNumberedFromTheOriginalPath) {
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpeg");
    EXPECT_EQ(FreeOutputPath(path), path);
    Touch(path);
    EXPECT_EQ(FreeOutputPath(path), dir.filePath("photo (1).jpeg"));
    Touch(dir.filePath("photo (1).jpeg"));
    EXPECT_EQ(FreeOutputPath(path), dir.filePath("photo (2).jpeg"));
    const QString bare = dir.filePath("notes");
    Touch(bare);
    EXPECT_EQ(FreeOutputPath(bare), dir.filePath("notes (1)"));
}

TEST(StagedOutput, CommitMovesIntoPlaceAndNeverReplaces) {
    QTemporaryDir dir;
    const QString final = dir.filePath("a.png");
    {
        StagedOutput staged(final);
        EXPECT_TRUE(staged.StagingPath().endsWith(".png"));
        EXPECT_NE(staged.StagingPath(), final);
        Touch(staged.StagingPath());
        Touch(final); // someone else's file appears meanwhile
        EXPECT_EQ(staged.Commit(), dir.filePath("a (1).png"));
    }
    QFile kept(final);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "x");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(StagedOutput, UncommittedOutputIsRemoved) {
    QTemporaryDir dir;
    {
        StagedOutput staged(dir.filePath("a.png"));
        Touch(staged.StagingPath());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(StagedOutput, CommitWithoutOutputIsAnError) {
    QTemporaryDir dir;
    StagedOutput staged(dir.filePath("a.png"));
    EXPECT_THROW(staged.Commit(), ConversionError);
}

} // namespace
