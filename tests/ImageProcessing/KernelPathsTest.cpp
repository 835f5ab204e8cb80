// Every vector path of the image kernels, forced by the processor cap, gives
// exactly what the scalar path gives: ragged lengths and misaligned rows reach
// the vector loops' heads and tails, and the data takes each branch (fully
// transparent, fully opaque and mixed groups; permuted and gathered columns).
#include "Filters/SimdPathSupport.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/MaskBlend.h"
#include "ImageProcessing/OpaqueRowCopy.h"
#include "ImageProcessing/StretchEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

using FilterCpu::Level;

namespace {

std::vector<std::uint32_t> RandomPixels(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint32_t> pixels(count);
    for (auto& p : pixels)
        p = random();
    return pixels;
}

// Mask pixels (grey in every colour byte, as masks hold it) in runs of
// transparent, opaque and mixed values, so that whole vectors of each occur.
std::vector<std::uint32_t> RunMask(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint32_t> mask(count);
    for (std::size_t i = 0; i < count;) {
        const std::size_t run = 1 + random() % 40;
        const unsigned kind = random() % 4;
        for (std::size_t j = 0; j < run && i < count; ++j, ++i) {
            const unsigned m = kind == 0 ? 0 : kind == 1 ? 255 : random() & 0xFF;
            mask[i] = (random() & 0xFF000000u) | m * 0x010101u;
        }
    }
    return mask;
}

// Column maps of every shape the gathers meet.
std::vector<std::vector<int>> ColumnMaps(int width)
{
    std::mt19937 random(3);
    std::vector<std::vector<int>> maps;
    for (const int step256 : {256, 100, 37, 512, 1024, 2048, 4096}) // 1:1, enlarging, halving, quartering ...
    {
        std::vector<int> map;
        for (int i = 0;; ++i) {
            const int c = static_cast<int>((static_cast<long long>(i) * step256) / 256);
            if (c >= width)
                break;
            map.push_back(c);
        }
        maps.push_back(map);
    }
    std::vector<int> mirrored, scattered;
    for (int i = width - 1; i >= 0; --i)
        mirrored.push_back(i);
    for (int i = 0; i < 3 * width; ++i)
        scattered.push_back(static_cast<int>(random() % width));
    maps.push_back(mirrored);
    maps.push_back(scattered);
    return maps;
}

class KernelPaths : public testing::TestWithParam<Level>
{
protected:
    // `run` under the scalar path and under the tested one; both results must match.
    template <typename Result> void ExpectSameAsScalar(const std::function<Result()>& run)
    {
        Result expected, actual;
        {
            simdtest::ScopedCap cap(Level::Scalar);
            expected = run();
        }
        {
            simdtest::ScopedCap cap(GetParam());
            ASSERT_EQ(FilterCpu::ActiveLevel(), GetParam());
            actual = run();
        }
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "at " << i << " of " << expected.size();
    }
};

} // namespace

TEST_P(KernelPaths, MaskedBlendOfEveryLengthAndOffset)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    const auto src = RandomPixels(300, 1);
    const auto dst = RandomPixels(300, 2);
    const auto mask = RunMask(300, 3);
    for (int offset : {0, 1, 3, 7})
        for (int count : {0, 1, 3, 4, 5, 8, 15, 16, 17, 31, 33, 64, 65, 200, 290}) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " count " << count);
            ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
                std::vector<std::uint32_t> out = dst;
                BlendMaskedRow(src.data() + offset, mask.data() + offset, out.data() + offset, count);
                return out;
            });
        }
}

