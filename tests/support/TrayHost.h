// SPDX-License-Identifier: MIT
// A minimal XEmbed system-tray host for tests: owns _NET_SYSTEM_TRAY_S0 on a display, announces
// itself with the MANAGER message and docks every icon that asks into a strip at the top right
// of the screen, so that QSystemTrayIcon has a tray to live in under Xvfb.
#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class CTrayHost {
public:
    static constexpr int kIconSize = 24;

    // Connects, takes the selection and starts serving; throws std::runtime_error when the
    // display cannot be opened or another tray owns the selection.
    explicit CTrayHost(const std::string& displayName);
    // Gives the selection up; docked icons go back to the root window with the connection.
    ~CTrayHost();
    CTrayHost(const CTrayHost&) = delete;
    CTrayHost& operator=(const CTrayHost&) = delete;

    // The icon windows docked so far, in order.
    std::vector<xcb_window_t> Docked() const;
    // Waits until at least nCount icons are docked; false on timeout.
    bool WaitForDocked(size_t nCount,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Root coordinates of the middle of docked icon nIndex.
    std::pair<int, int> IconCentre(size_t nIndex) const;
    // Root coordinates of the middle of this icon window while it sits in the strip, mapped;
    // nothing otherwise (not docked yet, or docked again under a new window).
    std::optional<std::pair<int, int>> CentreOf(xcb_window_t icon) const;

private:
    void Serve();
    void Dock(xcb_window_t icon);

    xcb_connection_t* m_pConnection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_strip = XCB_NONE;
    int m_xStrip = 0;
    xcb_atom_t m_opcode = XCB_NONE;
    mutable std::mutex m_mutex;
    std::vector<xcb_window_t> m_docked;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

} // namespace testsupport
