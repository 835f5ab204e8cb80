#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"

#include <gtest/gtest.h>

namespace {

TEST(InverseFilter, ComplementsEveryByteOfFormat8AlphaIncluded)
{
    Picture p(3, 2);
    p.Randomise(1);
    const Picture original = p;
    ASSERT_EQ(RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0), UCF_OK);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t i = 0; i < 12; ++i)
            EXPECT_EQ(p.At(0, y)[i], static_cast<uint8_t>(~original.At(0, y)[i]));
}

TEST(InverseFilter, ComplementsSixteenBitSamplesIntoADestination)
{
    Picture src(2, 2, 32, 2), dst(2, 2, 32, 2);
    src.Randomise(2);
    ASSERT_EQ(RunFilter(UCF_ID_INVS, src, &dst, nullptr, 0), UCF_OK);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) {
            uint16_t a, b;
            std::memcpy(&a, src.At(x, y), 2);
            std::memcpy(&b, dst.At(x, y), 2);
            EXPECT_EQ(b, static_cast<uint16_t>(~a));
        }
}

TEST(InverseFilter, DifferentFormatsLeaveTheDestinationUntouched)
{
    Picture src(2, 2, 8, 4), dst(2, 2, 4, 3);
    src.Randomise(3);
    dst.Fill(0x42);
    const Picture before = dst;
    ASSERT_EQ(RunFilter(UCF_ID_INVS, src, &dst, nullptr, 0), UCF_OK);
    EXPECT_TRUE(dst.SameRows(before));
}

TEST(InverseFilter, RefusesADestinationOfAnotherSizeBeforeWriting)
{
    const struct
    {
        int32_t width, height;
    } cases[] = {{5, 5}, {10, 5}, {5, 10}, {11, 10}};
    for (const auto& c : cases) {
        Picture src(10, 10), dst(c.width, c.height);
        src.Randomise(4);
        dst.Fill(0x42);
        const Picture before = dst;
        EXPECT_EQ(RunFilter(UCF_ID_INVS, src, &dst, nullptr, 0), UCF_ERR_GEOMETRY)
            << c.width << "x" << c.height;
        EXPECT_TRUE(dst.SameRows(before));
    }
}

} // namespace
