// Resize, blur and quarter turn of an A4 page at 360 dpi, ours against OpenCV,
// both on one thread and on the same pixels; the blur mask against our blur.
#include "OpenCvBlurKernel.h"

#include "Filters/FilterRegistry.h"
#include "Filters/UtilFilter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <random>
#include <vector>

namespace {

constexpr int kPageWidth = 4209;
constexpr int kPageHeight = 2976;
constexpr int kCardWidth = 2097;
constexpr int kCardHeight = 1417;

cv::Mat RandomPage(int type)
{
    cv::Mat page(kPageHeight, kPageWidth, type);
    cv::RNG rng(12345);
    // Smooth content with noise, closer to a photo than pure noise.
    cv::Mat small(kPageHeight / 16, kPageWidth / 16, type);
    rng.fill(small, cv::RNG::UNIFORM, 0, 256);
    cv::resize(small, page, page.size(), 0, 0, cv::INTER_LINEAR);
    cv::Mat noise(page.size(), type);
    rng.fill(noise, cv::RNG::UNIFORM, 0, 16);
    page += noise;
    return page;
}

const cv::Mat& Page32()
{
    static const cv::Mat page = RandomPage(CV_8UC4);
    return page;
}

const cv::Mat& Page24()
{
    static const cv::Mat page = RandomPage(CV_8UC3);
    return page;
}

ImageDescriptor Describe(const cv::Mat& m, int format)
{
    ImageDescriptor d;
    d.width = d.regionWidth = d.rectRight = m.cols;
    d.height = d.regionHeight = d.rectBottom = m.rows;
    d.rowBytes = static_cast<int32_t>(m.step[0]);
    d.pixels = const_cast<uint8_t*>(m.data);
    d.format = format;
    return d;
}

void RunOurs(benchmark::State& state, const cv::Mat& src, cv::Mat& dst, int format, int id, const void* block,
             int size)
{
    ImageDescriptor s = Describe(src, format);
    ImageDescriptor d = Describe(dst, format);
    for (auto _ : state) {
        UtilFilter filter(&s, dst.empty() ? nullptr : &d, id, size, block);
        const int32_t rc = filter.GetLastResult() ? filter.GetLastResult() : filter.Execute(nullptr, 3, 0);
        if (rc != 0) {
            state.SkipWithError("filter failed");
            break;
        }
        benchmark::DoNotOptimize(dst.data);
    }
}

void ResizeOurs(benchmark::State& state, int mode)
{
    cv::Mat dst(kCardHeight, kCardWidth, CV_8UC4, cv::Scalar::all(0));
    const int32_t block[2] = {mode, 0};
    RunOurs(state, Page32(), dst, 8, UCF_ID_RESIZE, block, sizeof(block));
}

void ResizeOpenCv(benchmark::State& state, int interpolation)
{
    cv::setNumThreads(1);
    const cv::Mat& src = Page32();
    cv::Mat dst(kCardHeight, kCardWidth, CV_8UC4);
    for (auto _ : state) {
        cv::resize(src, dst, dst.size(), 0, 0, interpolation);
        benchmark::DoNotOptimize(dst.data);
    }
}

void GaussOurs(benchmark::State& state, int radius)
{
    cv::Mat page = Page24().clone();
    cv::Mat none;
    const int32_t block[2] = {radius, 0};
    ImageDescriptor s = Describe(page, 4);
    for (auto _ : state) {
        UtilFilter filter(&s, nullptr, UCF_ID_SGAUSS, sizeof(block), block);
        if (filter.GetLastResult() || filter.Execute(nullptr, 3, 0)) {
            state.SkipWithError("filter failed");
            break;
        }
        benchmark::DoNotOptimize(page.data);
    }
}

void GaussOpenCv(benchmark::State& state, int radius)
{
    cv::setNumThreads(1);
    cv::Mat page = Page24().clone();
    const cv::Mat kernel = BlurKernel(radius);
    for (auto _ : state) {
        cv::sepFilter2D(page, page, -1, kernel, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        benchmark::DoNotOptimize(page.data);
    }
}

// The blur mask with a grey mask: the blur plus one mixing pass per row.
void BlurMaskOurs(benchmark::State& state, int radius)
{
    cv::Mat page = Page24().clone();
    cv::Mat mask(page.size(), CV_8UC1);
    cv::RNG(7).fill(mask, cv::RNG::UNIFORM, 0, 256);
    const int32_t block[4] = {radius, 0, 0, 100};
    ImageDescriptor s = Describe(page, 4);
    ImageDescriptor m = Describe(mask, 1);
    for (auto _ : state) {
        UtilFilter filter(&s, nullptr, UCF_ID_BLURMASK, sizeof(block), block);
        if (filter.GetLastResult() || filter.SetSecondImage(sizeof(m), &m) || filter.Execute(nullptr, 3, 0)) {
            state.SkipWithError("filter failed");
            break;
        }
        benchmark::DoNotOptimize(page.data);
    }
}

void RotateOurs(benchmark::State& state)
{
    cv::Mat dst(kPageWidth, kPageHeight, CV_8UC4, cv::Scalar::all(0));
    const int32_t mode = 0;
    RunOurs(state, Page32(), dst, 8, UCF_ID_ROTATE, &mode, sizeof(mode));
}

void RotateOpenCv(benchmark::State& state)
{
    cv::setNumThreads(1);
    cv::Mat dst(kPageWidth, kPageHeight, CV_8UC4);
    for (auto _ : state) {
        cv::rotate(Page32(), dst, cv::ROTATE_90_CLOCKWISE);
        benchmark::DoNotOptimize(dst.data);
    }
}

void Register()
{
    const struct
    {
        const char* name;
        int mode;
        int interpolation;
    } resizes[] = {{"resize-mode0", 0, cv::INTER_LINEAR},
                   {"resize-mode1", 1, cv::INTER_CUBIC},
                   {"resize-mode2", 2, cv::INTER_AREA}};
    for (const auto& r : resizes) {
        const int mode = r.mode, interpolation = r.interpolation;
        benchmark::RegisterBenchmark((std::string(r.name) + "/ours").c_str(), [mode](benchmark::State& s) {
            ResizeOurs(s, mode);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(r.name) + "/opencv").c_str(), [interpolation](
                                                                                    benchmark::State& s) {
            ResizeOpenCv(s, interpolation);
        })->Unit(benchmark::kMillisecond);
    }
    for (int radius : {2, 10, 100}) {
        const std::string name = "gauss-r" + std::to_string(radius);
        benchmark::RegisterBenchmark((name + "/ours").c_str(), [radius](benchmark::State& s) {
            GaussOurs(s, radius);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/opencv").c_str(), [radius](benchmark::State& s) {
            GaussOpenCv(s, radius);
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("blurmask-r100/ours", [](benchmark::State& s) {
        BlurMaskOurs(s, 100);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("blurmask-r100/sgauss", [](benchmark::State& s) {
        GaussOurs(s, 100);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("rotate/ours", RotateOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("rotate/opencv", RotateOpenCv)->Unit(benchmark::kMillisecond);
}

const bool kRegistered = (Register(), true);

} // namespace
