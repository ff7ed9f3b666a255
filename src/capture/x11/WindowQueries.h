// SPDX-License-Identifier: MIT
// Window questions the capture actions ask the X server and the window manager: the active
// window with or without its frame, windows under the pointer, the open popup menu, the
// monitors.
#pragma once

#include "capture/CaptureGeometry.h"
#include "capture/x11/X11Connection.h"

#include <optional>
#include <vector>

struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

class CX11Windows {
public:
    explicit CX11Windows(const CX11Connection& conn);

    // Windows of our own (main frame, picker overlay) that no query returns.
    void SetExcludedWindows(std::vector<xcb_window_t> windows) { m_excluded = std::move(windows); }
    bool IsExcluded(xcb_window_t window) const;

    // The client window the window manager calls active (_NET_ACTIVE_WINDOW), else the client
    // holding the input focus. Empty when none, or when it is one of ours.
    std::optional<xcb_window_t> ActiveWindow() const;
    // The root's child holding `window` (the window manager's frame, or the window itself).
    std::optional<xcb_window_t> TopLevelOf(xcb_window_t window) const;
    // The client window inside a top-level window (the one carrying WM_STATE), else the
    // top-level itself.
    xcb_window_t ClientOf(xcb_window_t topLevel) const;

    std::optional<FrameExtents> FrameExtentsOf(xcb_window_t client) const;
    bool IsMaximized(xcb_window_t client) const;
    // Client window plus its frame. A maximised window loses its sizing border (the frame's
    // thinnest side) and is cut to the monitor it fills.
    std::optional<capture::Rect> FrameRect(xcb_window_t client) const;
    // The client window's inside in root coordinates.
    std::optional<capture::Rect> ClientRect(xcb_window_t client) const;

    // The deepest window under the pointer (descent with QueryPointer), and the top-level it
    // belongs to.
    struct PointerWindows {
        capture::Point ptPointer;
        xcb_window_t topLevel = XCB_NONE;
        xcb_window_t deepest = XCB_NONE;
    };
    std::optional<PointerWindows> WindowUnderPointer() const;

    // The top-most mapped override-redirect window that looks like a popup menu: menu, popup
    // menu, drop-down menu and combo types first; otherwise the top-most untyped or normal one.
    // Tooltips, notifications and windows of at most 2 pixels a side never count.
    std::optional<xcb_window_t> PopupMenuWindow() const;

    // Monitor rectangles from RandR; the root rectangle when there are none.
    std::vector<capture::Rect> MonitorRects() const;

private:
    bool IsOverrideRedirect(xcb_window_t window) const;

    const CX11Connection& m_conn;
    std::vector<xcb_window_t> m_excluded;
};
