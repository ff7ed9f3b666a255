// SPDX-License-Identifier: MIT
// Windows with known pixels for the X11 capture tests, made by the test as another program
// would make them.
#pragma once

#include "capture/CaptureGeometry.h"
#include "image/Pixel.h"
#include "support/Wait.h"

#include <xcb/xcb.h>

#include <functional>
#include <string>
#include <vector>

namespace capturetest {

// The colour a test window shows at its pixel (x, y): distinct along rows and columns.
RGBQuad PatternPixel(int x, int y, int seed);
// What a grab of a screen of that depth gives back for colour q (depth 16 keeps 5-6-5 bits and
// stretches them back to 8).
RGBQuad ScreenPixel(RGBQuad q, int depth);

class CTestWindow {
public:
    struct Options {
        capture::Rect rc{100, 100, 400, 300}; // relative to the parent
        int seed = 0;
        bool bOverrideRedirect = false;
        std::vector<std::string> types{}; // _NET_WM_WINDOW_TYPE_* names
        xcb_window_t parent = XCB_NONE;   // the root when none
        bool bMap = true;
        xcb_cursor_t cursor = XCB_NONE;
    };

    // Creates the window with the pattern as its background (so the server repaints it by
    // itself) and maps it. Throws std::runtime_error when the server refuses.
    CTestWindow(xcb_connection_t* conn, const Options& options);
    ~CTestWindow();
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    xcb_window_t Id() const noexcept { return m_window; }
    void Map();
    void Unmap();
    // Waits until the window is viewable and, for a managed window, framed by the window manager.
    bool WaitMapped(bool bManaged) const;

private:
    xcb_connection_t* m_pConn;
    xcb_window_t m_window = XCB_NONE;
    xcb_pixmap_t m_pixmap = XCB_NONE;
};

xcb_atom_t InternAtom(xcb_connection_t* conn, const std::string& name);

// Waits until no window that `owner` made is managed by the window manager or viewable at the
// top level: the window manager lets go of destroyed windows only when it gets to their
// destruction, and a test that follows at once would meet it still busy with them. Tests share
// one owner connection for their windows: a closed connection's window ids go to the next
// connection, and the window manager keeps naming a destroyed window active.
bool WaitWindowsGone(xcb_connection_t* owner, int timeoutMs = 5000);
// The window the window manager names active, or None.
xcb_window_t ActiveWindow(xcb_connection_t* conn);
// The managed, active and viewable top-level windows, for failure messages.
std::string DescribeDesktop(xcb_connection_t* conn);
// Asks the window manager to maximise a managed window.
void RequestMaximize(xcb_connection_t* conn, xcb_window_t window);

} // namespace capturetest
