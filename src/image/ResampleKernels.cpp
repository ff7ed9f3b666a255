// SPDX-License-Identifier: MIT
#include "image/ResampleKernels.h"

#include "image/Avx2Kernels.h"
#include "image/ParallelRows.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_ADDRESS__)
#define IMG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define IMG_VECTOR_CLONES
#endif

namespace img {

double KernelValue(ResampleKernel kernel, double x, double radius) noexcept {
    if (x > radius)
        return 0.0;
    constexpr double pi = std::numbers::pi;
    switch (kernel) {
    case ResampleKernel::Bilinear:
        return radius - x;
    case ResampleKernel::Box:
        return 1.0;
    case ResampleKernel::Gaussian:
        return std::exp(-(x * x) / radius - 1.0) / std::sqrt(2.0 * pi);
    case ResampleKernel::Hamming:
        if (x == 0.0)
            return 0.54 + 0.46;
        return (0.54 + 0.46 * std::cos(2.0 * pi * x)) * std::sin(pi * x) / (pi * x);
    }
    return 0.0;
}

ResampleTaps ComputeTaps(int n, int m, double radius, ResampleKernel kernel) {
    if (!(radius >= 0.0) || !std::isfinite(radius))
        radius = 0.0; // reaches no neighbour: every sample takes its nearest source sample
    const double scale = double(m) / double(n);
    const double w = scale >= 1.0 ? radius : radius / scale;
    const double f = scale >= 1.0 ? 1.0 : scale;
    ResampleTaps taps;
    taps.window = 2 * int(std::ceil(w)) + 1;
    taps.first.resize(std::size_t(m));
    taps.count.resize(std::size_t(m));
    taps.weights.assign(std::size_t(m) * std::size_t(taps.window), 0.0);
    for (int i = 0; i < m; ++i) {
        const double centre = i / scale;
        int left = std::max(0, int(std::floor(centre - w)));
        const int right = std::min(n - 1, int(std::ceil(centre + w)));
        if (right - left + 1 > taps.window)
            ++left;
        double* weights = &taps.weights[std::size_t(i) * std::size_t(taps.window)];
        double sum = 0.0;
        for (int k = left; k <= right; ++k) {
            weights[k - left] = f * KernelValue(kernel, std::abs(centre - k) * f, radius);
            sum += weights[k - left];
        }
        if (sum > 0.0) {
            for (int k = left; k <= right; ++k)
                weights[k - left] /= sum;
            taps.first[std::size_t(i)] = left;
            taps.count[std::size_t(i)] = right - left + 1;
        } else {
            weights[0] = 1.0;
            taps.first[std::size_t(i)] = std::clamp(int(std::floor(centre + 0.5)), 0, n - 1);
            taps.count[std::size_t(i)] = 1;
        }
    }
    return taps;
}

namespace {

using V4d = double __attribute__((vector_size(32)));

void ToDoubles(const std::uint8_t* IMG_RESTRICT src, double* IMG_RESTRICT dst,
               std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = src[i];
}

// One row: every destination pixel is the weighted sum of its taps, four channels at once.
IMG_VECTOR_CLONES
void ResampleRowPass(const double* IMG_RESTRICT src, double* IMG_RESTRICT sums,
                     const ResampleTaps& taps) noexcept {
    const int m = int(taps.first.size());
    for (int i = 0; i < m; ++i) {
        const double* weights = &taps.weights[std::size_t(i) * std::size_t(taps.window)];
        const double* s = src + std::size_t(taps.first[std::size_t(i)]) * 4;
        V4d sum = {0.0, 0.0, 0.0, 0.0};
        for (int t = 0; t < taps.count[std::size_t(i)]; ++t) {
            V4d v;
            __builtin_memcpy(&v, s + 4 * t, sizeof v);
            sum = sum + weights[t] * v;
        }
        __builtin_memcpy(sums + 4 * i, &sum, sizeof sum);
    }
}

// sums[e] += weight * row[e] over a strip of channel values.
IMG_VECTOR_CLONES
void AccumulateStrip(const std::uint8_t* IMG_RESTRICT row, double weight, double* IMG_RESTRICT sums,
                     std::size_t count) noexcept {
    for (std::size_t e = 0; e < count; ++e)
        sums[e] = sums[e] + weight * double(row[e]);
}

IMG_VECTOR_CLONES
void StoreStrip(const double* IMG_RESTRICT sums, std::uint8_t* IMG_RESTRICT dst,
                std::size_t count) noexcept {
#if defined(IMG_HAVE_AVX2_KERNELS)
    if (avx2::Available())
        return avx2::RoundSumsToBytes(sums, dst, count, kTruncSlack);
#endif
    for (std::size_t e = 0; e < count; ++e) {
        double v = sums[e] + 0.5 + kTruncSlack;
        v = std::min(std::max(v, 0.0), 255.0);
        dst[e] = static_cast<std::uint8_t>(static_cast<int>(v));
    }
}

void ColumnPass(const std::uint8_t* intermediate, std::size_t rowBytes, CImageBitmap& destination,
                const ResampleTaps& taps, int from, int to) {
    constexpr std::size_t kStrip = 512; // sums stay in the first-level cache
    double sums[kStrip];
    for (int i = from; i < to; ++i) {
        const double* weights = &taps.weights[std::size_t(i) * std::size_t(taps.window)];
        const std::uint8_t* first =
            intermediate + std::size_t(taps.first[std::size_t(i)]) * rowBytes;
        std::uint8_t* dst = destination.Line(i);
        for (std::size_t e0 = 0; e0 < rowBytes; e0 += kStrip) {
            const std::size_t count = std::min(kStrip, rowBytes - e0);
            std::fill_n(sums, count, 0.0);
            for (int t = 0; t < taps.count[std::size_t(i)]; ++t)
                AccumulateStrip(first + std::size_t(t) * rowBytes + e0, weights[t], sums, count);
            StoreStrip(sums, dst + e0, count);
        }
    }
}

} // namespace

void Resample(const CImageBitmap& source, CImageBitmap& destination, int width, int height,
              double radius, ResampleKernel kernel, CProgressSink* pProgress) {
    const int sourceWidth = source.Width();
    const int sourceHeight = source.Height();
    destination.Create(width, height, 32, source.HasAlpha()); // validates the size first
    const ResampleTaps rowTaps = ComputeTaps(sourceWidth, width, radius, kernel);
    const ResampleTaps columnTaps = ComputeTaps(sourceHeight, height, radius, kernel);

    const std::size_t rowBytes = std::size_t(width) * 4;
    CImageBitmap::CheckSize(width, sourceHeight, 32, rowBytes);
    const auto intermediate = AllocateBytes(rowBytes * std::size_t(sourceHeight));
    // Rows are independent in both passes: bands of them go to the cores (the first band, on
    // this thread, reports progress for all).
    const double rowCost = double(sourceWidth) + double(rowTaps.window) * width;
    ParallelRows(sourceHeight, rowCost, [&](int from, int to, bool reports) {
        std::vector<double> sourceRow(std::size_t(sourceWidth) * 4);
        std::vector<double> rowSums(rowBytes);
        const CRowProgress progress(reports ? pProgress : nullptr, 0.0, 0.5, to - from);
        for (int y = from; y < to; ++y) {
            ToDoubles(source.Line(y), sourceRow.data(), sourceRow.size());
            ResampleRowPass(sourceRow.data(), rowSums.data(), rowTaps);
            StoreStrip(rowSums.data(), intermediate.get() + std::size_t(y) * rowBytes, rowBytes);
            progress.Row(y - from);
        }
    });
    Report(pProgress, 0.5);
    ParallelRows(height, double(columnTaps.window) * double(rowBytes), [&](int from, int to, bool) {
        ColumnPass(intermediate.get(), rowBytes, destination, columnTaps, from, to);
    });
}

} // namespace img
