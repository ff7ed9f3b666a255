// SPDX-License-Identifier: MIT
// The image operations on a 3840x2160 32-bpp image, single-threaded, beside a memcpy of the
// same bytes. Each run builds the destination as the document's commands do (Apply into a
// bitmap that is re-created every time).
// bench-libs: quorvi_image
#include "image/BrightnessFilter.h"
#include "image/ContrastFilter.h"
#include "image/CropFilter.h"
#include "image/FilterSupport.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/GrayscaleFilter.h"
#include "image/IntensityFilter.h"
#include "image/InvertFilter.h"
#include "image/MemoryBitmap.h"
#include "image/ResampleFilter.h"
#include "image/RotateFilter.h"
#include "image/RotateKernels.h"
#include "image/SimpleResizeFilter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr std::size_t kBytes = std::size_t(kWidth) * kHeight * 4;
constexpr double kDegree = CRotateFilter::kRadiansPerDegree;

const CMemoryBitmap& Source() {
    static const std::unique_ptr<CMemoryBitmap> source = [] {
        auto b = std::make_unique<CMemoryBitmap>();
        b->Create(kWidth, kHeight, 32);
        std::mt19937 rng(42);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                b->Row<std::uint32_t>(y)[x] = rng();
        return b;
    }();
    return *source;
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<std::uint8_t> src(kBytes, 1), dst(kBytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kBytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

template <class MakeFilter> void RunFilter(benchmark::State& state, MakeFilter make) {
    const CMemoryBitmap& source = Source();
    CMemoryBitmap destination;
    auto filter = make();
    for (auto _ : state) {
        filter->Apply(source, destination);
        benchmark::DoNotOptimize(destination.Bits());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

#define FILTER_BENCH(name, Type, ...)                                                              \
    void BM_##name(benchmark::State& state) {                                                      \
        RunFilter(state, [] { return std::make_unique<Type>(__VA_ARGS__); });                      \
    }                                                                                              \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
// Point operations and flips (aim: within 2x of memcpy).
FILTER_BENCH(Brightness, CBrightnessFilter, 19);
FILTER_BENCH(Contrast, CContrastFilter, 1.5, 125);
FILTER_BENCH(Grayscale, CGrayscaleFilter);
FILTER_BENCH(Invert, CInvertFilter);
FILTER_BENCH(FlipHorizontal, CFlipHorizontalFilter);
FILTER_BENCH(FlipVertical, CFlipVerticalFilter);
FILTER_BENCH(Intensity, CIntensityFilter, 60, 128, 1.0);
FILTER_BENCH(Crop, CCropFilter, 960, 2880, 540, 1620);
// Quarter turns (aim: within 3x) and any angle (aim: within 4x).
FILTER_BENCH(RotateCounterClockwise, CRotateFilter, CRotateFilter::kQuarterTurnCounterClockwise,
             RGBQuad{});
FILTER_BENCH(RotateClockwise, CRotateFilter, CRotateFilter::kQuarterTurnClockwise, RGBQuad{});
FILTER_BENCH(Rotate180, CRotateFilter, 180 * kDegree, RGBQuad{});
FILTER_BENCH(Rotate30, CRotateFilter, 30 * kDegree, RGBQuad{192, 192, 192, 255});
FILTER_BENCH(Rotate45, CRotateFilter, 45 * kDegree, RGBQuad{192, 192, 192, 255});
// The any-angle loop alone, into a destination whose pages are already mapped: the difference
// to Rotate30 is what the fresh destination's page faults and clearing cost.
void BM_Rotate30Loop(benchmark::State& state) {
    const CMemoryBitmap& source = Source();
    img::RotationMap map;
    map.c = std::cos(-30 * kDegree);
    map.s = std::sin(-30 * kDegree);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (auto [x, y] : {std::pair{kWidth - 1, 0}, std::pair{0, kHeight - 1},
                        std::pair{kWidth - 1, kHeight - 1}}) {
        const int mx = int(std::floor(map.c * x - map.s * y + 0.5));
        const int my = int(std::floor(map.s * x + map.c * y + 0.5));
        minX = std::min(minX, mx), maxX = std::max(maxX, mx), minY = std::min(minY, my),
        maxY = std::max(maxY, my);
    }
    map.minX = minX;
    map.minY = minY;
    CMemoryBitmap destination;
    destination.Create(maxX - minX + 1, maxY - minY + 1, 32);
    const img::CRowProgress progress(nullptr, 0.01, 0.99, maxY - minY);
    for (auto _ : state) {
        img::RotateAnyAngle(source, destination, map, 0xFFC0C0C0u, progress);
        benchmark::DoNotOptimize(destination.Bits());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}
BENCHMARK(BM_Rotate30Loop)->Unit(benchmark::kMillisecond);
// Resampling to 50 % and 200 % per kernel, radius 1 (the scale dialog's default).
FILTER_BENCH(ResizeBilinear50, CSimpleResizeFilter, kWidth / 2, kHeight / 2);
FILTER_BENCH(ResizeBilinear200, CSimpleResizeFilter, kWidth * 2, kHeight * 2);
FILTER_BENCH(ResizeBox50, CResampleFilter, kWidth / 2, kHeight / 2, 1.0, img::ResampleKernel::Box);
FILTER_BENCH(ResizeBox200, CResampleFilter, kWidth * 2, kHeight * 2, 1.0, img::ResampleKernel::Box);
FILTER_BENCH(ResizeGaussian50, CResampleFilter, kWidth / 2, kHeight / 2, 1.0,
             img::ResampleKernel::Gaussian);
FILTER_BENCH(ResizeGaussian200, CResampleFilter, kWidth * 2, kHeight * 2, 1.0,
             img::ResampleKernel::Gaussian);
FILTER_BENCH(ResizeHamming50, CResampleFilter, kWidth / 2, kHeight / 2, 1.0,
             img::ResampleKernel::Hamming);
FILTER_BENCH(ResizeHamming200, CResampleFilter, kWidth * 2, kHeight * 2, 1.0,
             img::ResampleKernel::Hamming);

} // namespace
