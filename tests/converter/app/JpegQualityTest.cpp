#include "AppTestEnvironment.h"
#include "ConversionJob.h"
#include "ImageConverter.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class JpegQualityTest : public testing::Test {
  protected:
    void SetUp() override {
        // Detail that a lower quality visibly gives up.
        QImage picture(96, 96, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 4 % 256));
        ASSERT_TRUE(picture.save(Dir.filePath("source.png")));
    }

    QByteArray Convert(const ConversionSettings& settings, const QString& name) {
        ConversionJob job;
        job.SourcePath = Dir.filePath("source.png");
        job.SourceFormat = FormatTag::PNG;
        job.TargetFormat = FormatTag::JPEG;
        job.OutputPath = Dir.filePath(name);
        job.TempFolder = Dir.filePath("temp/");
        job.Settings = settings;
        EXPECT_EQ(ConvertImage(job), TModifyProgress::Finalised);
        QFile file(job.OutputPath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir Dir;
};

TEST_F(JpegQualityTest, JpegFilesFollowTheChosenQuality) {
    ConversionSettings low, high;
    low.JpegQuality = 20;
    high.JpegQuality = 98;
    const QByteArray small = Convert(low, "low.jpg");
    const QByteArray large = Convert(high, "high.jpg");
    EXPECT_LT(small.size(), large.size());
    EXPECT_FALSE(QImage::fromData(small).isNull());
}

TEST_F(JpegQualityTest, TheDefaultWritesWhatTheProgramAlwaysWrote) {
    EXPECT_EQ(ConversionSettings().JpegQuality, 90);
    ConversionSettings ninety;
    ninety.JpegQuality = 90;
    EXPECT_EQ(Convert(ConversionSettings(), "default.jpg"), Convert(ninety, "ninety.jpg"));
}

TEST_F(JpegQualityTest, TheHeicOptionsDoNotChangeJpegFiles) {
    ConversionSettings lossy;
    lossy.Lossless = false;
    lossy.Quality = 5;
    EXPECT_EQ(Convert(lossy, "lossy.jpg"), Convert(ConversionSettings(), "plain.jpg"));
}

} // namespace
