// SPDX-License-Identifier: MIT
// The single-instance lock.
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

void SetError(std::string* pError, const std::string& strText) {
    if (pError != nullptr)
        *pError = strText;
}

// A directory (not a link to one) owned by this user that nobody else may write to.
bool IsPrivateDir(const std::filesystem::path& dir, std::string* pError) {
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0) {
        SetError(pError, dir.string() + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        SetError(pError, dir.string() + ": not a private directory of this user");
        return false;
    }
    return true;
}

} // namespace

std::filesystem::path RuntimeDir(std::string* pError) {
    if (const char* psz = std::getenv("XDG_RUNTIME_DIR"); psz != nullptr && psz[0] == '/') {
        if (IsPrivateDir(psz, pError))
            return psz;
    }
    const std::filesystem::path dir = "/tmp/quorvi-studio-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        SetError(pError, dir.string() + ": " + std::strerror(errno));
        return {};
    }
    return IsPrivateDir(dir, pError) ? dir : std::filesystem::path();
}

CInstanceLock::~CInstanceLock() {
    if (m_fd >= 0)
        close(m_fd);
}

CInstanceLock::EResult CInstanceLock::TryAcquire(const std::filesystem::path& file,
                                                 std::string* pError) {
    if (m_fd >= 0)
        return EResult::Acquired;
    // O_CLOEXEC: programs this one starts (a browser for Help) must not inherit the lock.
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        SetError(pError, file.string() + ": " + std::strerror(errno));
        return EResult::Failed;
    }
    int nResult = 0;
    do
        nResult = flock(fd, LOCK_EX | LOCK_NB);
    while (nResult != 0 && errno == EINTR);
    if (nResult == 0) {
        m_fd = fd;
        return EResult::Acquired;
    }
    const int nError = errno;
    close(fd);
    if (nError == EWOULDBLOCK)
        return EResult::HeldByAnother;
    SetError(pError, file.string() + ": " + std::strerror(nError));
    return EResult::Failed;
}

} // namespace platform
