// SPDX-License-Identifier: MIT
// Small helpers of the hook library: owners for xcb replies and events, and the debug trace.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace hook {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;
using XcbEvent = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;
using XcbError = std::unique_ptr<xcb_generic_error_t, FreeDeleter>;

// X protocol error codes the library tells apart.
inline constexpr uint8_t kBadCursor = 6;
inline constexpr uint8_t kBadAccess = 10;

// Lines on stderr, prefixed "tavixhook: ", when QUORVI_TRACE=1; otherwise nothing.
bool TraceEnabled() noexcept;
[[gnu::format(printf, 1, 2)]] void Trace(const char* format, ...) noexcept;

} // namespace hook
