// SPDX-License-Identifier: MIT
// The pickers' desktop questions answered from the X server: window lookups from a snapshot of
// the window stack taken when picking starts (the screen is frozen then), the immediate
// regions live.
#pragma once

#include "capture/DesktopQueries.h"
#include "capture/x11/WindowQueries.h"

#include <unordered_set>

class CX11DesktopQueries : public IDesktopQueries {
public:
    explicit CX11DesktopQueries(const CX11Connection& conn);

    CX11Windows& Windows() noexcept { return m_windows; }
    // Our own windows (main frame, picker overlay): never picked, never the active window.
    void SetExcludedWindows(std::vector<xcb_window_t> windows) {
        m_windows.SetExcludedWindows(std::move(windows));
    }

    // Records the mapped windows, their places and stacking for ControlRectAt and WindowRectAt;
    // call it when a picker starts. Before the first call, and after a failed one (the server
    // did not answer), those lookups find nothing.
    bool Refresh();

    std::optional<capture::Rect> ControlRectAt(capture::Point p) const override;
    std::optional<capture::Rect> WindowRectAt(capture::Point p) const override;
    std::optional<capture::Rect> ActiveWindowRect(bool bClientArea) const override;
    std::optional<capture::Rect> PopupMenuRect() const override;
    capture::Rect DesktopRect() const override;
    std::vector<capture::Rect> MonitorRects() const override;

private:
    struct Node {
        xcb_window_t id = XCB_NONE;
        capture::Rect rc;          // outer rectangle, root coordinates
        capture::Point ptInside;   // where its children's coordinates start
        bool bVisible = false;     // viewable InputOutput window
        std::vector<int> children; // bottom to top
    };

    bool AddChildren(const std::vector<int>& parents, std::vector<int>& added);
    int TopLevelAt(capture::Point p) const;
    int ClientIn(int node) const;
    int DeepestAt(int node, capture::Point p) const;

    CX11Windows m_windows;
    const CX11Connection& m_conn;
    std::vector<Node> m_nodes; // [0] is the root
    std::unordered_set<xcb_window_t> m_clients;
};
