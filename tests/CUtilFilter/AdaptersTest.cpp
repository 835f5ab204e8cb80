#include "CUtilFilter/FilterProgressSink.h"
#include "CUtilFilter/GaussianBlur.h"
#include "CUtilFilter/Resize.h"
#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "ImageProcessing/Image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Pixels addressed as seen on the picture: row 0 is the top one, stored last.
uint32_t* PicturePixel(CImage& image, int x, int y)
{
    return reinterpret_cast<uint32_t*>(image.GetBits() + (image.GetHeight() - 1 - y) * image.GetRowBytes() +
                                       x * 4);
}

void FillDistinct(CImage& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            *PicturePixel(image, x, y) = 0x00010203u * static_cast<uint32_t>(1 + x + 16 * y);
}

// The error id a call throws; fails the test when it throws an int or nothing.
int ThrownId(const std::function<void()>& call)
{
    try {
        call();
    } catch (int) {
        ADD_FAILURE() << "threw int instead of enumErrorID";
        return 0;
    } catch (enumErrorID id) {
        return id;
    }
    ADD_FAILURE() << "nothing thrown";
    return 0;
}

struct RecordingSink : IFilterProgressSink
{
    std::vector<std::pair<intptr_t, intptr_t>> messages;
    intptr_t SendFilterMessage(unsigned message, intptr_t wParam, intptr_t lParam) override
    {
        EXPECT_EQ(message, UM_FILTERPROGRESS);
        messages.emplace_back(wParam, lParam);
        return 0;
    }
};

TEST(CRotate, DirectionsTurnTheBottomUpPicture)
{
    CImage source;
    ASSERT_TRUE(source.Create(3, 2));
    FillDistinct(source);
    struct Case
    {
        int direction;
        std::function<std::pair<int, int>(int, int)> to; // picture (x, y) of the source -> destination
    };
    const Case cases[] = {
        {1,
         [](int x, int y) {
             return std::pair{1 - y, x};
         }}, // clockwise: top-left goes to top-right
        {0,
         [](int x, int y) {
             return std::pair{y, 2 - x};
         }}, // counter-clockwise
    };
    for (const Case& c : cases) {
        CImage turned;
        ASSERT_TRUE(turned.Create(2, 3));
        CRotate rotate;
        rotate.SetProgressWindow(nullptr);
        ASSERT_EQ(rotate.ExecuteOnImages(c.direction, &source, &turned), 1);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                auto [tx, ty] = c.to(x, y);
                EXPECT_EQ(*PicturePixel(turned, tx, ty) & 0xFFFFFF, *PicturePixel(source, x, y) & 0xFFFFFF)
                    << "direction " << c.direction << " pixel " << x << "," << y;
            }
    }
}

TEST(CRotate, TwoClockwiseTurnsMakeAHalfTurn)
{
    CImage source, quarter, half;
    ASSERT_TRUE(source.Create(5, 3));
    ASSERT_TRUE(quarter.Create(3, 5));
    ASSERT_TRUE(half.Create(5, 3));
    FillDistinct(source);
    CRotate rotate;
    ASSERT_EQ(rotate.ExecuteOnImages(1, &source, &quarter), 1);
    ASSERT_EQ(rotate.ExecuteOnImages(1, &quarter, &half), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(*PicturePixel(half, 4 - x, 2 - y), *PicturePixel(source, x, y)) << x << "," << y;
}

TEST(CRotate, FailuresThrowEnumErrorIdNotInt)
{
    CImage source, wrongSize, empty, noBits;
    ASSERT_TRUE(source.Create(4, 2));
    ASSERT_TRUE(wrongSize.Create(4, 2)); // not the turned size
    ASSERT_TRUE(noBits.CreateCompatible(2, 4));
    CRotate rotate;
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnImages(1, &source, nullptr); }), -1);
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnImages(1, &empty, &wrongSize); }), -1);
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnImages(1, &source, &wrongSize); }), -1);
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnImages(1, &source, &noBits); }), -1);
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnImages(2, &source, &wrongSize); }), -1);
    EXPECT_EQ(ThrownId([&] { rotate.ExecuteOnBuffers(1, nullptr, 1, 1, nullptr, 1, 1); }), -1);
}

TEST(CUtilFilter, BindImagesRefusesImagesWithoutPixelsAndSkipsAnUnsuitableDestination)
{
    CImage source, noBits, empty;
    ASSERT_TRUE(source.Create(6, 4));
    ASSERT_TRUE(noBits.CreateCompatible(6, 4));
    CRotate adapter;
    EXPECT_EQ(adapter.BindImages(&noBits, &source), 0);
    EXPECT_EQ(adapter.GetSourceDescriptor().pixels, nullptr);
    EXPECT_EQ(adapter.BindImages(&empty, nullptr), 0);
    ASSERT_EQ(adapter.BindImages(&source, &noBits), 1);
    EXPECT_EQ(adapter.GetSourceDescriptor().pixels, source.GetBits());
    EXPECT_EQ(adapter.GetSourceDescriptor().rowBytes, source.GetRowBytes());
    EXPECT_EQ(adapter.GetSourceDescriptor().rectRight, 6);
    EXPECT_EQ(adapter.GetSourceDescriptor().rectBottom, 4);
    EXPECT_EQ(adapter.GetDestinationDescriptor().pixels, nullptr);
    EXPECT_EQ(adapter.GetDestinationDescriptor().format, 8);
    EXPECT_EQ(adapter.GetDestinationDescriptor().extraWord, 1);
}

