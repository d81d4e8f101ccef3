#include "JpegCodec.h"
#include "ConversionJob.h"
#include "ImageTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>

using namespace imagetest;

namespace {

struct TJpegCase {
    const char* Name;
    std::function<QByteArray()> File;
};

class JpegVariant : public testing::TestWithParam<TJpegCase> {};

// Each kind decodes as Qt's JPEG reader decodes it.
TEST_P(JpegVariant, MatchesQtsReading) {
    const QByteArray file = GetParam().File();
    const QImage expected = QtRead(file, "jpeg");
    ASSERT_FALSE(expected.isNull());
    const TRaster raster = DecodeJpeg(file);
    EXPECT_FALSE(raster.HasAlpha());
    EXPECT_LE(Compare(ImageOf(raster), expected).Max, 2);
}

QByteArray Progressive() {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(PhotoLike(67, 45).convertToFormat(QImage::Format_RGB32));
    return data;
}

INSTANTIATE_TEST_SUITE_P(
    Files, JpegVariant,
    testing::Values(TJpegCase{"Baseline",
                              [] {
                                  return QtWrite(PhotoLike(67, 45).convertToFormat(QImage::Format_RGB32),
                                                 "jpeg", 90);
                              }},
                    TJpegCase{"Progressive", Progressive},
                    TJpegCase{"Greyscale",
                              [] {
                                  return QtWrite(PhotoLike(40, 30).convertToFormat(QImage::Format_Grayscale8),
                                                 "jpeg", 85);
                              }}),
    [](const auto& info) { return std::string(info.param.Name); });

// A CMYK (or YCCK) JPEG in Adobe's inverted convention, four quadrants of pure inks.
QByteArray CmykFile(J_COLOR_SPACE stored) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(16 * 4);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int quadrant = (y / 8) * 2 + x / 8; // cyan, magenta, yellow, black
            for (int c = 0; c < 4; ++c)
                row[std::size_t(x * 4 + c)] = c == quadrant ? 0 : 255; // inverted ink
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

class CmykJpeg : public testing::TestWithParam<J_COLOR_SPACE> {};

TEST_P(CmykJpeg, InksBecomeTheirColours) {
    const QImage image = ImageOf(DecodeJpeg(CmykFile(GetParam())));
    const QColor expected[4] = {QColor(0, 255, 255), QColor(255, 0, 255), QColor(255, 255, 0),
                                QColor(0, 0, 0)};
    for (int q = 0; q < 4; ++q) {
        const QColor got = image.pixelColor(4 + (q % 2) * 8, 4 + (q / 2) * 8);
        EXPECT_NEAR(got.red(), expected[q].red(), 6) << q;
        EXPECT_NEAR(got.green(), expected[q].green(), 6) << q;
        EXPECT_NEAR(got.blue(), expected[q].blue(), 6) << q;
    }
}

INSTANTIATE_TEST_SUITE_P(Stored, CmykJpeg, testing::Values(JCS_CMYK, JCS_YCCK));

// The first quantisation table of a file: the luminance table at the file's quality.
int FirstQuantiser(const QByteArray& file) {
    const qsizetype dqt = file.indexOf("\xFF\xDB");
    return dqt < 0 ? -1 : std::uint8_t(file[dqt + 5]);
}

TEST(JpegCodec, WritesAtQualityNinety) {
    const TRaster raster = RasterOf(PhotoLike(128, 96));
    const QByteArray file = EncodeJpeg(raster);
    ASSERT_TRUE(file.startsWith("\xFF\xD8"));
    // The standard luminance table starts at 16; quality 90 scales it by 20 per cent.
    EXPECT_EQ(FirstQuantiser(file), 3);
    EXPECT_EQ(FirstQuantiser(QtWrite(PhotoLike(8, 8).convertToFormat(QImage::Format_RGB32), "jpeg", 90)), 3);
    const QImage qt = QtRead(file, "jpeg");
    ASSERT_FALSE(qt.isNull());
    EXPECT_LT(Compare(qt, ImageOf(raster)).Mean, 1.5);
}

TEST(JpegCodec, RefusesBadFiles) {
    const QByteArray valid = QtWrite(PhotoLike(64, 64).convertToFormat(QImage::Format_RGB32), "jpeg", 90);
    EXPECT_THROW(DecodeJpeg(QByteArray()), ConversionError);
    EXPECT_THROW(DecodeJpeg(valid.left(valid.size() * 6 / 10)), ConversionError);
    EXPECT_THROW(DecodeJpeg(valid.left(200)), ConversionError);
    EXPECT_THROW(DecodeJpeg(QByteArray("\xFF\xD8\xFF") + QByteArray(500, 'x')), ConversionError);
    EXPECT_THROW(DecodeJpeg(QtWrite(PhotoLike(8, 8), "png")), ConversionError);
    EXPECT_THROW(DecodeJpeg(Progressive().left(Progressive().size() / 2)), ConversionError);
}

TEST(JpegCodec, AShortFileCannotClaimAHugePicture) {
    QByteArray file = QtWrite(PhotoLike(16, 16).convertToFormat(QImage::Format_RGB32), "jpeg", 90);
    const qsizetype sof = file.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    file[sof + 5] = file[sof + 7] = char(0x3A); // 15000 × 15000
    file[sof + 6] = file[sof + 8] = char(0x98);
    EXPECT_THROW(DecodeJpeg(file), ConversionError);
}

TEST(JpegCodec, ThePixelLimitIsCheckedBeforeDecoding) {
    const QByteArray file = QtWrite(PhotoLike(300, 200).convertToFormat(QImage::Format_RGB32), "jpeg", 90);
    const qint64 previous = MaxPicturePixels();
    SetMaxPicturePixels(300 * 199);
    EXPECT_THROW(DecodeJpeg(file), ConversionError);
    SetMaxPicturePixels(previous);
    EXPECT_EQ(DecodeJpeg(file).Width(), 300);
}

} // namespace
