// SPDX-License-Identifier: MIT
// CFrozenDesktopQueries: the desktop as a portal picture shows it: one monitor the size of the
// picture and no windows, which a Wayland session does not show to programs.
#pragma once

#include "capture/DesktopQueries.h"

class CFrozenDesktopQueries final : public IDesktopQueries {
public:
    void SetDesktop(const capture::Rect& rc) noexcept { m_rcDesktop = rc; }

    std::optional<capture::Rect> ControlRectAt(capture::Point) const override { return {}; }
    std::optional<capture::Rect> WindowRectAt(capture::Point) const override { return {}; }
    std::optional<capture::Rect> ActiveWindowRect(bool) const override { return {}; }
    std::optional<capture::Rect> PopupMenuRect() const override { return {}; }
    capture::Rect DesktopRect() const override { return m_rcDesktop; }
    std::vector<capture::Rect> MonitorRects() const override { return {m_rcDesktop}; }

private:
    capture::Rect m_rcDesktop;
};
