// The coverage of the drawn shapes: hard edges without blur, the quarter
// ellipse's direction and least size, the stamps' outlines and symmetry, the
// pens' widths, and the stamp resources' checks.
#include "Dialogs/TransparencyShapeMakers.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/TransparencyShapes.h"
#include "Dialogs/TransparencyStamps.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace {

constexpr int kLevel = 178;

// Coverage byte at top-down (x, y) of a W x H bottom-up plane.
int At(const PageBuffer& coverage, int W, int H, int x, int y)
{
    return coverage.get()[static_cast<std::size_t>(H - 1 - y) * W + x];
}

std::set<int> Values(const PageBuffer& coverage, int W, int H)
{
    std::set<int> values(coverage.get(), coverage.get() + static_cast<std::size_t>(W) * H);
    return values;
}

QByteArray Words(const std::vector<int>& words)
{
    QByteArray bytes;
    for (int w : words) {
        bytes.append(static_cast<char>(w & 0xFF));
        bytes.append(static_cast<char>((w >> 8) & 0xFF));
    }
    return bytes;
}

} // namespace

TEST(TransparencyShapeMakersTest, WithoutFeatheringEveryMakerGivesExactlyNothingAndTheLevel)
{
    const RECT shape{10, 20, 50, 60};
    const std::vector<POINT> triangle{{12, 22}, {48, 30}, {20, 58}};
    const std::vector<POINT> stroke{{14, 24}, {40, 50}, {46, 26}};
    for (int blur : {0, 1}) {
        const ShapeCoverageArea area{40 + 2 * blur, 40 + 2 * blur, blur};
        std::vector<std::pair<const char*, std::function<PageBuffer()>>> makers{
            {"polygon", [&] { return MakePolygonCoverage(triangle, shape, area, kLevel, nullptr); }},
            {"stroke", [&] { return MakeFreehandCoverage(stroke, shape, 8, area, kLevel, nullptr); }},
        };
        for (bool left : {false, true})
            for (bool up : {false, true})
                makers.push_back({"quarter", [&, left, up] {
                                      return MakeQuarterEllipseCoverage(40, 40, left, up, area, kLevel,
                                                                        nullptr);
                                  }});
        for (int stamp = 0; stamp < kStampCount; ++stamp)
            makers.push_back(
                {"stamp", [&, stamp] { return MakeStampCoverage(stamp, 40, 40, area, kLevel, nullptr); }});
        for (auto& [name, make] : makers) {
            const PageBuffer coverage = make();
            EXPECT_EQ(Values(coverage, area.width, area.height), (std::set<int>{0, kLevel}))
                << name << " blur " << blur;
        }
    }
}

TEST(TransparencyShapeMakersTest, AQuarterEllipseCoversItsCornerOnTheSideOfTheDrag)
{
    // The smallest quarter, 2 x 2 without feathering, in each direction; and a
    // large one whose far corner stays empty.
    for (bool left : {false, true})
        for (bool up : {false, true}) {
            const ShapeCoverageArea small{2, 2, 0};
            const PageBuffer tiny = MakeQuarterEllipseCoverage(1, 1, left, up, small, 255, nullptr);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x)
                    EXPECT_EQ(At(tiny, 2, 2, x, y), 255) << left << up << " at " << x << "," << y;

            const ShapeCoverageArea area{60, 40, 0};
            const PageBuffer big = MakeQuarterEllipseCoverage(60, 40, left, up, area, 255, nullptr);
            // The centre is the corner the drag began at; the opposite corner lies outside.
            const int cx = left ? 59 : 0, cy = up ? 39 : 0;
            EXPECT_EQ(At(big, 60, 40, cx, cy), 255);
            EXPECT_EQ(At(big, 60, 40, left ? 0 : 59, up ? 0 : 39), 0);
            EXPECT_EQ(At(big, 60, 40, left ? 1 : 58, cy), 255);
            EXPECT_EQ(At(big, 60, 40, cx, up ? 1 : 38), 255);
        }
}

TEST(TransparencyShapeMakersTest, TheStarAtItsDesignSizeReproducesItsPoints)
{
    const StampOutline star = LoadStampOutline(0);
    ASSERT_EQ(star.base, 348);
    const std::vector<POINT> points = ScaleStampOutline(star, 0, 0, 348, 348);
    const std::vector<POINT> design{{0, 137},   {133, 137}, {174, 10},  {215, 137}, {348, 137},
                                    {240, 213}, {281, 339}, {174, 261}, {67, 339},  {108, 213}};
    ASSERT_EQ(points.size(), design.size());
    for (std::size_t i = 0; i < design.size(); ++i) {
        EXPECT_EQ(points[i].x, design[i].x) << i;
        EXPECT_EQ(points[i].y, design[i].y) << i;
    }
    // Real factors: the diamond into 10 x 10 at (5, 7) floors each product.
    const std::vector<POINT> diamond = ScaleStampOutline(LoadStampOutline(3), 5, 7, 15, 17);
    EXPECT_EQ(diamond[1].x, 5 + 1); // 794 * 10 / 4445 = 1.79
    EXPECT_EQ(diamond[3].x, 5 + 8); // 3651 * 10 / 4445 = 8.21
    EXPECT_EQ(diamond[2].y, 7 + 10);
}

