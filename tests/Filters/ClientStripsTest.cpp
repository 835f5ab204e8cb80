#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Blurs with radius 4 (overlap 3) once whole and returns the result.
Picture WholeBlur(const Picture& src)
{
    Picture out = src;
    const int32_t block[2] = {4, 0};
    EXPECT_EQ(RunFilter(UCF_ID_SGAUSS, out, nullptr, block, 8), UCF_OK);
    return out;
}

TEST(ClientDrivenSteps, FeedingStripsByHandEqualsAWholeRun)
{
    Picture src(9, 25);
    src.Randomise(21);
    const Picture expected = WholeBlur(src);
    Picture dst(9, 25);
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = dst.Describe();
    const int32_t block[2] = {4, 0};
    UtilFilter filter(&s, &d, UCF_ID_SGAUSS, 8, block);
    int32_t overlap = -1, total = 0;
    ASSERT_EQ(filter.BeginApply(&overlap, &total), UCF_OK);
    EXPECT_EQ(overlap, 3);
    EXPECT_EQ(total, 25);
    int32_t sourceRow = 0, outputRow = 0, remaining = 25;
    const int32_t feeds[][2] = {{13, 10}, {10, 10}, {2, 5}};
    for (const auto& f : feeds) {
        ImageDescriptor a = s, b = d;
        a.pixels = src.At(0, sourceRow);
        a.regionHeight = f[0];
        b.pixels = dst.At(0, outputRow);
        b.regionHeight = f[1];
        ASSERT_EQ(filter.ApplyStrip(&a, &b, &remaining), UCF_OK);
        sourceRow += f[0];
        outputRow += f[1];
    }
    EXPECT_EQ(remaining, 0);
    ImageDescriptor extra = s;
    EXPECT_EQ(filter.ApplyStrip(&extra, &d, &remaining), UCF_ERR_NOMORELINES);
    EXPECT_EQ(filter.EndApply(), UCF_OK);
    for (int32_t y = 0; y < 25; ++y)
        for (int32_t x = 0; x < 9; ++x)
            ASSERT_EQ(0, std::memcmp(dst.At(x, y), expected.At(x, y), 3)) << x << "," << y;
}

TEST(ClientDrivenSteps, TheFirstStripMustCarryTheOverlap)
{
    Picture src(4, 25), dst(4, 25);
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = dst.Describe();
    const int32_t block[2] = {4, 0};
    UtilFilter filter(&s, &d, UCF_ID_SGAUSS, 8, block);
    ASSERT_EQ(filter.BeginApply(nullptr, nullptr), UCF_OK);
    ImageDescriptor a = s, b = d;
    a.regionHeight = 10;
    b.regionHeight = 10;
    EXPECT_EQ(filter.ApplyStrip(&a, &b, nullptr), UCF_ERR_STRIPLINES);
    a.pixels = nullptr;
    EXPECT_EQ(filter.ApplyStrip(&a, &b, nullptr), UCF_ERR_NODATA);
}

// ExecuteStrips: the callback moves the working source to each strip itself.
TEST(ClientDrivenSteps, ExecuteStripsWithTheClientMovingTheSource)
{
    Picture src(7, 25);
    src.Randomise(22);
    const Picture expected = WholeBlur(src);
    Picture dst(7, 25);
    struct Feeder
    {
        Picture* src;
        int32_t nextRow = 0;
        static int32_t Callback(void* data, int32_t event, UtilFilter* filter)
        {
            auto* self = static_cast<Feeder*>(data);
            if (event == FE_NEXT_STRIP) {
                ImageDescriptor& w = filter->GetContext()->workingSource;
                w.pixels = self->src->At(0, std::min(self->nextRow, 24));
                self->nextRow += w.regionHeight;
            }
            return 0;
        }
    } feeder{&src};
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = dst.Describe();
    const int32_t block[2] = {4, 0};
    UtilFilter filter(&s, &d, UCF_ID_SGAUSS, 8, block);
    filter.SetClientData(&feeder);
    ASSERT_EQ(filter.ExecuteStrips(&Feeder::Callback, 3, 10), UCF_OK);
    EXPECT_EQ(filter.GetLastResult(), UCF_OK);
    EXPECT_EQ(feeder.nextRow, 25);
    for (int32_t y = 0; y < 25; ++y)
        for (int32_t x = 0; x < 7; ++x)
            ASSERT_EQ(0, std::memcmp(dst.At(x, y), expected.At(x, y), 3)) << x << "," << y;

    Picture inPlace = src;
    ImageDescriptor p = inPlace.Describe();
    UtilFilter noDestination(&p, nullptr, UCF_ID_SGAUSS, 8, block);
    Feeder again{&inPlace};
    noDestination.SetClientData(&again);
    ASSERT_EQ(noDestination.ExecuteStrips(&Feeder::Callback, 3, 10), UCF_OK);
    EXPECT_EQ(noDestination.GetLastResult(), UCF_ERR_GEOMETRY);
}

} // namespace

namespace {

// Client-strip mode without a destination: the client lends a two-row buffer
// at event 6 and collects each finished strip at event 32.
TEST(ClientStrips, TheClientSuppliesTheOutputBuffer)
{
    Picture src(4, 5);
    src.Randomise(23);
    const Picture original = src;
    struct Borrower
    {
        Picture buffer{4, 2};
        std::vector<uint8_t> collected;
        int32_t asked = 0;
        static int32_t Callback(void* data, int32_t event, UtilFilter* filter)
        {
            auto* self = static_cast<Borrower*>(data);
            ImageDescriptor& d = filter->GetContext()->workingDestination;
            if (event == FE_NEED_OUTPUT) {
                ++self->asked;
                d.pixels = self->buffer.bytes.data();
            }
            if (event == FE_OUTPUT_READY)
                self->collected.insert(self->collected.end(), d.pixels,
                                       d.pixels + static_cast<size_t>(d.regionHeight) * d.rowBytes);
            return 0;
        }
    } borrower;
    ImageDescriptor s = src.Describe();
    UtilFilter filter(&s, nullptr, UCF_ID_INVS, 0, nullptr);
    filter.SetClientData(&borrower);
    ASSERT_EQ(filter.Execute(&Borrower::Callback, 3 | 16, 2), UCF_OK);
    EXPECT_EQ(borrower.asked, 1);
    ASSERT_EQ(borrower.collected.size(), 5u * 16);
    for (size_t i = 0; i < borrower.collected.size(); ++i)
        ASSERT_EQ(borrower.collected[i], static_cast<uint8_t>(~original.bytes[i])) << i;
    EXPECT_TRUE(src.SameRows(original)) << "the source is left alone";
}

} // namespace
