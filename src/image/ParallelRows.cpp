// SPDX-License-Identifier: MIT
#include "image/ParallelRows.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace img {
namespace {

// About half a millisecond of row work: starting and joining a thread costs far less.
constexpr double kWorkPerThread = 1 << 20;
constexpr unsigned kMaxThreads = 8;

unsigned BandCount(int rows, double costPerRow) {
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads));
    const double work = double(rows) * costPerRow;
    const auto worth = static_cast<unsigned>(std::max(1.0, work / kWorkPerThread));
    return std::min({cores, worth, static_cast<unsigned>(std::max(rows, 1))});
}

} // namespace

void ParallelRows(int rows, double costPerRow, const std::function<void(int, int, bool)>& band) {
    const unsigned bands = BandCount(rows, costPerRow);
    const auto edge = [rows, bands](unsigned k) { return int(std::int64_t(rows) * k / bands); };
    std::vector<std::thread> helpers;
    helpers.reserve(bands - 1);
    for (unsigned k = 1; k < bands; ++k)
        helpers.emplace_back([&band, from = edge(k), to = edge(k + 1)] { band(from, to, false); });
    band(0, edge(1), true);
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace img