TEST(TransparencyShapeMakersTest, StampsAreSymmetricAndAnOddWidthKeepsItsCentreColumnOnce)
{
    const int counts[kStampCount] = {10, 94, 150, 4, 75};
    const int bases[kStampCount] = {348, 3397, 460, 4445, 2117};
    for (int stamp = 0; stamp < kStampCount; ++stamp) {
        const StampOutline outline = LoadStampOutline(stamp);
        EXPECT_EQ(outline.base, bases[stamp]);
        EXPECT_EQ(static_cast<int>(outline.points.size()), counts[stamp]);
        for (int width : {41, 40}) {
            const ShapeCoverageArea area{width + 6, 45 + 6, 3};
            const PageBuffer coverage = MakeStampCoverage(stamp, width, 45, area, 255, nullptr);
            int centre = 0;
            for (int y = 0; y < area.height; ++y) {
                for (int x = 0; x < area.width; ++x)
                    ASSERT_EQ(At(coverage, area.width, area.height, x, y),
                              At(coverage, area.width, area.height, area.width - 1 - x, y))
                        << "stamp " << stamp << " width " << width << " at " << x << "," << y;
                centre += At(coverage, area.width, area.height, area.width / 2, y) > 0;
            }
            EXPECT_GT(centre, 0) << stamp;
        }
    }
    // An odd width mirrors about a single centre column: the diamond's widest
    // row is one run of odd length.
    const ShapeCoverageArea area{21, 21, 0};
    const PageBuffer diamond = MakeStampCoverage(3, 21, 21, area, 255, nullptr);
    int widest = 0;
    for (int y = 0; y < 21; ++y) {
        int run = 0;
        for (int x = 0; x < 21; ++x)
            run += At(diamond, 21, 21, x, y) > 0;
        widest = std::max(widest, run);
    }
    EXPECT_EQ(widest % 2, 1);
}

TEST(TransparencyShapeMakersTest, PensDrawTheirWidthAlsoForASingleRepeatedPoint)
{
    const RECT shape{0, 0, 100, 60};
    const ShapeCoverageArea area{100, 60, 0};
    for (int tool = 9; tool <= 12; ++tool) {
        const int pen = FreehandPenWidth(tool);
        const PageBuffer line = MakeFreehandCoverage({{10, 30}, {90, 30}}, shape, pen, area, 255, nullptr);
        int covered = 0;
        for (int y = 0; y < 60; ++y)
            covered += At(line, 100, 60, 50, y) > 0;
        EXPECT_NEAR(covered, pen, pen > 1 ? 1 : 0) << "tool " << tool;
    }
    const PageBuffer dot = MakeFreehandCoverage({{50, 30}, {50, 30}}, shape, 16, area, 255, nullptr);
    int rows = 0, columns = 0;
    for (int i = 0; i < 60; ++i)
        rows += At(dot, 100, 60, 50, i) > 0;
    for (int i = 0; i < 100; ++i)
        columns += At(dot, 100, 60, i, 30) > 0;
    EXPECT_GE(rows, 15);
    EXPECT_GE(columns, 15);
}

TEST(TransparencyShapeMakersTest, AMalformedStampResourceThrowsOne)
{
    const std::vector<std::pair<const char*, QByteArray>> bad{
        {"base 0", Words({0, 3, 0, 0, 1, 1, 2, 0})},
        {"negative base", Words({-5, 3, 0, 0, 1, 1, 2, 0})},
        {"two points", Words({10, 2, 0, 0, 1, 1})},
        {"short", Words({10, 3, 0, 0, 1, 1, 2})},
        {"long", Words({10, 3, 0, 0, 1, 1, 2, 0, 7})},
        {"odd bytes", QByteArray("\x0a\x00\x03", 3)},
        {"empty", QByteArray()},
    };
    for (const auto& [name, bytes] : bad) {
        try {
            ParseStampOutline(bytes);
            ADD_FAILURE() << name << ": no failure";
        } catch (enumErrorID id) {
            EXPECT_EQ(id, ErrorIdReported) << name;
        }
    }
    const StampOutline good = ParseStampOutline(Words({10, 3, 0, 0, 10, 5, -1, 10}));
    EXPECT_EQ(good.base, 10);
    EXPECT_EQ(good.points[2].x, -1);
    // Every shipped stamp: base above 0, its points inside the design square.
    for (int stamp = 0; stamp < kStampCount; ++stamp) {
        QFile file(QStringLiteral(":/SHAPESBIT/%1").arg(StampResourceId(stamp)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << stamp;
        const StampOutline outline = ParseStampOutline(file.readAll());
        for (const POINT& p : outline.points) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, outline.base);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, outline.base);
        }
    }
}

