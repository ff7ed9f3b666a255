// SPDX-License-Identifier: MIT
// Reading a settings file with many values in one key, or many sibling keys: the time per name
// stays flat as the count grows (each name is found through the key's index), and so does the
// round trip through the text form.
// bench-libs: quorvi_platform
#include "platform/RegistryHive.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string ManyValues(std::int64_t nCount) {
    std::string text = "Quorvi Registry Hive 1\n[software\\Quorvi\\Quorvi Studio\\Big]\n";
    for (std::int64_t i = 0; i < nCount; ++i)
        text += "\"Value" + std::to_string(i) + "\"=\"some text\"\n";
    return text + "; end of hive\n";
}

std::string ManySiblingKeys(std::int64_t nCount) {
    std::string text = "Quorvi Registry Hive 1\n";
    for (std::int64_t i = 0; i < nCount; ++i)
        text += "[software\\Quorvi\\Quorvi Studio\\Key" + std::to_string(i) + "]\n\"V\"=dword:1\n";
    return text + "; end of hive\n";
}

void Parse(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto hive = platform::CRegistryHive::Parse(text);
        if (!hive)
            state.SkipWithError("the text did not parse");
        benchmark::DoNotOptimize(hive);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ParseManyValues(benchmark::State& state) {
    Parse(state, ManyValues(state.range(0)));
}

void BM_ParseManySiblingKeys(benchmark::State& state) {
    Parse(state, ManySiblingKeys(state.range(0)));
}

void BM_RoundTripManyValues(benchmark::State& state) {
    const auto hive = platform::CRegistryHive::Parse(ManyValues(state.range(0)));
    for (auto _ : state) {
        auto again = platform::CRegistryHive::Parse(hive->Serialize());
        benchmark::DoNotOptimize(again && *again == *hive);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ParseManyValues)->Arg(10000)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);
// Up to the bound on keys a file may hold (kMaxHiveKeys).
BENCHMARK(BM_ParseManySiblingKeys)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(65000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTripManyValues)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
