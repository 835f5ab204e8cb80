#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/ShapePainter.h"
#include "ImageTestSupport.h"
#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <random>
#include <vector>

using imagetest::PixelAt;
using imagetest::Rgb;
using imagetest::SetPixelAt;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

void FillRandom(CImage& image, unsigned seed)
{
    std::mt19937 random(seed);
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.GetBits());
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
        pixels[i] = random();
}

std::vector<std::uint32_t> Snapshot(const CImage& image)
{
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(image.GetBits());
    return {pixels, pixels + image.GetWidth() * image.GetHeight()};
}

} // namespace

TEST(ImageDraw, HalftoneColoursOddSumsWhereverTheRectangleStarts)
{
    for (int x0 : {2, 3}) {
        for (int y0 : {4, 5}) {
            CImage image;
            ASSERT_TRUE(image.Create(12, 12));
            ASSERT_EQ(image.FillRectHalftone(x0, y0, 5, 4, RGB(10, 20, 30)), 1);
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 12; ++x) {
                    const bool inside = x >= x0 && x < x0 + 5 && y >= y0 && y < y0 + 4;
                    const std::uint32_t expected = inside && (x + y) % 2 == 1 ? 0x000A141Eu : kWhite;
                    ASSERT_EQ(PixelAt(image, x, y), expected) << x0 << "," << y0 << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(ImageDraw, FlipVerticalTwiceIsIdentityAndOnceExchangesRows)
{
    CImage image;
    ASSERT_TRUE(image.Create(7, 5));
    FillRandom(image, 1);
    const auto before = Snapshot(image);
    const std::uint32_t top = PixelAt(image, 3, 0);
    ASSERT_EQ(image.FlipVertical(), 1);
    EXPECT_EQ(PixelAt(image, 3, 4), top);
    ASSERT_EQ(image.FlipVertical(), 1);
    EXPECT_EQ(Snapshot(image), before);
}

TEST(ImageDraw, Rotate180MovesCornersAndTwiceIsIdentity)
{
    CImage image;
    ASSERT_TRUE(image.Create(6, 4));
    FillRandom(image, 2);
    const auto before = Snapshot(image);
    const std::uint32_t origin = PixelAt(image, 0, 0), inner = PixelAt(image, 1, 2);
    ASSERT_EQ(image.Rotate180(), 1);
    EXPECT_EQ(PixelAt(image, 5, 3), origin);
    EXPECT_EQ(PixelAt(image, 4, 1), inner);
    image.Rotate180();
    EXPECT_EQ(Snapshot(image), before);
}

TEST(ImageDraw, InvertedOutlineDrawnTwiceRestoresTheImage)
{
    CImage image;
    ASSERT_TRUE(image.Create(20, 15));
    FillRandom(image, 3);
    const auto before = Snapshot(image);
    const std::uint32_t corner = PixelAt(image, 2, 3);
    const int previous = image.SetROP2(R2_NOT);
    EXPECT_EQ(previous, R2_COPYPEN);
    image.SelectObject(CImageBrush{0, true});
    image.SelectObject(CImagePen{PS_SOLID, 1, 0});
    ASSERT_EQ(image.GetDC()->Rectangle(2, 3, 12, 9), 1);
    EXPECT_EQ(Rgb(PixelAt(image, 2, 3)), Rgb(~corner));
    EXPECT_EQ(Rgb(PixelAt(image, 11, 8)), Rgb(~before[(15 - 1 - 8) * 20 + 11]));
    EXPECT_EQ(PixelAt(image, 5, 5), before[(15 - 1 - 5) * 20 + 5]);   // inside untouched
    EXPECT_EQ(PixelAt(image, 12, 9), before[(15 - 1 - 9) * 20 + 12]); // edges exclusive
    image.GetDC()->Rectangle(2, 3, 12, 9);
    EXPECT_EQ(Snapshot(image), before);
    // A frame of lines (corners drawn once each) restores the same way.
    RECT frame{1, 1, 10, 7};
    image.SetROP2(R2_NOT);
    image.DrawFrameRect(&frame, 1, 0, PS_SOLID);
    EXPECT_NE(Snapshot(image), before);
    image.DrawFrameRect(&frame, 1, 0, PS_SOLID);
    EXPECT_EQ(Snapshot(image), before);
}

TEST(ImageDraw, LinesLeaveOutTheirEndPoint)
{
    CImage image;
    ASSERT_TRUE(image.Create(10, 10));
    image.DrawLine(1, 2, 6, 2, 1, RGB(255, 0, 0), PS_SOLID);
    image.DrawLine(8, 1, 8, 5, 1, RGB(0, 0, 255), PS_SOLID);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(PixelAt(image, x, 2), x >= 1 && x < 6 ? 0x00FF0000u : (x == 8 ? 0x000000FFu : kWhite)) << x;
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(PixelAt(image, 8, y), y >= 1 && y < 5 ? 0x000000FFu : kWhite) << y;
}

TEST(ImageDraw, RectangleOutlineInsideAndFillOfBrush)
{
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    ASSERT_EQ(image.DrawRectangle(1, 1, 6, 5, RGB(0, 0, 0), RGB(0, 255, 0)), 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            std::uint32_t expected = kWhite;
            if (x >= 1 && x < 6 && y >= 1 && y < 5)
                expected = (x == 1 || x == 5 || y == 1 || y == 4) ? 0u : 0x0000FF00u;
            EXPECT_EQ(PixelAt(image, x, y), expected) << x << "," << y;
        }
    }
}

TEST(ImageDraw, ShapesStayInsideTheirBoxAndTheClip)
{
    CImage image;
    ASSERT_TRUE(image.Create(30, 30));
    image.SelectObject(CImagePen{PS_SOLID, 1, RGB(0, 0, 0)});
    image.SelectObject(CImageBrush{RGB(255, 0, 0), false});
    ASSERT_EQ(image.Ellipse(5, 6, 25, 20), 1);
    bool inked = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            if (PixelAt(image, x, y) == kWhite)
                continue;
            inked = true;
            EXPECT_TRUE(x >= 5 && x < 25 && y >= 6 && y < 20) << x << "," << y;
        }
    }
    EXPECT_TRUE(inked);
    EXPECT_EQ(PixelAt(image, 15, 13), 0x00FF0000u); // filled with the brush

    CRgn clip;
    clip.CreateRectRgn(0, 0, 10, 10);
    image.SelectClipRgn(&clip);
    image.FillRect(0, 0, 30, 30, RGB(0, 0, 255));
    image.SelectClipRgn(nullptr);
    EXPECT_EQ(PixelAt(image, 9, 9), 0x000000FFu);
    EXPECT_NE(PixelAt(image, 10, 9), 0x000000FFu);
    EXPECT_NE(PixelAt(image, 9, 10), 0x000000FFu);
}

