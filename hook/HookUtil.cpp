// SPDX-License-Identifier: MIT
// The hook library's debug trace.
#include "HookUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace hook {

// Read at each line: traces are rare, and a test can switch them on after start-up.
bool TraceEnabled() noexcept {
    const char* value = std::getenv("QUORVI_TRACE");
    return value && std::strcmp(value, "1") == 0;
}

void Trace(const char* format, ...) noexcept {
    if (!TraceEnabled())
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // One write per line so traces of several processes on one terminal do not interleave.
    std::fprintf(stderr, "tavixhook: %s\n", line);
}

} // namespace hook
