// SPDX-License-Identifier: MIT
// The single-instance lock: an exclusive flock on a file in the user's runtime directory. The
// kernel drops it when the holder ends in any way, so a crashed instance never blocks a start.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The user's private runtime directory: $XDG_RUNTIME_DIR when it is an absolute path to a
// directory of ours, else /tmp/quorvi-studio-UID (made with mode 0700, and refused when someone
// else owns it or others may write to it). Empty when neither can be used.
std::filesystem::path RuntimeDir(std::string* pError = nullptr);

class CInstanceLock {
public:
    enum class EResult { Acquired, HeldByAnother, Failed };

    CInstanceLock() = default;
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // Takes the lock on file (created with mode 0600 when missing) without waiting. Acquired:
    // this object holds it until it is destroyed or the process ends. HeldByAnother: another
    // process holds it. Failed: the file cannot be opened or locked (pError says why).
    EResult TryAcquire(const std::filesystem::path& file, std::string* pError = nullptr);
    bool IsHeld() const noexcept { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace platform
