// Automatic level of an A4 page at 360 dpi (24 bits, into a destination):
// analysis and apply at 0.5 %, ours against OpenCV's histograms and table
// look-up with the same black and white points, both on one thread.
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_AUTOLEVEL.h"
#include "Filters/UtilFilter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <vector>

namespace {

constexpr int kPageWidth = 4209;
constexpr int kPageHeight = 2976;
constexpr double kPercents[2] = {0.5, 0.5};

const cv::Mat& Page24()
{
    static const cv::Mat page = [] {
        // Smooth content with noise, closer to a photo than pure noise.
        cv::Mat small(kPageHeight / 16, kPageWidth / 16, CV_8UC3), out(kPageHeight, kPageWidth, CV_8UC3);
        cv::RNG rng(12345);
        rng.fill(small, cv::RNG::UNIFORM, 0, 256);
        cv::resize(small, out, out.size(), 0, 0, cv::INTER_LINEAR);
        cv::Mat noise(out.size(), CV_8UC3);
        rng.fill(noise, cv::RNG::UNIFORM, 0, 16);
        out += noise;
        return out;
    }();
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

int32_t AutoLevelOurs(const cv::Mat& src, cv::Mat& dst)
{
    ImageDescriptor s = Describe(src, 4);
    ImageDescriptor d = Describe(dst, 4);
    UtilFilter filter(&s, &d, UCF_ID_AUTOLEVEL, sizeof(kPercents), kPercents);
    return filter.GetLastResult() ? filter.GetLastResult() : filter.Execute(nullptr, 3, 0);
}

// The same points from OpenCV's histograms, a table per channel and one look-up.
void AutoLevelOpenCv(const cv::Mat& src, cv::Mat& dst)
{
    const int size[1] = {256};
    const float range[2] = {0, 256};
    const float* ranges[1] = {range};
    cv::Mat lut(1, 256, CV_8UC3);
    const int64_t pixels = int64_t{src.cols} * src.rows;
    for (int c = 0; c < 3; ++c) {
        cv::Mat hist;
        const int channel[1] = {c};
        cv::calcHist(&src, 1, channel, cv::Mat(), hist, 1, size, ranges);
        uint32_t counts[256];
        for (int i = 0; i < 256; ++i)
            counts[i] = static_cast<uint32_t>(hist.at<float>(i));
        uint32_t lo = 0, hi = 0;
        UCF_AUTOLEVEL::FindPoints(counts, 256, pixels, kPercents[0], kPercents[1], &lo, &hi);
        uint8_t table[256];
        UCF_AUTOLEVEL::BuildLevels(lo, hi, 256, table);
        for (int i = 0; i < 256; ++i)
            lut.at<cv::Vec3b>(i)[c] = table[i];
    }
    cv::LUT(src, lut, dst);
}

void Ours(benchmark::State& state)
{
    cv::Mat dst(Page24().size(), CV_8UC3, cv::Scalar::all(0));
    for (auto _ : state) {
        if (AutoLevelOurs(Page24(), dst) != 0) {
            state.SkipWithError("filter failed");
            break;
        }
        benchmark::DoNotOptimize(dst.data);
    }
}

void OpenCv(benchmark::State& state)
{
    cv::setNumThreads(1);
    cv::Mat dst(Page24().size(), CV_8UC3);
    for (auto _ : state) {
        AutoLevelOpenCv(Page24(), dst);
        benchmark::DoNotOptimize(dst.data);
    }
}

// Both sides must give the same pixels, checked once outside the timing.
bool Agree()
{
    cv::setNumThreads(1);
    cv::Mat ours(Page24().size(), CV_8UC3, cv::Scalar::all(0)), theirs;
    if (AutoLevelOurs(Page24(), ours) != 0)
        return false;
    AutoLevelOpenCv(Page24(), theirs);
    return cv::norm(ours, theirs, cv::NORM_INF) == 0;
}

void Register()
{
    if (!Agree()) {
        std::fprintf(stderr, "autolevel: ours and opencv disagree\n");
        return;
    }
    benchmark::RegisterBenchmark("autolevel/ours", Ours)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("autolevel/opencv", OpenCv)->Unit(benchmark::kMillisecond);
}

const bool kRegistered = (Register(), true);

} // namespace
