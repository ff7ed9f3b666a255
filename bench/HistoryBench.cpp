// SPDX-License-Identifier: MIT
// What the command history adds to an operation on a 3840x2160 32-bpp image: the copy a
// command takes, the restore of an undo and the filter run of a redo, beside a memcpy.
// bench-libs: quorvi_image
#include "HistoryBenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using historybench::CBenchDocument;

std::size_t ImageBytes() {
    return std::size_t(historybench::kWidth) * historybench::kHeight * 4;
}

void SetImageBytes(benchmark::State& state) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(ImageBytes()));
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<std::uint8_t> src(ImageBytes(), 1), dst(ImageBytes());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    SetImageBytes(state);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// The filter alone, applied in place: the part of an operation that is not the history's.
void BM_FilterInPlace(benchmark::State& state) {
    CBenchDocument doc;
    historybench::CComplementFilter filter;
    for (auto _ : state)
        filter.ApplyInPlace(doc.ImageForCommands());
    SetImageBytes(state);
}
BENCHMARK(BM_FilterInPlace)->Unit(benchmark::kMillisecond);

// Build the command (image copy) and record it in a full ring, which drops the oldest.
void BM_RecordOperationRingFull(benchmark::State& state) {
    CBenchDocument doc;
    for (int i = 0; i < CCommandHistory::kRingSize; ++i)
        doc.ExecuteAndRecord(doc.Operation(), true);
    for (auto _ : state)
        doc.ExecuteAndRecord(doc.Operation(), true);
    SetImageBytes(state);
}
BENCHMARK(BM_RecordOperationRingFull)->Unit(benchmark::kMillisecond);

void BM_Undo(benchmark::State& state) {
    CBenchDocument doc;
    doc.ExecuteAndRecord(doc.Operation(), true);
    for (auto _ : state) {
        doc.Undo();
        state.PauseTiming();
        doc.Redo();
        state.ResumeTiming();
    }
    SetImageBytes(state);
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond);

void BM_Redo(benchmark::State& state) {
    CBenchDocument doc;
    doc.ExecuteAndRecord(doc.Operation(), true);
    for (auto _ : state) {
        state.PauseTiming();
        doc.Undo();
        state.ResumeTiming();
        doc.Redo();
    }
    SetImageBytes(state);
}
BENCHMARK(BM_Redo)->Unit(benchmark::kMillisecond);

} // namespace