TEST(ImageDraw, BlockTransfersApplyTheirRasterOperation)
{
    CImage source, dest;
    ASSERT_TRUE(source.Create(4, 4));
    ASSERT_TRUE(dest.Create(6, 6));
    source.FillRect(0, 0, 4, 4, RGB(0x0F, 0xF0, 0x33));
    dest.FillRect(0, 0, 6, 6, RGB(0xFF, 0x00, 0x0F));
    struct Case
    {
        std::uint32_t rop;
        std::uint32_t expected;
    };
    for (const Case& c : {Case{SRCCOPY, 0x000FF033u}, Case{SRCINVERT, 0x00F0F03Cu}, Case{SRCAND, 0x000F0003u},
                          Case{SRCPAINT, 0x00FFF03Fu}}) {
        dest.FillRect(0, 0, 6, 6, RGB(0xFF, 0x00, 0x0F));
        ASSERT_EQ(source.BitBltTo(&dest, 1, 1, 4, 4, 0, 0, c.rop), 1);
        EXPECT_EQ(Rgb(PixelAt(dest, 2, 2)), c.expected) << std::hex << c.rop;
        EXPECT_EQ(Rgb(PixelAt(dest, 0, 0)), 0x00FF000Fu);
        EXPECT_EQ(Rgb(PixelAt(dest, 5, 5)), 0x00FF000Fu);
    }
    // A transfer reaching past the source's edge copies only what is there.
    dest.FillRect(0, 0, 6, 6, 0xFFFFFF);
    source.BitBltTo(&dest, 0, 0, 6, 6, 2, 2, SRCCOPY);
    EXPECT_EQ(Rgb(PixelAt(dest, 1, 1)), 0x000FF033u);
    EXPECT_EQ(Rgb(PixelAt(dest, 2, 2)), kWhite);
}

TEST(ImageDraw, StretchBltSamplesNearestPixels)
{
    CImage source, dest;
    ASSERT_TRUE(source.Create(2, 2));
    ASSERT_TRUE(dest.Create(4, 4));
    SetPixelAt(source, 0, 0, 1);
    SetPixelAt(source, 1, 0, 2);
    SetPixelAt(source, 0, 1, 3);
    SetPixelAt(source, 1, 1, 4);
    ASSERT_EQ(source.StretchBltTo(&dest, 0, 0, 4, 4, 0, 0, 2, 2, SRCCOPY), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(dest, x, y), 1u + (x / 2) + 2u * (y / 2)) << x << "," << y;
}