TEST_P(KernelPaths, DrawMaskedAndCompositeOfWholePictures)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    constexpr int kWidth = 77, kHeight = 9;
    const std::size_t n = static_cast<std::size_t>(kWidth) * kHeight;
    const auto src = RandomPixels(n, 4), srcMask = RunMask(n, 5), dst = RandomPixels(n, 6),
               dstMask = RunMask(n, 7);
    auto make = [&](const std::vector<std::uint32_t>& pixels, const std::vector<std::uint32_t>& mask,
                    CImage& image) {
        ASSERT_TRUE(image.Create(kWidth, kHeight));
        ASSERT_TRUE(image.CreateMask());
        std::memcpy(image.GetBits(), pixels.data(), n * 4);
        std::memcpy(image.GetMask()->GetBits(), mask.data(), n * 4);
    };
    for (const bool composite : {false, true}) {
        SCOPED_TRACE(composite ? "composite" : "masked drawing");
        ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
            CImage from, to;
            make(src, srcMask, from);
            make(dst, dstMask, to);
            const int done = composite ? from.Composite(&to, 2, 1, kWidth, kHeight, 0, 0)
                                       : from.DrawMasked(&to, 2, 1, kWidth, kHeight, 0, 0);
            EXPECT_EQ(done, 1);
            std::vector<std::uint32_t> out(2 * n);
            std::memcpy(out.data(), to.GetBits(), n * 4);
            std::memcpy(out.data() + n, to.GetMask()->GetBits(), n * 4);
            return out;
        });
    }
}

TEST_P(KernelPaths, GathersOfPixelsAndMaskBytesAlongEveryColumnMap)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    constexpr int kWidth = 203;
    const auto row = RandomPixels(kWidth, 8);
    // A byte plane padded to whole words, as mask rows are.
    std::vector<std::uint8_t> bytes((kWidth + 3) / 4 * 4);
    std::mt19937 random(9);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    for (const auto& map : ColumnMaps(kWidth)) {
        SCOPED_TRACE(testing::Message() << "map of " << map.size() << " from " << map.front());
        const int count = static_cast<int>(map.size());
        ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
            std::vector<std::uint32_t> out(2 * map.size());
            GatherPixels(row.data(), kWidth, map.data(), out.data(), count);
            GatherMaskBytes(bytes.data(), map.data(), out.data() + count, count);
            return out;
        });
        // The scalar path is the definition.
        simdtest::ScopedCap cap(Level::Scalar);
        std::vector<std::uint32_t> gathered(map.size());
        GatherMaskBytes(bytes.data(), map.data(), gathered.data(), count);
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(gathered[i], std::uint32_t{bytes[map[i]]} << 16) << i;
    }
}

namespace {

void CopyOneRow(std::uint32_t* to, const std::uint32_t* from, int count)
{
    CopyRowsOpaque(reinterpret_cast<std::uint8_t*>(to), 0, reinterpret_cast<const std::uint8_t*>(from), 0, 1,
                   count);
}

} // namespace

TEST_P(KernelPaths, OpaqueRowCopiesAtEveryAlignment)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    const auto from = RandomPixels(200, 10);
    for (int offset : {0, 1, 2, 5, 15})
        for (int count : {0, 1, 3, 4, 7, 8, 15, 16, 17, 31, 32, 47, 48, 64, 79, 80, 100, 143, 144, 180}) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " count " << count);
            ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
                std::vector<std::uint32_t> to(200, 0x12345678u);
                CopyOneRow(to.data() + offset, from.data() + (15 - offset), count);
                return to;
            });
        }
    // And what it is: the pixels made opaque, nothing outside the row touched.
    std::vector<std::uint32_t> to(40, 7u);
    CopyOneRow(to.data() + 1, from.data(), 37);
    EXPECT_EQ(to[0], 7u);
    EXPECT_EQ(to[38], 7u);
    for (int i = 0; i < 37; ++i)
        ASSERT_EQ(to[1 + i], from[i] | 0xFF000000u) << i;

    // Rows turned over on the way, as the view paints its bottom-up picture,
    // and kept in order; long rows reach the next row's lines ahead of time.
    struct Rows
    {
        int rows, count, stride;
        bool turned;
    };
    for (const Rows r : {Rows{5, 37, 40, true}, Rows{4, 700, 705, true}, Rows{4, 700, 705, false}}) {
        SCOPED_TRACE(testing::Message() << r.rows << " rows of " << r.count << (r.turned ? " turned" : ""));
        const auto pixels = RandomPixels(std::size_t(r.rows) * r.count, 12);
        std::vector<std::uint32_t> block(std::size_t(r.rows) * r.stride, 7u);
        const int firstRow = r.turned ? r.rows - 1 : 0;
        const std::ptrdiff_t step = (r.turned ? -1 : 1) * std::ptrdiff_t(r.stride) * 4;
        CopyRowsOpaque(reinterpret_cast<std::uint8_t*>(block.data() + std::size_t(firstRow) * r.stride + 2),
                       step, reinterpret_cast<const std::uint8_t*>(pixels.data()), r.count * 4, r.rows,
                       r.count);
        for (int row = 0; row < r.rows; ++row) {
            const int fromRow = r.turned ? r.rows - 1 - row : row;
            for (int i = 0; i < r.stride; ++i) {
                const std::uint32_t want = i >= 2 && i < 2 + r.count
                                               ? pixels[std::size_t(fromRow) * r.count + i - 2] | 0xFF000000u
                                               : 7u;
                ASSERT_EQ(block[std::size_t(row) * r.stride + i], want) << row << "," << i;
            }
        }
    }
}

