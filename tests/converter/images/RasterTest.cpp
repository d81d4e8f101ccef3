#include "Raster.h"
#include "ConversionJob.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

TEST(Raster, CopiesShareUntilOneWrites) {
    TRaster a(2, 2, false);
    a.Fill(1, 2, 3, 255);
    const TRaster b = a;
    EXPECT_EQ(std::as_const(a).Bits(), b.Bits());
    a.Row(0)[0] = 9;
    EXPECT_NE(std::as_const(a).Bits(), b.Bits());
    EXPECT_EQ(b.Row(0)[0], 1);
}

TEST(Raster, FlattensOverAColour) {
    TRaster a(1, 1, true);
    a.Fill(255, 0, 0, 128);
    const TRaster flat = a.FlattenedOver(255, 255, 255);
    EXPECT_FALSE(flat.HasAlpha());
    EXPECT_EQ(flat.Row(0)[0], 255);
    EXPECT_EQ(flat.Row(0)[1], 127);
    EXPECT_EQ(flat.Row(0)[2], 127);
    EXPECT_EQ(flat.Row(0)[3], 255);
}

TEST(Raster, SizesOutsideTheLimitAreRefused) {
    EXPECT_THROW(TRaster(0, 5, false), ConversionError);
    EXPECT_THROW(TRaster(5, -1, false), ConversionError);
    EXPECT_THROW(CheckPictureSize(1 << 20, 1 << 20), ConversionError);
    EXPECT_NO_THROW(CheckPictureSize(8000, 6000));
}

} // namespace
