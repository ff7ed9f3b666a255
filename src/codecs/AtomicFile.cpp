// SPDX-License-Identifier: MIT
// Temporary file, fsync, rename: the save that cannot destroy the file it replaces.
#include "codecs/AtomicFile.h"

#include "image/TextException.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void ThrowWriteFailed(const std::string& path, int error) {
    throw CTextException(error ? error : EIO,
                         "Writing " + path + " failed: " + std::strerror(error ? error : EIO));
}

// The file a save really replaces: the target of a symbolic link, else the path itself.
fs::path ResolveTarget(const std::string& path) {
    std::error_code ec;
    fs::path target(path);
    for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

mode_t NewFileMode(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Removes the temporary unless the rename consumed it.
struct TempFile {
    std::string path;
    int fd = -1;
    bool renamed = false;
    ~TempFile() {
        if (fd >= 0)
            ::close(fd);
        if (!renamed && !path.empty())
            ::unlink(path.c_str());
    }
};

void SyncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the data itself is already on disk
        ::close(fd);
    }
}

} // namespace

namespace codec {

void ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target = ResolveTarget(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TempFile temp;
    std::string name(1, '.');
    name.append(target.filename().string()).append(".XXXXXX");
    temp.path = (dir / name).string();
    temp.fd = ::mkostemp(temp.path.data(), O_CLOEXEC);
    if (temp.fd < 0) {
        const int error = errno;
        temp.path.clear();
        throw CTextException(error ? error : EIO, "Opening " + path + " failed");
    }
    // The flush to disk protects the file being replaced: without it a crash after the rename
    // could leave the new name over unwritten blocks. A new name replaces nothing, so it skips
    // the flushes (40 ms for a screenshot on a disk) as other careful writers do.
    std::error_code ec;
    const bool replacing = fs::exists(target, ec) || ec;
    if (::fchmod(temp.fd, NewFileMode(target)) != 0 ||
        !WriteAll(temp.fd, bytes.data(), bytes.size()) || (replacing && ::fsync(temp.fd) != 0))
        ThrowWriteFailed(path, errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0)
        ThrowWriteFailed(path, errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0)
        ThrowWriteFailed(path, errno);
    temp.renamed = true;
    if (replacing)
        SyncDirectory(dir);
}

} // namespace codec