TEST(CUtilFilter, PixelFormatsSetTheRowLength)
{
    std::vector<uint8_t> a(400), b(400);
    CResize adapter;
    adapter.BindBuffers(a.data(), 10, 2, b.data(), 10, 2);
    adapter.SetPixelFormats(4, 2);
    EXPECT_EQ(adapter.GetSourceDescriptor().rowBytes, 32);
    EXPECT_EQ(adapter.GetDestinationDescriptor().rowBytes, 30);
    adapter.SetPixelFormats(1, 8);
    EXPECT_EQ(adapter.GetSourceDescriptor().rowBytes, 10);
    EXPECT_EQ(adapter.GetDestinationDescriptor().rowBytes, 40);
    EXPECT_EQ(ThrownId([&] { adapter.SetPixelFormats(3, 8); }), -1);
}

TEST(CGaussianBlur, RadiusOutsideTwoToHundredIsRefused)
{
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    CGaussianBlur blur;
    EXPECT_EQ(ThrownId([&] { blur.ExecuteOnImages(1, &image, nullptr); }), -1);
    EXPECT_EQ(ThrownId([&] { blur.ExecuteOnImages(101, &image, nullptr); }), -1);
    EXPECT_EQ(ThrownId([&] { blur.ExecuteOnImages(5, nullptr, nullptr); }), -1);
    for (int radius : {2, 100}) {
        ASSERT_TRUE(image.Create(8, 8));
        for (int y = 0; y < 8; ++y) // left half black, fourth byte 0
            for (int x = 0; x < 4; ++x)
                *PicturePixel(image, x, y) = 0;
        ASSERT_EQ(blur.ExecuteOnImages(radius, &image, nullptr), 1);
        EXPECT_LT(*PicturePixel(image, 3, 3) & 0xFF, 255u) << radius;
        EXPECT_GT(*PicturePixel(image, 3, 3) & 0xFF, 0u) << radius;
        EXPECT_EQ(*PicturePixel(image, 0, 0) >> 24, 0u) << "the fourth byte is not written";
    }
}

TEST(CGaussianBlur, ProgressReachesTheSinkOnlyWhenThereIsOne)
{
    CImage image, target;
    ASSERT_TRUE(image.Create(5, 4));
    ASSERT_TRUE(target.Create(5, 4));
    CGaussianBlur blur;
    ASSERT_EQ(blur.ExecuteOnImages(3, &image, &target), 1);
    RecordingSink sink;
    blur.SetProgressWindow(&sink);
    ASSERT_EQ(blur.ExecuteOnImages(3, &image, &target), 1);
    ASSERT_GE(sink.messages.size(), 6u);
    EXPECT_EQ(sink.messages.front(), (std::pair<intptr_t, intptr_t>{2, 0}));
    EXPECT_EQ(sink.messages.back(), (std::pair<intptr_t, intptr_t>{3, 0}));
    std::vector<intptr_t> percents;
    for (auto [event, value] : sink.messages)
        if (event == 1)
            percents.push_back(value);
    EXPECT_EQ(percents, (std::vector<intptr_t>{25, 50, 75, 100}));
}

TEST(CResize, AreaAverageOfABufferAndItsFailures)
{
    // 4x4 grey levels in the blue byte; rows as stored.
    const uint8_t levels[16] = {0, 0, 4, 4, 0, 0, 4, 4, 8, 8, 12, 12, 8, 8, 12, 12};
    std::vector<uint8_t> source(64), target(16, 0xEE);
    for (int i = 0; i < 16; ++i)
        source[4 * i] = source[4 * i + 1] = source[4 * i + 2] = levels[i];
    CResize resize;
    ASSERT_EQ(resize.ExecuteOnBuffers(2, source.data(), 4, 4, target.data(), 2, 2), 1);
    const uint8_t expected[4] = {0, 4, 8, 12};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(target[4 * i], expected[i]);
        EXPECT_EQ(target[4 * i + 3], 0xEE) << "the fourth byte keeps its value";
    }
    EXPECT_EQ(ThrownId([&] { resize.ExecuteOnBuffers(2, target.data(), 2, 2, source.data(), 4, 4); }), -1);
    EXPECT_EQ(ThrownId([&] { resize.ExecuteOnBuffers(1, source.data(), 4, 4, target.data(), 0, 2); }), -1);
    EXPECT_EQ(ThrownId([&] { resize.ExecuteOnBuffers(0, source.data(), 4, 4, nullptr, 2, 2); }), -1);
}

} // namespace