TEST(TransparencyShapeMakersTest, FeatheredCoverageBytesArePinned)
{
    // Odd working sizes (a mirrored centre column, padded work rows) and a
    // blur on the recursive path as well as one on the direct taps.
    const auto hash = [](const PageBuffer& coverage, const ShapeCoverageArea& area) {
        std::uint64_t h = 14695981039346656037ull;
        for (std::size_t i = 0; i < static_cast<std::size_t>(area.width) * area.height; ++i)
            h = (h ^ coverage.get()[i]) * 1099511628211ull;
        return h;
    };
    const RECT shape{10, 20, 51, 57};
    const std::vector<POINT> star{{12, 22}, {50, 30}, {31, 36}, {44, 56}, {20, 50}, {25, 33}};
    const std::vector<POINT> stroke{{14, 24}, {40, 50}, {46, 26}, {46, 26}};
    std::vector<std::uint64_t> got;
    for (int blur : {3, 12}) {
        const ShapeCoverageArea area{41 + 2 * blur, 37 + 2 * blur, blur};
        got.push_back(hash(MakePolygonCoverage(star, shape, area, kLevel, nullptr), area));
        got.push_back(hash(MakeFreehandCoverage(stroke, shape, 7, area, kLevel, nullptr), area));
        got.push_back(hash(MakeQuarterEllipseCoverage(41, 37, true, false, area, kLevel, nullptr), area));
        for (int stamp = 0; stamp < kStampCount; ++stamp)
            got.push_back(hash(MakeStampCoverage(stamp, 41, 37, area, kLevel, nullptr), area));
        for (SymmetricShape kind : {SymmetricShape::Rectangle, SymmetricShape::Ellipse})
            got.push_back(hash(MakeSymmetricCoverage(kind, 41, 37, blur, 255, nullptr), area));
    }
    // Wider areas than the blur's reach, and narrow ones within it.
    std::vector<POINT> bigStar;
    for (const POINT& p : star)
        bigStar.push_back(POINT{10 + (p.x - 10) * 5, 20 + (p.y - 20) * 5});
    const RECT bigShape{10, 20, 215, 205};
    for (int blur : {4, 30}) {
        const ShapeCoverageArea area{205 + 2 * blur, 185 + 2 * blur, blur};
        got.push_back(hash(MakePolygonCoverage(bigStar, bigShape, area, kLevel, nullptr), area));
        got.push_back(hash(MakeStampCoverage(1, 205, 185, area, kLevel, nullptr), area));
        for (int width : {1, 3, 40, 205}) {
            const ShapeCoverageArea narrow{width + 2 * blur, 60 + 2 * blur, blur};
            got.push_back(
                hash(MakeSymmetricCoverage(SymmetricShape::Ellipse, width, 60, blur, 255, nullptr), narrow));
            got.push_back(
                hash(MakeQuarterEllipseCoverage(width, 60, false, true, narrow, kLevel, nullptr), narrow));
        }
    }
    // Taken from the pipeline before its level pass and its blur were rewritten.
    const std::vector<std::uint64_t> want{
        5219536218868384781ull,  13444658493349171188ull, 1098806424888087842ull,  13952233263018394597ull,
        16359984928231273507ull, 3829804122232765588ull,  8550663375927282557ull,  2985116162634436087ull,
        10596431092975795554ull, 10080819644484969434ull, 4159458733390712703ull,  4487873892674520825ull,
        636063765440185507ull,   5632530317867669602ull,  10687602740543322416ull, 4699124016370967305ull,
        13951850374389587654ull, 11903746631156714686ull, 18401200597709563866ull, 8036168061833764386ull,
        18413704049126847733ull, 18058459873159983044ull, 12891346901105591481ull, 16684230827267752932ull,
        9325991329648566839ull,  11362946200746438597ull, 6342406113670129665ull,  6171057553908333134ull,
        3149154001465042537ull,  675172195067856489ull,   8812456081555578062ull,  9712309386652676702ull,
        14131119115510564057ull, 11006333340233907204ull, 14262475307781043229ull, 11443045120607518399ull,
        5773195360503272713ull,  1024908465839456275ull,  8842380772702247415ull,  13679046783350841991ull,
    };
    EXPECT_EQ(got, want);
}
