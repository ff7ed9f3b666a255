// SPDX-License-Identifier: MIT
// Resize (bilinear, box, Gaussian, Hamming) against a plain two-pass reference written from
// the rules, with the sums clamped to 0..255.
#include "FilterTestSupport.h"

#include "image/DisplayBitmap.h"
#include "image/ResampleFilter.h"
#include "image/SimpleResizeFilter.h"
#include "support/TestSupport.h"

#include <cmath>

using namespace filtertest;
using img::ResampleKernel;

namespace {

double RefKernel(ResampleKernel kernel, double x, double r) {
    const double pi = 3.14159265358979323846;
    if (x > r)
        return 0;
    switch (kernel) {
    case ResampleKernel::Bilinear:
        return r - x;
    case ResampleKernel::Box:
        return 1;
    case ResampleKernel::Gaussian:
        return std::exp(-x * x / r - 1) / std::sqrt(2 * pi);
    case ResampleKernel::Hamming:
        return x == 0 ? 0.54 + 0.46
                      : (0.54 + 0.46 * std::cos(2 * pi * x)) * std::sin(pi * x) / (pi * x);
    }
    return 0;
}

struct Pass {
    std::vector<int> left;
    std::vector<std::vector<double>> weights;
};

Pass RefPass(int n, int m, double radius, ResampleKernel kernel) {
    const double scale = double(m) / n;
    const double w = scale >= 1 ? radius : radius / scale, f = scale >= 1 ? 1 : scale;
    const int window = 2 * int(std::ceil(w)) + 1;
    Pass pass;
    for (int i = 0; i < m; ++i) {
        const double centre = i / scale;
        int left = std::max(0, int(std::floor(centre - w)));
        const int right = std::min(n - 1, int(std::ceil(centre + w)));
        if (right - left + 1 > window)
            left++;
        std::vector<double> weights;
        double sum = 0;
        for (int k = left; k <= right; ++k) {
            weights.push_back(f * RefKernel(kernel, std::abs(centre - k) * f, radius));
            sum += weights.back();
        }
        if (sum > 0) {
            for (double& x : weights)
                x /= sum;
        } else { // no source within the radius: the nearest one
            left = std::clamp(int(std::floor(centre + 0.5)), 0, n - 1);
            weights.assign(1, 1.0);
        }
        pass.left.push_back(left);
        pass.weights.push_back(weights);
    }
    return pass;
}

int RoundClamp(double v) {
    v = v + 0.5 + 1e-9;
    return v >= 255 ? 255 : v < 0 ? 0 : int(v);
}

void RefResample(const CImageBitmap& src, CImageBitmap& dst, int width, int height, double radius,
                 ResampleKernel kernel) {
    const Pass rows = RefPass(src.Width(), width, radius, kernel);
    const Pass columns = RefPass(src.Height(), height, radius, kernel);
    std::vector<std::uint8_t> mid(std::size_t(width) * 4 * std::size_t(src.Height()));
    for (int y = 0; y < src.Height(); ++y)
        for (int i = 0; i < width; ++i)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (std::size_t t = 0; t < rows.weights[i].size(); ++t)
                    sum += rows.weights[i][t] * src.Line(y)[(rows.left[i] + int(t)) * 4 + c];
                mid[(std::size_t(y) * width + i) * 4 + c] = std::uint8_t(RoundClamp(sum));
            }
    dst.Create(width, height, 32);
    for (int j = 0; j < height; ++j)
        for (int x = 0; x < width * 4; ++x) {
            double sum = 0;
            for (std::size_t t = 0; t < columns.weights[j].size(); ++t)
                sum += columns.weights[j][t] *
                       mid[std::size_t(columns.left[j] + int(t)) * width * 4 + x];
            dst.Line(j)[x] = std::uint8_t(RoundClamp(sum));
        }
}

TEST(Resample, EveryKernelMatchesThePlainTwoPasses) {
    CDisplayBitmap source;
    FillRandom(source, 37, 23, 32, 5);
    const std::pair<int, int> sizes[] = {{37, 23}, {18, 11}, {74, 46}, {5, 60},
                                         {100, 3}, {1, 1},   {36, 24}};
    for (ResampleKernel kernel : {ResampleKernel::Box, ResampleKernel::Gaussian,
                                  ResampleKernel::Hamming, ResampleKernel::Bilinear})
        for (double radius : {0.5, 1.0, 2.5, 5.0})
            for (auto [w, h] : sizes) {
                CMemoryBitmap result, expected;
                CResampleFilter(w, h, radius, kernel).Apply(source, result);
                RefResample(source, expected, w, h, radius, kernel);
                ASSERT_TRUE(SamePixels(result, expected))
                    << int(kernel) << " r " << radius << " " << w << "x" << h;
            }
}

