// SPDX-License-Identifier: MIT
// A private X server for tests: Xvfb on a free display plus openbox with a configuration that
// binds no keys. Both are killed when the object goes.
#pragma once

#include "support/Programs.h"

#include "support/TestSupport.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

class CXServer {
public:
    struct Options {
        int cx = 1280;
        int cy = 1024;
        bool bWindowManager = true;
        std::vector<std::string> extraArguments; // appended to Xvfb's command line
    };

    // Starts the server and waits until it, and the window manager, are ready.
    // Throws std::runtime_error (with the server's log) when either does not come up.
    CXServer();
    explicit CXServer(const Options& options);
    ~CXServer();
    CXServer(const CXServer&) = delete;
    CXServer& operator=(const CXServer&) = delete;

    // ":N", for xcb_connect and for DISPLAY.
    const std::string& DisplayName() const noexcept { return m_strDisplay; }
    // Runs a program (searched in PATH) with DISPLAY set to this server; its exit status, or -1.
    int Run(const std::vector<std::string>& argv) const;
    // The directory holding the logs and the window manager's configuration.
    const std::filesystem::path& Directory() const noexcept { return m_dir.Path(); }

private:
    void StartServer(const Options& options);
    void StartWindowManager();
    std::string Log() const;

    CTempDir m_dir;
    std::string m_strDisplay;
    pid_t m_serverPid = -1;
    pid_t m_wmPid = -1;
};

} // namespace testsupport

// Fails the current test, saying what to install, when Xvfb or openbox is missing.
#define REQUIRE_X_SERVER_PROGRAMS()                                                                \
    do {                                                                                           \
        if (!testsupport::HaveProgram("Xvfb") || !testsupport::HaveProgram("openbox"))             \
            FAIL() << "Xvfb and openbox are needed (run scripts/install-deps.sh)";                 \
    } while (0)
