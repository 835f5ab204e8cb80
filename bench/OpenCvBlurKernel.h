// The Gaussian filter's own kernel for OpenCV's separable filter, so that the
// OpenCV comparisons blur exactly as much as ours.
#pragma once

#include "Filters/UCF_SGAUSS.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

inline cv::Mat BlurKernel(int blur)
{
    std::vector<int16_t> weights(2 * blur);
    int32_t sum = 0;
    const int taps = UCF_SGAUSS::BuildKernel(blur, weights.data(), &sum);
    cv::Mat kernel(taps, 1, CV_32F);
    for (int i = 0; i < taps; ++i)
        kernel.at<float>(i) = static_cast<float>(weights[i]) / static_cast<float>(sum);
    return kernel;
}