TEST(Resample, BilinearToTheSameSizeKeepsThePixels) {
    CMemoryBitmap source, result;
    FillRandom(source, 19, 7, 32, 9, true);
    CSimpleResizeFilter(19, 7).Apply(source, result);
    EXPECT_TRUE(SamePixels(source, result));
    EXPECT_TRUE(result.HasAlpha());
    CMemoryBitmap expected;
    CSimpleResizeFilter(40, 13).Apply(source, result);
    RefResample(source, expected, 40, 13, 1.0, ResampleKernel::Bilinear);
    EXPECT_TRUE(SamePixels(result, expected));
}

TEST(Resample, HammingOvershootIsClampedNotWrapped) {
    // A hard edge from black to white: the Hamming lobes overshoot on both sides.
    CMemoryBitmap source;
    source.Create(16, 1, 32);
    for (int x = 0; x < 16; ++x)
        Set(source, x, 0, x < 8 ? 0u : 0xFFFFFFFFu);
    const Pass pass = RefPass(16, 40, 3.0, ResampleKernel::Hamming);
    double lowest = 0, highest = 255;
    for (int i = 0; i < 40; ++i) {
        double sum = 0;
        for (std::size_t t = 0; t < pass.weights[i].size(); ++t)
            sum += pass.weights[i][t] * (pass.left[i] + int(t) < 8 ? 0 : 255);
        lowest = std::min(lowest, sum);
        highest = std::max(highest, sum);
    }
    ASSERT_LT(lowest, -0.5) << "the case must overshoot below 0";
    ASSERT_GT(highest, 255.5) << "and above 255";
    CMemoryBitmap result, expected;
    CResampleFilter(40, 1, 3.0, ResampleKernel::Hamming).Apply(source, result);
    RefResample(source, expected, 40, 1, 3.0, ResampleKernel::Hamming);
    EXPECT_TRUE(SamePixels(result, expected));
    for (int x = 0; x < 40; ++x) {
        const std::uint32_t v = Get(result, x, 0);
        EXPECT_TRUE(x / 2.5 < 7.5 ? (v & 0xFF) < 128 : (v & 0xFF) >= 128) << "wrapped at " << x;
    }
}

TEST(Resample, TinyRadiusTakesTheNearestSampleInsteadOfBlack) {
    CMemoryBitmap source, result;
    source.Create(2, 1, 32);
    Set(source, 0, 0, 0xFF102030u);
    Set(source, 1, 0, 0xFF405060u);
    CResampleFilter(4, 1, 0.01, ResampleKernel::Box).Apply(source, result);
    // Samples 1 and 3 sit half-way between sources: no source within 0.01.
    EXPECT_EQ(Get(result, 0, 0), 0xFF102030u);
    EXPECT_EQ(Get(result, 1, 0), 0xFF405060u); // centre 0.5 rounds half up
    EXPECT_EQ(Get(result, 2, 0), 0xFF405060u);
    EXPECT_EQ(Get(result, 3, 0), 0xFF405060u);
}

TEST(Resample, PaletteSourcesAndProgress) {
    CMemoryBitmap source;
    FillRandom(source, 9, 4, 8, 2);
    CMemoryBitmap expanded;
    expanded.CreateCopy(source, 32);
    CProgressRecorder progress;
    CMemoryBitmap result, expected;
    CResampleFilter(5, 7, 1.0, ResampleKernel::Gaussian, &progress).Apply(source, result);
    RefResample(expanded, expected, 5, 7, 1.0, ResampleKernel::Gaussian);
    EXPECT_TRUE(SamePixels(result, expected));
    EXPECT_EQ(progress.values, (std::vector<double>{0.01, 0.0, 0.125, 0.25, 0.375, 0.5, 1.0}));
}

TEST(Resample, SizesTheBitmapsCannotHoldThrowOutOfMemory) {
    CMemoryBitmap source, result;
    FillRandom(source, 4, 4, 32, 2);
    result.Create(3, 3, 32);
    EXPECT_TEXT_EXCEPTION(CSimpleResizeFilter(0, 5).Apply(source, result), 10,
                          "Out of memory creating bitmap.");
    EXPECT_TEXT_EXCEPTION(
        CResampleFilter(40000, 5, 1.0, ResampleKernel::Box).Apply(source, result), 10,
        "The picture is 40000x5 pixels, larger than the limit of 32768 pixels a side.");
    EXPECT_EQ(result.Width(), 3) << "the destination keeps its image";
}

} // namespace