TEST_P(KernelPaths, StretchesOfCallerBuffersAndTheOpaqueStretch)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    constexpr int kWidth = 450, kHeight = 230;
    const auto buffer = RandomPixels(static_cast<std::size_t>(kWidth) * kHeight, 11);
    struct Case
    {
        int width, height;
    };
    for (const Case c : {Case{112, 57}, Case{225, 115}, Case{451, 231}, Case{900, 40}, Case{30, 460}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
            CImage image;
            EXPECT_TRUE(image.Create(c.width + 3, c.height + 2));
            EXPECT_EQ(image.StretchDIBitsFrom(1, 1, c.width, c.height, 0, 0, kWidth, kHeight, 32, kWidth,
                                              kHeight, buffer.data(), SRCCOPY),
                      kHeight);
            const auto* bits = reinterpret_cast<const std::uint32_t*>(image.GetBits());
            return std::vector<std::uint32_t>(bits, bits + static_cast<std::size_t>(image.GetWidth()) *
                                                               image.GetHeight());
        });
        for (const bool untouched : {false, true}) {
            SCOPED_TRACE(untouched ? "untouched" : "drawn on");
            ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
                StretchSource source;
                source.bits = reinterpret_cast<const std::uint8_t*>(buffer.data());
                source.stride = kWidth * 4;
                source.width = kWidth;
                source.rows = kHeight;
                COpaqueStretch stretch;
                EXPECT_TRUE(stretch.Prepare(StretchRects{2, 1, c.width, c.height, 0, 0, kWidth, kHeight},
                                            source, c.width + 5, c.height + 3));
                CImage dest, mask;
                EXPECT_TRUE(dest.Create(c.width + 5, c.height + 3));
                EXPECT_TRUE(mask.Create(c.width + 5, c.height + 3));
                if (!untouched) {
                    const auto noise =
                        RandomPixels(static_cast<std::size_t>(dest.GetWidth()) * dest.GetHeight(), 12);
                    std::memcpy(dest.GetBits(), noise.data(), noise.size() * 4);
                    std::memcpy(mask.GetBits(), noise.data(), noise.size() * 4);
                }
                stretch.Draw(*dest.GetDC(), *mask.GetDC(), 0, untouched);
                const std::size_t n = static_cast<std::size_t>(dest.GetWidth()) * dest.GetHeight();
                std::vector<std::uint32_t> out(2 * n);
                std::memcpy(out.data(), dest.GetBits(), n * 4);
                std::memcpy(out.data() + n, mask.GetBits(), n * 4);
                return out;
            });
        }
    }
}

TEST_P(KernelPaths, LargeFillsWrittenAroundTheCache)
{
    SKIP_UNLESS_PROCESSOR_HAS(GetParam());
    constexpr std::size_t kCount = (std::size_t(1) << 20) + 13; // from the streamed size on
    ExpectSameAsScalar<std::vector<std::uint32_t>>([&] {
        std::vector<std::uint32_t> pixels(kCount + 2, 1u);
        FillPixelSpan(pixels.data() + 1, kCount, 0x00ABCDEFu);
        return pixels;
    });
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, KernelPaths, testing::ValuesIn(simdtest::kEveryLevel),
                         simdtest::LevelParamName);
