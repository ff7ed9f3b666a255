// SPDX-License-Identifier: MIT
// Bitmap copies and depth conversions on a 3840x2160 image, beside a memcpy of the same bytes.
// bench-libs: quorvi_image
#include "image/DisplayBitmap.h"
#include "image/MemoryBitmap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

void FillNoise(CImageBitmap& b) {
    std::mt19937 rng(42);
    for (int y = 0; y < b.Height(); ++y) {
        auto* row = b.Line(y);
        for (std::size_t i = 0; i < b.PixelBytesPerLine(); ++i)
            row[i] = std::uint8_t(rng());
    }
}

// memcpy of `bytes`: the ceiling every conversion is measured against.
void BM_Memcpy(benchmark::State& state, std::size_t bytes) {
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

// Copies source (at sourceDepth) into a CDisplayBitmap at targetDepth. Bytes processed are the
// larger of the two images: what a memory-bound conversion must at least touch.
void BM_CreateCopy(benchmark::State& state, int sourceDepth, int targetDepth) {
    CDisplayBitmap source;
    source.Create(kWidth, kHeight, sourceDepth);
    FillNoise(source);
    CDisplayBitmap target;
    target.Create(kWidth, kHeight, targetDepth);
    for (auto _ : state) {
        target.CreateCopy(source, targetDepth);
        benchmark::DoNotOptimize(target.Bits());
    }
    const std::size_t bytes =
        std::max(source.PixelBytesPerLine(), target.PixelBytesPerLine()) * kHeight;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

const std::size_t kBytes32 = std::size_t(kWidth) * kHeight * 4;

BENCHMARK_CAPTURE(BM_Memcpy, image32, kBytes32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateCopy, same_depth_32, 32, 32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateCopy, d8_to_32, 8, 32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateCopy, d32_to_1, 32, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateCopy, d1_to_32, 1, 32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateCopy, d32_to_8_quantise, 32, 8)->Unit(benchmark::kMillisecond);

} // namespace
