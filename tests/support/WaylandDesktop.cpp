// SPDX-License-Identifier: MIT
// The headless Wayland desktop of the tests and the programs run in it.
#include "support/WaylandDesktop.h"

#include "support/Programs.h"
#include "support/Wait.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {
namespace {

// sway, XWayland and the portal with its helpers come up in a few seconds; a loaded machine may
// take many times that.
constexpr auto kStartTimeout = std::chrono::seconds(90);

void ApplyEnvironment(const std::vector<std::string>& env) {
    for (const std::string& entry : env) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string name = entry.substr(0, eq);
        const std::string value = entry.substr(eq + 1);
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
}

// Starts argv with env applied, output to log; with bGroup in a process group of its own.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::filesystem::path& log, bool bGroup) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (bGroup)
            setpgid(0, 0);
        else
            prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
        }
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0)
            dup2(null, STDIN_FILENO);
        for (int other = 3; other < 256; ++other)
            close(other);
        ApplyEnvironment(env);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

std::map<std::string, std::string> ReadEnvFile(const std::filesystem::path& file) {
    std::map<std::string, std::string> env;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            env[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return env;
}

} // namespace

std::vector<std::string> CWaylandDesktop::MissingPrograms() {
    std::vector<std::string> missing;
    for (const char* name : {"sway", "grim", "dbus-run-session", "gdbus", "pipewire", "xhost"})
        if (!HaveProgram(name))
            missing.emplace_back(name);
    for (const char* path :
         {"/usr/libexec/xdg-desktop-portal", "/usr/libexec/xdg-desktop-portal-wlr",
          "/usr/libexec/xdg-desktop-portal-gtk", "/usr/bin/Xwayland"})
        if (access(path, X_OK) != 0)
            missing.emplace_back(path);
    return missing;
}

CWaylandDesktop::CWaylandDesktop(const Options& options) {
    std::vector<std::string> argv{QUORVI_WAYLAND_SESSION_SCRIPT, m_dir.Path().string()};
    if (!options.bPortalBackend)
        argv.emplace_back("--no-portal-backend");
    m_pid = Start(argv,
                  {"WAYLAND_DISPLAY=", "DISPLAY=", "DBUS_SESSION_BUS_ADDRESS=", "QT_QPA_PLATFORM=",
                   "QUORVI_WAYLAND_OWNER=" + std::to_string(getpid())},
                  m_dir.Path() / "session.log", true);
    const std::filesystem::path envFile = m_dir.Path() / "env";
    const bool bUp = WaitUntil(
        [&] { return std::filesystem::exists(envFile) || waitpid(m_pid, nullptr, WNOHANG) != 0; },
        kStartTimeout);
    if (!bUp || !std::filesystem::exists(envFile))
        throw std::runtime_error("the Wayland session did not start:\n" + Log());
    m_env = ReadEnvFile(envFile);
    m_env["XDG_SESSION_TYPE"] = "wayland";
}

CWaylandDesktop::~CWaylandDesktop() {
    if (m_pid <= 0)
        return;
    // The bus starts the portal and its helpers in the script's group: the group ends together.
    kill(-m_pid, SIGTERM);
    if (!WaitUntil([this] { return waitpid(m_pid, nullptr, WNOHANG) != 0; },
                   std::chrono::seconds(5)))
        kill(-m_pid, SIGKILL);
    kill(-m_pid, SIGKILL); // helpers that outlive the script
    waitpid(m_pid, nullptr, 0);
}

std::vector<std::string> CWaylandDesktop::Environment() const {
    std::vector<std::string> env;
    for (const auto& [name, value] : m_env)
        env.push_back(name + "=" + value);
    return env;
}

bool CWaylandDesktop::Grim(const std::filesystem::path& png, const std::string& strGeometry) const {
    std::vector<std::string> argv{"env", "WAYLAND_DISPLAY=" + m_env.at("WAYLAND_DISPLAY"), "grim"};
    if (!strGeometry.empty()) {
        argv.emplace_back("-g");
        argv.push_back(strGeometry);
    }
    argv.push_back(png.string());
    return RunProgram(argv).has_value();
}

std::string CWaylandDesktop::FocusedWindow() const {
    const std::optional<std::string> tree =
        RunProgram({"swaymsg", "-s", m_env.at("SWAYSOCK"), "-t", "get_tree"});
    if (!tree)
        return {};
    const std::size_t start = tree->find("\"focused\": true");
    if (start == std::string::npos)
        return {};
    const std::size_t end = tree->find("\"focused\":", start + 1);
    return tree->substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string CWaylandDesktop::Log() const {
    return JoinedLogs(m_dir.Path(), {"session.log", "sway.log"});
}

CSessionProcess::CSessionProcess(const CWaylandDesktop& desktop,
                                 const std::vector<std::string>& argv,
                                 const std::vector<std::string>& env, std::filesystem::path log)
    : m_log(std::move(log)) {
    std::vector<std::string> all = desktop.Environment();
    all.insert(all.end(), env.begin(), env.end());
    m_pid = Start(argv, all, m_log, false);
}

CSessionProcess::~CSessionProcess() {
    if (m_pid > 0 && !m_bEnded) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

std::optional<int> CSessionProcess::WaitForExit(std::chrono::milliseconds timeout) {
    int nStatus = 0;
    if (!m_bEnded &&
        !WaitUntil([&] { return waitpid(m_pid, &nStatus, WNOHANG) == m_pid; }, timeout))
        return std::nullopt;
    m_bEnded = true;
    if (!WIFEXITED(nStatus))
        return std::nullopt;
    return WEXITSTATUS(nStatus);
}

std::string CSessionProcess::Output() const {
    std::ifstream in(m_log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool CSessionProcess::WaitForOutput(const std::string& strText,
                                    std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Output().find(strText) != std::string::npos; }, timeout);
}

} // namespace testsupport
