// SPDX-License-Identifier: MIT
// QUORVI_TIMING=1: the desktop program writes how long start-up, opening and painting take to
// stderr, one line each ("timing: ...").
#pragma once

namespace views {

bool TimingEnabled() noexcept;
// One line to stderr when timing is on (the newline is added).
[[gnu::format(printf, 1, 2)]] void TimingTrace(const char* pszFormat, ...) noexcept;

} // namespace views
