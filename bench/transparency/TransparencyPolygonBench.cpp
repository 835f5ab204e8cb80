// A feathered polygon of the transparency editor: 40 vertices spanning about
// 3000 x 2000, blurred by 50 and merged into a 4000 x 3000 mask, against
// OpenCV on one thread filling the polygon into an 8-bit working area,
// blurring it with the same kernel and taking the maximum into the mask.
#include "OpenCvBlurKernel.h"

#include "Dialogs/TransparencyShapeMakers.h"
#include "Dialogs/TransparencyShapes.h"
#include "ImageProcessing/BitmapInfo.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

namespace {

constexpr int kMaskWidth = 4000;
constexpr int kMaskHeight = 3000;
constexpr int kBlur = 50;
constexpr int kVertices = 40;

// A star-like outline of 40 vertices in (500, 500)-(3500, 2500).
std::vector<POINT> Outline()
{
    std::vector<POINT> points;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < kVertices; ++i) {
        const double angle = 2 * pi * i / kVertices;
        const double reach = i % 2 ? 0.7 : 1.0;
        points.push_back(POINT{static_cast<int>(std::lround(2000 + 1500 * reach * std::cos(angle))),
                               static_cast<int>(std::lround(1500 + 1000 * reach * std::sin(angle)))});
    }
    return points;
}

RECT Bounds(const std::vector<POINT>& points)
{
    RECT r{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const POINT& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

void PolygonOurs(benchmark::State& state)
{
    const std::vector<POINT> points = Outline();
    const RECT shape = Bounds(points);
    const ShapeCoverageArea area{shape.right - shape.left + 2 * kBlur, shape.bottom - shape.top + 2 * kBlur,
                                 kBlur};
    const int stride = AlignRowBytes(kMaskWidth);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(stride) * kMaskHeight, 0);
    for (auto _ : state) {
        PageBuffer coverage = MakePolygonCoverage(points, shape, area, 255, nullptr);
        MergeCoverage(mask.data(), kMaskWidth, kMaskHeight, stride, coverage.get(), area.width, area.height,
                      shape.left - kBlur, shape.top - kBlur, 0);
        benchmark::DoNotOptimize(mask.data());
    }
}

void PolygonOpenCv(benchmark::State& state)
{
    cv::setNumThreads(1);
    const std::vector<POINT> points = Outline();
    const RECT shape = Bounds(points);
    const int W = shape.right - shape.left + 2 * kBlur;
    const int H = shape.bottom - shape.top + 2 * kBlur;
    std::vector<cv::Point> local;
    for (const POINT& p : points)
        local.emplace_back(p.x - shape.left + kBlur, p.y - shape.top + kBlur);
    const cv::Mat kernel = BlurKernel(kBlur);
    cv::Mat mask(kMaskHeight, kMaskWidth, CV_8UC1, cv::Scalar(0));
    for (auto _ : state) {
        cv::Mat work(H, W, CV_8UC1, cv::Scalar(0));
        const cv::Point* outline = local.data();
        const int count = static_cast<int>(local.size());
        cv::fillPoly(work, &outline, &count, 1, cv::Scalar(255), cv::LINE_8);
        cv::sepFilter2D(work, work, -1, kernel, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        cv::Mat target = mask(cv::Rect(shape.left - kBlur, shape.top - kBlur, W, H));
        cv::max(target, work, target);
        benchmark::DoNotOptimize(mask.data);
    }
}

} // namespace

BENCHMARK(PolygonOurs)->Name("transparency-polygon/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(PolygonOpenCv)->Name("transparency-polygon/opencv")->Unit(benchmark::kMillisecond);
