// SPDX-License-Identifier: MIT
// Splitting a loop over independent rows between the processor's cores.
#pragma once

#include <functional>

namespace img {

// Calls band(begin, end) on contiguous bands covering rows [0, rows), the first band on the
// calling thread and the others on threads of their own, and returns when all are done. Small
// jobs (rows x costPerRow below what pays for a thread) stay on the calling thread. band must not
// throw and must write only its own rows; only the first band may report progress, so that a
// progress receiver is only ever called from the caller's thread.
void ParallelRows(int rows, double costPerRow, const std::function<void(int, int, bool)>& band);

} // namespace img
