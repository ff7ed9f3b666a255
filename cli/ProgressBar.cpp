// SPDX-License-Identifier: MIT
#include "ProgressBar.h"

#include <algorithm>
#include <cmath>

namespace cli {

void CProgressBar::Begin(std::string label) {
    Finish();
    m_strLabel = std::move(label);
    m_nPercent = -1;
    SetProgress(0.0);
}

void CProgressBar::SetProgress(double fraction) {
    if (!std::isfinite(fraction))
        return;
    const int percent = std::clamp(static_cast<int>(fraction * 100), 0, 100);
    if (percent == m_nPercent)
        return;
    m_nPercent = percent;
    constexpr int kCells = 30;
    const int filled = percent * kCells / 100;
    std::fprintf(m_pOut, "\r%-24.24s [%s%s] %3d%%", m_strLabel.c_str(),
                 std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(kCells - filled), '.').c_str(), percent);
    std::fflush(m_pOut);
    m_bOpen = true;
}

void CProgressBar::Finish() {
    if (m_bOpen)
        std::fputc('\n', m_pOut);
    m_bOpen = false;
}

} // namespace cli