TEST(ImageDraw, GetBits24AndSetBitsFromBufferRoundTripAtWidthFive)
{
    CImage image;
    ASSERT_TRUE(image.Create(5, 3));
    FillRandom(image, 5);
    std::uint8_t* bits = image.GetBits24();
    ASSERT_NE(bits, nullptr);
    // Rows are padded to 16 bytes; the padding stays 0.
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(bits[row * 16 + 15], 0);
    // Bottom-up, blue first.
    EXPECT_EQ(bits[0], image.GetBits()[0]);
    EXPECT_EQ(bits[2], image.GetBits()[2]);
    CImage copy;
    ASSERT_TRUE(copy.Create(5, 3));
    EXPECT_EQ(copy.SetBitsFromBuffer(0, 3, 24, bits), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Rgb(PixelAt(copy, x, y)), Rgb(PixelAt(image, x, y)));
    PageFree(bits);
}

TEST(ImageDraw, SetBitsFromBufferOfPartOfTheRows)
{
    CImage image;
    ASSERT_TRUE(image.Create(2, 4));
    const std::uint32_t rows[2 * 2] = {0x010101, 0x020202, 0x030303, 0x040404};
    // Stored rows 1 and 2 (from the bottom) are picture rows 2 and 1.
    EXPECT_EQ(image.SetBitsFromBuffer(1, 2, 32, rows), 2);
    EXPECT_EQ(PixelAt(image, 0, 2), 0x010101u);
    EXPECT_EQ(PixelAt(image, 1, 1), 0x040404u);
    EXPECT_EQ(PixelAt(image, 0, 0), kWhite);
    EXPECT_EQ(PixelAt(image, 0, 3), kWhite);
    CImage empty;
    EXPECT_EQ(empty.SetBitsFromBuffer(0, 1, 32, rows), 0);
}

TEST(ImageDraw, CopyFromKeepsPixelsAndAnEmptyMaskHolderEmpty)
{
    CImage image, copy;
    ASSERT_TRUE(image.Create(3, 3));
    FillRandom(image, 6);
    ASSERT_TRUE(copy.CopyFrom(&image));
    EXPECT_EQ(Snapshot(copy), Snapshot(image));
    ASSERT_NE(copy.GetMask(), nullptr);
    EXPECT_FALSE(copy.GetMask()->IsValid());
    EXPECT_FALSE(copy.CopyFrom(nullptr));
}

TEST(ImageDraw, CopyBitmapHandleAndAttachCarryThePixels)
{
    CImage image;
    ASSERT_TRUE(image.Create(3, 2));
    FillRandom(image, 7);
    CImageBitmap bitmap = image.CopyBitmapHandle();
    ASSERT_FALSE(bitmap.IsNull());
    CImage other;
    ASSERT_TRUE(other.Attach(std::move(bitmap)));
    EXPECT_EQ(Snapshot(other), Snapshot(image));
    EXPECT_FALSE(other.Attach(CImageBitmap{}));
    EXPECT_FALSE(other.IsValid());
    EXPECT_TRUE(CImage().CopyBitmapHandle().IsNull());
}

TEST(ImageDraw, ClipRegionsCombineAndLimitEveryDrawing)
{
    CImage image;
    ASSERT_TRUE(image.Create(10, 10));
    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 3, 3);
    b.CreateRectRgn(6, 6, 9, 9);
    ASSERT_TRUE(both.CombineRgn(&a, &b, RGN_OR));
    EXPECT_TRUE(both.PtInRegion(7, 7));
    EXPECT_FALSE(both.PtInRegion(4, 4));
    image.SelectClipRgn(&both);
    image.DrawLine(0, 0, 10, 10, 1, RGB(0, 0, 0), PS_SOLID);
    image.SelectClipRgn(nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Rgb(PixelAt(image, i, i)), (i < 3 || (i >= 6 && i < 9)) ? 0u : kWhite) << i;
    both.OffsetRgn(1, 0);
    const RECT box = both.GetRgnBox();
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 10);
}

TEST(ImageDraw, TransfersOntoAWindowPainterShowThePictureUpright)
{
    CImage image;
    ASSERT_TRUE(image.Create(4, 3));
    image.FillRect(0, 0, 4, 1, RGB(255, 0, 0)); // top row red
    QImage window(6, 6, QImage::Format_RGB32);
    window.fill(Qt::white);
    {
        QPainter painter(&window);
        ASSERT_EQ(image.BitBltToCDC(&painter, 1, 2, 4, 3, 0, 0, SRCCOPY), 1);
    }
    EXPECT_EQ(window.pixel(1, 2), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(4, 2), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(1, 3), qRgb(255, 255, 255));
    EXPECT_EQ(window.pixel(0, 2), qRgb(255, 255, 255));
    window.fill(Qt::white);
    {
        QPainter painter(&window);
        ASSERT_EQ(image.StretchBltToCDC(&painter, 0, 0, 6, 6, 0, 0, 3, 3, SRCCOPY), 1);
    }
    EXPECT_EQ(window.pixel(5, 1), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(5, 2), qRgb(255, 255, 255));
}

