#include "ImageProcessing/JpegEncoder.h"
#include "ImageProcessing/JpegTables.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

TEST(JpegEncoder, Smoke)
{
    const auto rgb = JpegTestPhoto(40, 24);
    const auto r = JpegEncodeOurs(rgb, nullptr, 40, 24, 2, 90, false);
    EXPECT_EQ(r.headerStatus, 0);
    EXPECT_EQ(r.lastStatus, 2);
    const auto d = JpegDecodeOurs(r.stream);
    EXPECT_EQ(d.status, 4);
    EXPECT_EQ(d.pixels.size(), 40u * 24 * 3);
    EXPECT_GT(JpegPsnr(rgb.data(), d.pixels.data(), 40 * 24, 3, 3), 28);
}
