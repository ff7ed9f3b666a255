// SPDX-License-Identifier: MIT
// Ellipse and polygon capture shapes on a 3840x2160 bitmap, beside a memcpy of the same bytes.
// bench-libs: quorvi_capture
#include "capture/RegionMask.h"
#include "image/MemoryBitmap.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr std::int64_t kBytes = std::int64_t(kWidth) * kHeight * 4;

void BM_FillOutsideEllipse(benchmark::State& state) {
    CMemoryBitmap b;
    b.Create(kWidth, kHeight, 32);
    for (auto _ : state) {
        capture::FillOutsideEllipse(b, RGBQuad{1, 2, 3, 0});
        benchmark::DoNotOptimize(b.Bits());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// A 35-point star, the most a polygon picker can make.
void BM_FillOutsidePolygon(benchmark::State& state) {
    std::vector<capture::Point> star;
    for (int i = 0; i < 35; ++i) {
        const double a = i * 2 * 3.14159265358979 / 35 * 17; // step 17 of 35: self-intersecting
        star.push_back({int(kWidth / 2 + std::cos(a) * kWidth / 2),
                        int(kHeight / 2 + std::sin(a) * kHeight / 2)});
    }
    CMemoryBitmap b;
    b.Create(kWidth, kHeight, 32);
    for (auto _ : state) {
        capture::FillOutsidePolygon(b, star, capture::FillRule::Winding, RGBQuad{1, 2, 3, 0});
        benchmark::DoNotOptimize(b.Bits());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<std::uint8_t> src(kBytes, 1), dst(kBytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), std::size_t(kBytes));
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

} // namespace

BENCHMARK(BM_FillOutsideEllipse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillOutsidePolygon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
