#include "App/support/FileKindsFakes.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>

namespace {

QImage Thumbnail(RealKindsFixture& f)
{
    const std::string path = f.Work() + "/THUMB.USF";
    EXPECT_EQ(f.Doc().WriteLayoutThumbnail(path), 1);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xD8");
    QImage image;
    EXPECT_TRUE(image.load(QString::fromStdString(path), "JPG"));
    return image;
}

// JPEG keeps flat areas within a few steps of their colour.
::testing::AssertionResult Grey(const QImage& image, int x, int y, int level, int tolerance = 4)
{
    const QColor c = image.pixelColor(x, y);
    if (std::abs(c.red() - level) <= tolerance && std::abs(c.green() - level) <= tolerance &&
        std::abs(c.blue() - level) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is " << c.red() << "," << c.green()
                                         << "," << c.blue() << ", not " << level;
}

TEST(LayoutThumbnailTest, TheLongerSideIs160AndANarrowPageIsCentredOnGrey)
{
    struct Case
    {
        const char* name;
        int paper; // -1: the camera page
        int direction;
        int rollLength;
        int width;
        int height;
    };
    for (const Case c :
         {Case{"1417 x 2097", 0, 0, 500, 108, 160}, Case{"camera 1023 x 703", -1, 1, 0, 160, 109},
          Case{"roll of 15840", 6, 0, 15840, 80, 160}}) {
        SCOPED_TRACE(c.name);
        RealKindsFixture f;
        if (c.paper < 0)
            ASSERT_TRUE(f.Doc().NewDSCLayout(c.direction));
        else
            ASSERT_TRUE(f.Doc().SetLayoutPaper(c.paper, c.direction, 0, c.rollLength, false));
        const QImage image = Thumbnail(f);
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
        if (c.width == 80) {
            // The page is 12 pixels wide at x 34.
            EXPECT_TRUE(Grey(image, 20, 80, 229));
            EXPECT_TRUE(Grey(image, 40, 80, 255));
            EXPECT_TRUE(Grey(image, 60, 80, 229));
            EXPECT_TRUE(Grey(image, 33, 80, 229, 16));
            EXPECT_TRUE(Grey(image, 34, 80, 255, 16));
            EXPECT_TRUE(Grey(image, 45, 80, 255, 16));
            EXPECT_TRUE(Grey(image, 46, 80, 229, 16));
        } else if (c.paper >= 0) {
            EXPECT_TRUE(Grey(image, c.width / 2, c.height / 2, 255));
        }
    }
}

TEST(LayoutThumbnailTest, AFrameWithoutAPictureIsShownAsTheSettingSays)
{
    struct Case
    {
        int setting;
        bool visible;
        int centre; // grey level in the frame's middle; -1: not plain white
    };
    for (const Case c : {Case{2, true, 160}, Case{3, true, 255}, Case{1, true, 255}, Case{2, false, 255},
                         Case{0, true, -1}}) {
        SCOPED_TRACE(testing::Message() << "setting " << c.setting << (c.visible ? "" : ", hidden"));
        RealKindsFixture f;
        ASSERT_TRUE(f.Doc().SetLayoutPaper(0, 0, 0, 500, false));
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetFrameNumber(1);
        frame->SetRect(RECT{100, 100, 600, 900});
        frame->SetVisible(c.visible);
        ASSERT_TRUE(f.Layout().AddItem(0, std::move(frame)));
        f.base.host.settings.SetInsertFrameImage(c.setting);
        const QImage image = Thumbnail(f);
        // The frame's middle, with the 42-unit margins, at 160 / 2097.
        const double s = 160.0 / 2097;
        const int x = static_cast<int>((350 + 42) * s);
        const int y = static_cast<int>((500 + 42) * s);
        if (c.centre >= 0) {
            EXPECT_TRUE(Grey(image, x, y, c.centre));
        } else {
            int marked = 0;
            for (int dy = -10; dy <= 10; ++dy)
                for (int dx = -10; dx <= 10; ++dx)
                    marked += Grey(image, x + dx, y + dy, 255, 8) ? 0 : 1;
            EXPECT_GT(marked, 0);
        }
        // Outside the frame the page stays white.
        EXPECT_TRUE(Grey(image, 100, 150, 255));
    }
}

TEST(LayoutThumbnailTest, NothingIsDrawnOutsideThePage)
{
    RealKindsFixture f;
    ASSERT_TRUE(f.Doc().SetLayoutPaper(6, 0, 0, 15840, false));
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetFrameNumber(1);
    frame->SetRect(RECT{-2000, 0, 4000, 8000});
    ASSERT_TRUE(f.Layout().AddItem(0, std::move(frame)));
    f.base.host.settings.SetInsertFrameImage(2);
    const QImage image = Thumbnail(f);
    ASSERT_EQ(image.width(), 80);
    EXPECT_TRUE(Grey(image, 40, 40, 160));
    EXPECT_TRUE(Grey(image, 20, 40, 229));
    EXPECT_TRUE(Grey(image, 60, 40, 229));
}

} // namespace
