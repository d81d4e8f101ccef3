#include "ToolOutputCheck.h"

#include "HeicTestTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CutCase {
    const char* Name;
    const char* Extension;
    int KeptPercent; // of the sample; 100 is the whole file
    bool Complete;
};

class ToolOutputCheckTest : public testing::TestWithParam<CutCase> {};

TEST_P(ToolOutputCheckTest, OnlyAWholeFileCounts) {
    const CutCase& c = GetParam();
    QFile sample(SampleFor(c.Extension));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray bytes = sample.readAll();
    QTemporaryDir dir;
    QFile cut(dir.filePath(QStringLiteral("out") + c.Extension));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * c.KeptPercent / 100));
    cut.close();

    EXPECT_EQ(IsCompleteToolOutput(cut.fileName()), c.Complete);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ToolOutputCheckTest,
    testing::Values(CutCase{"HeicWhole", ".heic", 100, true}, CutCase{"HeicEmpty", ".heic", 0, false},
                    CutCase{"HeicHeaderOnly", ".heic", 1, false}, CutCase{"HeicHalf", ".heic", 50, false},
                    CutCase{"HeicAlmost", ".heic", 99, false}, CutCase{"PngWhole", ".png", 100, true},
                    CutCase{"PngHalf", ".png", 50, false}, CutCase{"PngAlmost", ".png", 99, false},
                    CutCase{"JpegWhole", ".jpeg", 100, true}, CutCase{"JpegHalf", ".jpeg", 50, false},
                    CutCase{"JpegAlmost", ".jpeg", 99, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ToolOutputCheckTest, AHeicWithoutItsImageDataIsNotWhole) {
    QFile sample(SampleFor(".heic"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    // ftyp (28 bytes) and meta (319 bytes) end on a box boundary; mdat is missing.
    const QByteArray headOnly = sample.readAll().left(28 + 319);
    QTemporaryDir dir;
    QFile cut(dir.filePath("boxes.heic"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(headOnly);
    cut.close();
    EXPECT_FALSE(IsCompleteHeifFile(cut.fileName()));
}

} // namespace
