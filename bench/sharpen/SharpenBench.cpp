// The unsharp mask of an A4 page at 360 dpi (24 bits) into a destination,
// against OpenCV's 2-D filter with the same kernel followed by the same
// difference, threshold and clamp as array operations; one thread each.
#include "Filters/FilterRegistry.h"
#include "Filters/UsmKernels.h"
#include "Filters/UtilFilter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <string>

namespace {

constexpr int kPageWidth = 4209;
constexpr int kPageHeight = 2976;
constexpr int kAmount = 100;
constexpr int kThreshold = 4;

// Smooth content with noise, closer to a photo than pure noise.
const cv::Mat& Page24()
{
    static const cv::Mat page = [] {
        cv::Mat out(kPageHeight, kPageWidth, CV_8UC3);
        cv::RNG rng(12345);
        cv::Mat small(kPageHeight / 16, kPageWidth / 16, CV_8UC3);
        rng.fill(small, cv::RNG::UNIFORM, 0, 256);
        cv::resize(small, out, out.size(), 0, 0, cv::INTER_LINEAR);
        cv::Mat noise(out.size(), CV_8UC3);
        rng.fill(noise, cv::RNG::UNIFORM, 0, 16);
        out += noise;
        return out;
    }();
    return page;
}

ImageDescriptor Describe(const cv::Mat& m)
{
    ImageDescriptor d;
    d.width = d.regionWidth = d.rectRight = m.cols;
    d.height = d.regionHeight = d.rectBottom = m.rows;
    d.rowBytes = static_cast<int32_t>(m.step[0]);
    d.pixels = const_cast<uint8_t*>(m.data);
    d.format = 4;
    return d;
}

int32_t SharpenOurs(const cv::Mat& src, cv::Mat& dst, int radius)
{
    ImageDescriptor s = Describe(src);
    ImageDescriptor d = Describe(dst);
    const int32_t block[4] = {radius, kAmount, kThreshold, 0};
    UtilFilter filter(&s, &d, UCF_ID_USM, sizeof(block), block);
    return filter.GetLastResult() ? filter.GetLastResult() : filter.Execute(nullptr, 3, 0);
}

cv::Mat Kernel(int radius)
{
    const UsmKernel& k = GetUsmKernel(radius, false);
    const int half = UsmHalfWidth(radius);
    cv::Mat kernel(2 * half + 1, 2 * half + 1, CV_32F);
    for (int y = -half; y <= half; ++y)
        for (int x = -half; x <= half; ++x)
            kernel.at<float>(y + half, x + half) =
                static_cast<float>(k.c[UsmCoefficientIndex(std::abs(x), std::abs(y))]) /
                static_cast<float>(1 << k.shift);
    return kernel;
}

// p + d - T above T, p + d + T below -T, else p, with d = (p - blur) x A / 128.
struct OpenCvSharpener
{
    cv::Mat kernel, source16, blur, d, above, below, sum;
    double scale = static_cast<int>(kAmount * 2.56 * 0.5) / 128.0;

    void Run(const cv::Mat& src, cv::Mat& dst)
    {
        cv::filter2D(src, blur, CV_16S, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        src.convertTo(source16, CV_16S);
        cv::subtract(source16, blur, d);
        if (scale != 1.0)
            d.convertTo(d, CV_16S, scale);
        cv::subtract(d, cv::Scalar::all(kThreshold), above);
        cv::max(above, cv::Scalar::all(0), above);
        cv::add(d, cv::Scalar::all(kThreshold), below);
        cv::min(below, cv::Scalar::all(0), below);
        cv::add(source16, above, sum);
        cv::add(sum, below, sum);
        sum.convertTo(dst, CV_8U);
    }
};

// Once per radius, before any timing: both outputs agree within 1.
bool Agree(int radius)
{
    const cv::Mat& src = Page24();
    cv::Mat ours(src.size(), CV_8UC3, cv::Scalar::all(0));
    cv::Mat theirs(src.size(), CV_8UC3);
    if (SharpenOurs(src, ours, radius) != 0)
        return false;
    cv::setNumThreads(1);
    OpenCvSharpener reference;
    reference.kernel = Kernel(radius);
    reference.Run(src, theirs);
    cv::Mat difference;
    cv::absdiff(ours, theirs, difference);
    double worst = 0;
    cv::minMaxLoc(difference.reshape(1), nullptr, &worst);
    return worst <= 1;
}

void UsmOurs(benchmark::State& state, int radius)
{
    if (!Agree(radius)) {
        state.SkipWithError("ours and OpenCV differ by more than 1");
        return;
    }
    const cv::Mat& src = Page24();
    cv::Mat dst(src.size(), CV_8UC3, cv::Scalar::all(0));
    for (auto _ : state) {
        if (SharpenOurs(src, dst, radius) != 0) {
            state.SkipWithError("filter failed");
            break;
        }
        benchmark::DoNotOptimize(dst.data);
    }
}

void UsmOpenCv(benchmark::State& state, int radius)
{
    cv::setNumThreads(1);
    const cv::Mat& src = Page24();
    cv::Mat dst(src.size(), CV_8UC3);
    OpenCvSharpener reference;
    reference.kernel = Kernel(radius);
    for (auto _ : state) {
        reference.Run(src, dst);
        benchmark::DoNotOptimize(dst.data);
    }
}

void Register()
{
    for (int radius : {10, 30}) {
        const std::string name = "usm-r" + std::to_string(radius);
        benchmark::RegisterBenchmark((name + "/ours").c_str(), [radius](benchmark::State& s) {
            UsmOurs(s, radius);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/opencv").c_str(), [radius](benchmark::State& s) {
            UsmOpenCv(s, radius);
        })->Unit(benchmark::kMillisecond);
    }
}

const bool kRegistered = (Register(), true);

} // namespace
