// SPDX-License-Identifier: MIT
// The timing trace.
#include "views/Timing.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace views {

bool TimingEnabled() noexcept {
    static const bool s_bOn = [] {
        const char* pszValue = std::getenv("QUORVI_TIMING");
        return pszValue != nullptr && std::strcmp(pszValue, "0") != 0 && *pszValue != '\0';
    }();
    return s_bOn;
}

void TimingTrace(const char* pszFormat, ...) noexcept {
    if (!TimingEnabled())
        return;
    std::fputs("timing: ", stderr);
    va_list args;
    va_start(args, pszFormat);
    std::vfprintf(stderr, pszFormat, args);
    va_end(args);
    std::fputc('\n', stderr);
}

} // namespace views
