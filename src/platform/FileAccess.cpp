// SPDX-License-Identifier: MIT
// Whole-file reads and writes, moving a damaged file aside, and the folder lock.
#include "platform/FileAccess.h"

#include "base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool Fail(std::string* pError, std::string_view what, const std::filesystem::path& path,
          int error) {
    if (pError)
        *pError = std::string(what) + " " + path.string() + ": " + ErrnoText(error);
    return false;
}

std::string_view FileKind(mode_t mode) {
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a regular file";
}

int Refuse(FileText& result, const std::filesystem::path& file, ReadStatus status, int error) {
    result.status = status;
    result.error = "cannot read " + file.string() + ": " + ErrnoText(error);
    return -1;
}

// Opens file for reading without waiting: open() of a FIFO waits for a writer, of some devices
// for a carrier. Anything but a regular file is refused once open, so a file swapped between a
// check and the open changes nothing.
int OpenRegularFile(const std::filesystem::path& file, FileText& result) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return Refuse(result, file, errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed,
                      errno);
    struct stat st {};
    const bool bStat = ::fstat(fd, &st) == 0;
    const int statError = errno;
    if (bStat && S_ISREG(st.st_mode)) {
        // Reads of the regular file may wait for the disk as usual.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
            return fd;
    }
    const int error = errno;
    ::close(fd);
    if (!bStat)
        return Refuse(result, file, ReadStatus::Failed, statError);
    if (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode))
        return Refuse(result, file, ReadStatus::Failed, S_ISDIR(st.st_mode) ? EISDIR : error);
    result.status = ReadStatus::NotRegular;
    result.error = file.string() + " is " + std::string(FileKind(st.st_mode));
    return -1;
}

} // namespace

std::string ErrnoText(int error) {
    return std::strerror(error);
}

bool CreateDirectories(const std::filesystem::path& dir, std::string* pError) {
    std::filesystem::path partial;
    for (const auto& part : dir) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST)
            continue;
        return Fail(pError, "cannot create", partial, errno);
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return Fail(pError, "cannot create", dir, errno);
    if (!S_ISDIR(st.st_mode))
        return Fail(pError, "cannot create", dir, ENOTDIR);
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                         std::string* pError) {
    if (!CreateDirectories(file.parent_path(), pError))
        return false;
    const auto* pBytes = reinterpret_cast<const std::uint8_t*>(content.data());
    const base::ReplaceResult result = base::ReplaceFileAtomically(file, {pBytes, content.size()});
    return result || Fail(pError, "cannot write", file, result.nError);
}

FileText ReadWholeFile(const std::filesystem::path& file, std::size_t cbMax) {
    FileText result;
    const int fd = OpenRegularFile(file, result);
    if (fd < 0)
        return result;
    result.status = ReadStatus::Ok;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = ReadStatus::Failed;
            result.error = "cannot read " + file.string() + ": " + ErrnoText(errno);
            break;
        }
        if (n == 0)
            break;
        if (result.text.size() + static_cast<std::size_t>(n) > cbMax) {
            result.status = ReadStatus::TooLarge;
            break;
        }
        result.text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (result.status != ReadStatus::Ok)
        result.text.clear();
    return result;
}

std::optional<std::filesystem::path> MoveAside(const std::filesystem::path& file,
                                               std::string* pError) {
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path target = file;
        target += n == 1 ? std::string(".damaged") : ".damaged." + std::to_string(n);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return target;
        if (errno == EEXIST)
            continue;
        if (errno == EINVAL || errno == ENOSYS) { // a file system without RENAME_NOREPLACE
            if (::link(file.c_str(), target.c_str()) == 0) {
                ::unlink(file.c_str());
                return target;
            }
            if (errno == EEXIST)
                continue;
        }
        Fail(pError, "cannot move aside", file, errno);
        return std::nullopt;
    }
    Fail(pError, "cannot move aside", file, EEXIST);
    return std::nullopt;
}

CDirectoryLock::CDirectoryLock(const std::filesystem::path& dir) {
    m_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    int rc;
    while ((rc = ::flock(m_fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

CDirectoryLock::~CDirectoryLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