TEST(ImageDraw, InvertingARegionTwiceRestoresThePixels)
{
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    FillRandom(image, 9);
    const auto before = Snapshot(image);
    CRgn region;
    region.CreateRectRgn(1, 1, 4, 3);
    ASSERT_EQ(image.GetDC()->InvertRgn(region), 1);
    EXPECT_EQ(Rgb(PixelAt(image, 3, 2)), Rgb(~before[(8 - 1 - 2) * 8 + 3]));
    EXPECT_EQ(PixelAt(image, 4, 2), before[(8 - 1 - 2) * 8 + 4]);
    image.GetDC()->InvertRgn(region);
    EXPECT_EQ(Snapshot(image), before);
}

// Untouched scratch pixels (alpha 0, whatever their colour bytes) are passed
// eight at a time; merging whole rows must equal merging one column at a time.
TEST(ImageDraw, MergedScratchRowsMatchSingleColumns)
{
    constexpr int kWidth = 53, kHeight = 7;
    QImage scratch(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::mt19937 random(31);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(scratch.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            // Runs of untouched pixels of every length between covered ones.
            const bool covered = random() % 9 == 0 || (y == 3 && x > 40);
            const std::uint32_t alpha = covered ? (x % 3 == 0 ? 255u : 1 + random() % 254) : 0u;
            const std::uint32_t colour = random() & 0x5A5A5Au; // premultiplied: never above alpha
            line[x] = (alpha << 24) | (alpha ? colour & (alpha * 0x010101u) : colour);
        }
    }
    for (const bool blend : {false, true}) {
        std::vector<std::uint32_t> rows(std::size_t(kWidth + 4) * (kHeight + 2)), columns;
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = static_cast<std::uint32_t>(i * 2654435761u);
        columns = rows;
        CImageDC wholeDc(reinterpret_cast<std::uint8_t*>(rows.data()), kWidth + 4, kHeight + 2,
                         (kWidth + 4) * 4);
        CImageDC columnDc(reinterpret_cast<std::uint8_t*>(columns.data()), kWidth + 4, kHeight + 2,
                          (kWidth + 4) * 4);
        MergeScratch(wholeDc, scratch, QPoint(2, 1), R2_COPYPEN, blend, QRect());
        for (int x = 0; x < kWidth + 4; ++x)
            MergeScratch(columnDc, scratch, QPoint(2, 1), R2_COPYPEN, blend, QRect(x, 0, 1, kHeight + 2));
        EXPECT_EQ(rows, columns) << blend;
    }
}

// Fills of whole rows of a large image go through as one span around the
// cache: they must start and stop at exactly the rows asked for.
TEST(ImageDraw, WholeRowFillsOfLargeImagesKeepToTheirRows)
{
    CImage image;
    ASSERT_TRUE(image.Create(1201, 1000)); // over a million pixels, odd width
    for (const auto& [x, y] : {std::pair{0, 0}, {1200, 0}, {0, 999}, {1200, 999}, {600, 500}})
        EXPECT_EQ(PixelAt(image, x, y), 0x00FFFFFFu) << x << "," << y;
    const struct
    {
        int top, bottom;
    } fills[] = {{1, 999}, {100, 900}, {0, 1000}};
    for (const auto& f : fills) {
        ASSERT_TRUE(image.Create(1201, 1000));
        image.FillRect(0, f.top, 1201, f.bottom - f.top, RGB(0x12, 0x34, 0x56));
        for (int x : {0, 1, 600, 1199, 1200}) {
            EXPECT_EQ(Rgb(PixelAt(image, x, f.top)), 0x123456u) << x << " " << f.top;
            EXPECT_EQ(Rgb(PixelAt(image, x, f.bottom - 1)), 0x123456u) << x << " " << f.bottom;
            if (f.top > 0) {
                EXPECT_EQ(PixelAt(image, x, f.top - 1), 0x00FFFFFFu) << x << " " << f.top;
            }
            if (f.bottom < 1000) {
                EXPECT_EQ(PixelAt(image, x, f.bottom), 0x00FFFFFFu) << x << " " << f.bottom;
            }
        }
    }
}
