// SPDX-License-Identifier: MIT
// Double-click detection.
#include "ClickTracker.h"

#include <cstdlib>

namespace hook {

bool CClickTracker::OnLeftPress(uint32_t time, int x, int y, uint32_t maxIntervalMs) noexcept {
    // Server time is a 32-bit millisecond counter that wraps after about 49 days; the unsigned
    // difference stays right across the wrap.
    const bool bDouble = m_bPending && time - m_nTime <= maxIntervalMs &&
                         std::abs(x - m_x) <= kSlop && std::abs(y - m_y) <= kSlop;
    m_bPending = !bDouble;
    m_nTime = time;
    m_x = x;
    m_y = y;
    return bDouble;
}

} // namespace hook
