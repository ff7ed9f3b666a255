// SPDX-License-Identifier: MIT
// CWaylandDesktop: a private headless Wayland desktop for tests (sway, XWayland, PipeWire, the
// desktop portal with the wlroots backend, on a D-Bus session bus of its own), started by
// wayland/wayland-session.sh and ended with everything it started when the object goes. Programs
// run with Environment() see it as their session.
#pragma once

#include "support/TestSupport.h"

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class CWaylandDesktop {
public:
    struct Options {
        bool bPortalBackend = true; // false: the portal runs but offers no screenshots
    };
    static constexpr int kWidth = 1920;
    static constexpr int kHeight = 1080;

    // Starts the session and waits until the portal answers. Throws std::runtime_error, with
    // the session's logs, when it does not come up.
    explicit CWaylandDesktop(const Options& options);
    ~CWaylandDesktop();
    CWaylandDesktop(const CWaylandDesktop&) = delete;
    CWaylandDesktop& operator=(const CWaylandDesktop&) = delete;

    // The programs the session needs that are missing from PATH (empty: all there).
    static std::vector<std::string> MissingPrograms();

    // WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, DISPLAY (XWayland), SWAYSOCK and
    // XDG_SESSION_TYPE, as NAME=VALUE.
    std::vector<std::string> Environment() const;
    const std::string& Value(const std::string& strName) const { return m_env.at(strName); }
    // The reference grab: grim's PNG of the whole output or of x,y wxh.
    bool Grim(const std::filesystem::path& png, const std::string& strGeometry = {}) const;
    std::string Log() const;
    // What sway says of the window with the keyboard focus (its part of the layout tree, from
    // its "focused" key to the next node's), or "" when no window has it.
    std::string FocusedWindow() const;

private:
    CTempDir m_dir;
    pid_t m_pid = -1; // the session script, leader of its own process group
    std::map<std::string, std::string> m_env;
};

// A program started in the desktop's session with stdout and stderr in a log; killed when the
// object goes.
class CSessionProcess {
public:
    // env: extra NAME=VALUE entries (NAME= alone removes it), after the desktop's.
    CSessionProcess(const CWaylandDesktop& desktop, const std::vector<std::string>& argv,
                    const std::vector<std::string>& env, std::filesystem::path log);
    ~CSessionProcess();
    CSessionProcess(const CSessionProcess&) = delete;
    CSessionProcess& operator=(const CSessionProcess&) = delete;

    // The exit status once it has ended within the timeout; nothing otherwise (or on a signal).
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // What it has written so far.
    std::string Output() const;
    // Waits until its output holds strText.
    bool WaitForOutput(const std::string& strText,
                       std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    pid_t Pid() const noexcept { return m_pid; }

private:
    pid_t m_pid = -1;
    bool m_bEnded = false;
    std::filesystem::path m_log;
};

} // namespace testsupport
