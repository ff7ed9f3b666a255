// SPDX-License-Identifier: MIT
// The quorvi-studio processes of the tests.
#include "StudioProcess.h"

#include "support/Wait.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace studiotest {

CStudio::CStudio(const std::string& displayName) : CStudio({}, {}, displayName) {}

CStudio::CStudio(std::vector<std::string> arguments, const std::string& workingDir,
                 const std::string& displayName) {
    std::vector<char*> argv{const_cast<char*>(QUORVI_STUDIO_PATH)};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        if (!displayName.empty())
            setenv("DISPLAY", displayName.c_str(), 1);
        if (!workingDir.empty() && chdir(workingDir.c_str()) != 0)
            _exit(126);
        execv(QUORVI_STUDIO_PATH, argv.data());
        _exit(127);
    }
}

CStudio::~CStudio() {
    if (m_pid > 0 && !m_bExited) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

int CStudio::WaitForExit(std::chrono::milliseconds timeout) {
    int nStatus = 0;
    const bool bEnded =
        testsupport::WaitUntil([&] { return waitpid(m_pid, &nStatus, WNOHANG) == m_pid; }, timeout);
    if (!bEnded)
        return -1;
    m_bExited = true;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

bool CStudio::IsRunning() {
    if (m_bExited)
        return false;
    if (waitpid(m_pid, nullptr, WNOHANG) == m_pid)
        m_bExited = true;
    return !m_bExited;
}

void CStudio::KillOutright() {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_bExited = true;
}

void CStudio::Signal(int nSignal) const {
    kill(m_pid, nSignal);
}

} // namespace studiotest
