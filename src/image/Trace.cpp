// SPDX-License-Identifier: MIT
#include "image/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace img {

bool TraceEnabled() noexcept {
    static const bool enabled = [] {
        const char* value = std::getenv("QUORVI_TRACE");
        return value && std::strcmp(value, "1") == 0;
    }();
    return enabled;
}

void Trace(const char* format, ...) noexcept {
    if (!TraceEnabled())
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

} // namespace img
