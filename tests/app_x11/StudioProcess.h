// SPDX-License-Identifier: MIT
// CStudio: a quorvi-studio process with the test's environment, killed when the object goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace studiotest {

using namespace std::chrono_literals;

// A quorvi-studio process with the test's environment; killed when the object goes.
class CStudio {
public:
    // displayName: the X server to start on; empty for $DISPLAY.
    explicit CStudio(const std::string& displayName = {});
    // Started in workingDir (empty: the test's own) with these arguments after the program name.
    CStudio(std::vector<std::string> arguments, const std::string& workingDir,
            const std::string& displayName = {});
    ~CStudio();
    CStudio(const CStudio&) = delete;
    CStudio& operator=(const CStudio&) = delete;

    pid_t Pid() const noexcept { return m_pid; }
    // The exit status once it has ended within the timeout, or -1 (also for an end by a signal).
    int WaitForExit(std::chrono::milliseconds timeout = 10s);
    bool IsRunning();
    void KillOutright();
    // Sends nSignal (SIGTERM, SIGHUP, ...) and nothing else.
    void Signal(int nSignal) const;

private:
    pid_t m_pid = -1;
    bool m_bExited = false;
};

} // namespace studiotest
