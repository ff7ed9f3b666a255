// SPDX-License-Identifier: MIT
// The debug trace: printf-style lines on stderr when QUORVI_TRACE=1, otherwise nothing.
#pragma once

namespace img {

bool TraceEnabled() noexcept;
[[gnu::format(printf, 1, 2)]] void Trace(const char* format, ...) noexcept;

} // namespace img
