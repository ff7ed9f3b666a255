// SPDX-License-Identifier: MIT
// Double-click detection from server timestamps (X reports single presses only).
#pragma once

#include <cstdint>

namespace hook {

class CClickTracker {
public:
    // Half the side of the square around the first press in which the second must land.
    static constexpr int kSlop = 2;

    // A left press at server time (ms) and root position; true when it completes a double click
    // with the previous left press. A completed pair is forgotten, so a third press starts anew.
    bool OnLeftPress(uint32_t time, int x, int y, uint32_t maxIntervalMs) noexcept;
    // Any other button breaks a pair in progress.
    void Reset() noexcept { m_bPending = false; }

private:
    bool m_bPending = false;
    uint32_t m_nTime = 0;
    int m_x = 0;
    int m_y = 0;
};

} // namespace hook
