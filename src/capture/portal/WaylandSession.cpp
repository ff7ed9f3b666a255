// SPDX-License-Identifier: MIT
// The session check.
#include "capture/portal/WaylandSession.h"

#include <cstdlib>
#include <cstring>

namespace capture {

bool IsWaylandSession() noexcept {
    const char* pszForced = std::getenv("QUORVI_CAPTURE");
    if (pszForced != nullptr && *pszForced != '\0')
        return std::strcmp(pszForced, "portal") == 0;
    const char* pszType = std::getenv("XDG_SESSION_TYPE");
    const char* pszDisplay = std::getenv("WAYLAND_DISPLAY");
    return (pszType != nullptr && std::strcmp(pszType, "wayland") == 0) ||
           (pszDisplay != nullptr && *pszDisplay != '\0');
}

} // namespace capture
