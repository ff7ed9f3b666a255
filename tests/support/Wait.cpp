// SPDX-License-Identifier: MIT
#include "support/Wait.h"

#include <algorithm>
#include <thread>

namespace testsupport {

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout,
               const IdleFn& idle) {
    using namespace std::chrono;
    // Short enough that a passing test hardly notices, long enough not to burn a shared core.
    constexpr milliseconds kSlice(5);
    const auto deadline = steady_clock::now() + timeout;
    while (!pred()) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0)
            return false;
        const milliseconds slice = std::min(kSlice, left);
        if (idle)
            idle(slice);
        else
            std::this_thread::sleep_for(slice);
    }
    return true;
}

} // namespace testsupport
