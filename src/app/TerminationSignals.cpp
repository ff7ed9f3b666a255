// SPDX-License-Identifier: MIT
// The termination signals through a self-pipe.
#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler can reach nothing but a plain value: the write end of the pipe.
std::atomic<int> s_fdSignalWrite{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnTerminationSignal(int nSignal) {
    const int nSavedErrno = errno;
    const auto byte = static_cast<unsigned char>(nSignal);
    // A full pipe already holds requests enough; the byte may be dropped.
    [[maybe_unused]] const ssize_t n = ::write(s_fdSignalWrite.load(), &byte, 1);
    errno = nSavedErrno;
}

void SetHandler(int nSignal, void (*pHandler)(int)) {
    struct sigaction action {};
    action.sa_handler = pHandler;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls elsewhere in the program resume instead of failing with EINTR.
    action.sa_flags = SA_RESTART;
    ::sigaction(nSignal, &action, nullptr);
}

} // namespace

CTerminationSignals::CTerminationSignals(QObject* pParent) : QObject(pParent) {
    if (::pipe2(m_fdPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "quorvi-studio: no pipe for termination signals: %s\n",
                     std::strerror(errno));
        m_fdPipe = {-1, -1};
        return;
    }
    s_fdSignalWrite.store(m_fdPipe[1]);
    m_pNotifier = new QSocketNotifier(m_fdPipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
    for (int nSignal : kSignals)
        SetHandler(nSignal, OnTerminationSignal);
}

CTerminationSignals::~CTerminationSignals() {
    if (!IsActive())
        return;
    for (int nSignal : kSignals)
        SetHandler(nSignal, SIG_DFL);
    s_fdSignalWrite.store(-1);
    ::close(m_fdPipe[0]);
    ::close(m_fdPipe[1]);
}

void CTerminationSignals::OnReadable() {
    // Everything waiting is read before any is handled: handling one may run a nested event loop
    // (a question of the close request), in which a later signal must be seen on its own.
    unsigned char buffer[16];
    ssize_t nRead = 0;
    while ((nRead = ::read(m_fdPipe[0], buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    for (ssize_t i = 0; i < nRead; ++i)
        emit terminationRequested(buffer[i]);
}
