// SPDX-License-Identifier: MIT
// What the pickers ask of the desktop: windows at a point and the regions of the immediate
// actions. The X11 implementation is CX11DesktopQueries; tests give their own layouts.
#pragma once

#include "capture/CaptureGeometry.h"

#include <optional>
#include <vector>

class IDesktopQueries {
public:
    virtual ~IDesktopQueries() = default;

    // The innermost child window (one that is not a top-level window) at p.
    virtual std::optional<capture::Rect> ControlRectAt(capture::Point p) const = 0;
    // The top-level window at p, with its window-manager frame.
    virtual std::optional<capture::Rect> WindowRectAt(capture::Point p) const = 0;
    // The active window with its frame (maximised: without its sizing border), or its client
    // area. Empty when there is no usable active window.
    virtual std::optional<capture::Rect> ActiveWindowRect(bool bClientArea) const = 0;
    // The top-most popup menu on screen.
    virtual std::optional<capture::Rect> PopupMenuRect() const = 0;
    // The whole root window.
    virtual capture::Rect DesktopRect() const = 0;
    // Monitor rectangles; at least one (the root) when the server has no monitor list.
    virtual std::vector<capture::Rect> MonitorRects() const = 0;
};
