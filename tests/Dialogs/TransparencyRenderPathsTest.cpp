// The transparency view's drawing gives the same display through every vector
// path, forced by the processor cap, at every zoom and over both backgrounds.
#include "Dialogs/TransparencyGeometry.h"
#include "Dialogs/TransparencyMask.h"
#include "Dialogs/TransparencyRender.h"
#include "Filters/SimdPathSupport.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/Image.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstring>
#include <random>
#include <vector>

using FilterCpu::Level;

namespace {

constexpr int kWidth = 301;
constexpr int kHeight = 203;
constexpr int kClientWidth = 250;
constexpr int kClientHeight = 170;

class TransparencyRenderPaths : public testing::TestWithParam<Level>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        // Colours at random; a mask of transparent, opaque and soft areas.
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
        std::mt19937 random(21);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4];
                p[0] = static_cast<std::uint8_t>(random());
                p[1] = static_cast<std::uint8_t>(random());
                p[2] = static_cast<std::uint8_t>(random());
                const int area = (x / 20 + y / 15) % 3;
                p[3] = static_cast<std::uint8_t>(area == 0 ? 0 : area == 1 ? 255 : random());
            }
        const std::string path = QDir(m_folder.path()).filePath("picture.bmp").toStdString();
        CBMPFile().WriteRaw32(path, pixels.data(), kWidth, kHeight);
        m_picture.LoadFile(path, 0); // a failed write shows as nothing loaded
        ASSERT_TRUE(m_picture.IsLoaded());
    }

    std::vector<std::uint32_t> Render(int zoom, bool checker, POINT centre)
    {
        CTransparencyGeometry geometry;
        geometry.SetPictureSize(kWidth, kHeight);
        geometry.SetClientSize(kClientWidth, kClientHeight);
        geometry.StoreZoom(zoom);
        geometry.UpdateScrollBars();
        geometry.CenterOn(centre.x, centre.y);
        CImage display;
        EXPECT_TRUE(display.Create(kClientWidth, kClientHeight));
        CTransparencyRenderer renderer;
        EXPECT_EQ(renderer.Render(display, geometry, m_picture, checker, RenderArea, nullptr), 1);
        const auto* bits = reinterpret_cast<const std::uint32_t*>(display.GetBits());
        return std::vector<std::uint32_t>(bits, bits + kClientWidth * kClientHeight);
    }

    QTemporaryDir m_folder;
    CTransparencyMask m_picture;
};

} // namespace

TEST_P(TransparencyRenderPaths, EveryZoomDrawsAsTheScalarPathDoes)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    for (const int zoom : {10, 25, 50, 100, 200, 400, 800})
        for (const bool checker : {false, true})
            for (const POINT centre :
                 {POINT{0, 0}, POINT{kWidth / 2, kHeight / 3}, POINT{kWidth - 1, kHeight - 1}}) {
                SCOPED_TRACE(testing::Message()
                             << zoom << " % checker " << checker << " at " << centre.x << "," << centre.y);
                std::vector<std::uint32_t> expected;
                {
                    simdtest::ScopedCap cap(Level::Scalar);
                    expected = Render(zoom, checker, centre);
                }
                simdtest::ScopedCap cap(GetParam());
                const std::vector<std::uint32_t> actual = Render(zoom, checker, centre);
                for (std::size_t i = 0; i < expected.size(); ++i)
                    ASSERT_EQ(actual[i], expected[i])
                        << "pixel " << i % kClientWidth << ","
                        << kClientHeight - 1 - static_cast<int>(i / kClientWidth);
            }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, TransparencyRenderPaths, testing::ValuesIn(simdtest::kEveryLevel),
                         simdtest::LevelParamName);
