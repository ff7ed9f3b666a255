// SPDX-License-Identifier: MIT
// The private X server of the tests: Xvfb started with -displayfd, openbox with our rc.xml.
#include "support/XServer.h"

#include "support/Wait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(20);

// No key bindings at all (openbox's defaults take Print, Alt+Print and many Ctrl+Alt keys);
// click-to-focus and title-bar moves so that window tests behave like a desktop.
constexpr const char* kOpenboxConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse>
    <context name="Client"><mousebind button="Left" action="Press">
      <action name="Focus"/><action name="Raise"/></mousebind></context>
    <context name="Titlebar"><mousebind button="Left" action="Drag">
      <action name="Move"/></mousebind></context>
  </mouse>
</openbox_config>
)";

// Starts argv with the given extra environment; stdout and stderr go to logPath. The child dies
// with the test process (PR_SET_PDEATHSIG), so a crashed test leaves no server behind.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::filesystem::path& logPath, int keepFd = -1) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd)
                close(fd);
        for (const std::string& entry : env)
            putenv(const_cast<char*>(entry.c_str()));
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    if (!WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) != 0; },
                   std::chrono::seconds(5))) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

bool Exited(pid_t pid) {
    return waitpid(pid, nullptr, WNOHANG) == pid;
}

} // namespace

CXServer::CXServer() : CXServer(Options{}) {}

CXServer::CXServer(const Options& options) {
    try {
        StartServer(options);
        if (options.bWindowManager)
            StartWindowManager();
    } catch (...) {
        Stop(m_wmPid);
        Stop(m_serverPid);
        throw;
    }
}

CXServer::~CXServer() {
    Stop(m_wmPid);
    Stop(m_serverPid);
}

void CXServer::StartServer(const Options& options) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    // The write end must survive exec: Xvfb writes the display number there when it is ready.
    const int writeFd = fcntl(fds[1], F_DUPFD, 3);
    close(fds[1]);
    const std::string screen =
        std::to_string(options.cx) + "x" + std::to_string(options.cy) + "x24";
    std::vector<std::string> argv{"Xvfb",      "-displayfd", std::to_string(writeFd),
                                  "-screen",   "0",          screen,
                                  "-nolisten", "tcp",        "-noreset"};
    argv.insert(argv.end(), options.extraArguments.begin(), options.extraArguments.end());
    m_serverPid = Spawn(argv, {}, m_dir.Path() / "xvfb.log", writeFd);
    close(writeFd);
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    for (char c = 0; c != '\n';) {
        pollfd pfd{fds[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0 ||
            read(fds[0], &c, 1) != 1) {
            close(fds[0]);
            throw std::runtime_error("Xvfb did not start:\n" + Log());
        }
        if (c >= '0' && c <= '9')
            number += c;
    }
    close(fds[0]);
    m_strDisplay = ":" + number;
}

void CXServer::StartWindowManager() {
    const std::filesystem::path config = m_dir.Path() / "rc.xml";
    const std::filesystem::path ready = m_dir.Path() / "READY";
    std::ofstream(config) << kOpenboxConfig;
    // A home of its own so that no user configuration or autostart joins in.
    const std::string home = (m_dir.Path() / "home").string();
    std::filesystem::create_directories(home);
    m_wmPid =
        Spawn({"openbox", "--config-file", config.string(), "--startup", "touch " + ready.string()},
              {"DISPLAY=" + m_strDisplay, "HOME=" + home, "XDG_CONFIG_HOME=" + home,
               "XDG_CONFIG_DIRS=" + home},
              m_dir.Path() / "openbox.log");
    bool bExited = false;
    const bool bReady =
        WaitUntil([&] { return std::filesystem::exists(ready) || (bExited = Exited(m_wmPid)); },
                  kStartTimeout);
    if (bExited) {
        m_wmPid = -1;
        throw std::runtime_error("openbox exited:\n" + Log());
    }
    if (!bReady)
        throw std::runtime_error("openbox did not start:\n" + Log());
}

int CXServer::Run(const std::vector<std::string>& argv) const {
    const pid_t pid = Spawn(argv, {"DISPLAY=" + m_strDisplay}, m_dir.Path() / "run.log");
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string CXServer::Log() const {
    return JoinedLogs(m_dir.Path(), {"xvfb.log", "openbox.log"});
}

} // namespace testsupport
