// SPDX-License-Identifier: MIT
// Temporary file, fsync, rename, folder fsync; temporaries locked while they are written so that
// leftovers of dead writers can be told from writes in progress.
#include "base/AtomicFile.h"

#include <cerrno>
#include <random>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// "<name>.tmp-XXXXXX", hidden by a leading dot (earlier versions wrote it without the dot).
constexpr std::string_view kTempInfix = ".tmp-";
constexpr std::size_t kTempSuffixLength = 6;

// The file a save really replaces: the target of a symbolic link, else the path itself.
fs::path ResolveTarget(const fs::path& path) {
    std::error_code ec;
    fs::path target = path;
    for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

bool IsTemporaryOf(std::string_view name, std::string_view file) {
    if (!name.empty() && name.front() == '.')
        name.remove_prefix(1);
    return name.size() == file.size() + kTempInfix.size() + kTempSuffixLength &&
           name.substr(0, file.size()) == file &&
           name.substr(file.size(), kTempInfix.size()) == kTempInfix;
}

std::string RandomSuffix() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string suffix(kTempSuffixLength, ' ');
    for (char& c : suffix)
        c = kChars[pick(random)];
    return suffix;
}

// A new temporary beside target, locked against RemoveStaleTemporaries. Created with 0666 so
// that the kernel applies the umask (and a default ACL of the folder) as for any new file.
int CreateLockedTemporary(const fs::path& target, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = (FolderOf(target) /
                    ("." + target.filename().string() + std::string(kTempInfix) + RandomSuffix()))
                       .string();
        const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        struct stat st {};
        // A cleaner may have taken it between the open and the lock; then it is unlinked.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the data itself is already on disk
        ::close(fd);
    }
}

// Fills the temporary and renames it over target; 0 or the errno of the failing step.
int FillAndRename(int fd, const std::string& tempPath, const fs::path& target,
                  const std::function<void(base::CFileWriter&)>& fill) {
    struct stat old {};
    const bool bExists = ::stat(target.c_str(), &old) == 0;
    // Anything but "no such file" may hide a file being replaced: flush to be safe.
    const bool bReplacing = bExists || errno != ENOENT;
    if (bExists && ::fchmod(fd, old.st_mode & 07777) != 0)
        return errno ? errno : EIO;
    base::CFileWriter writer(fd);
    fill(writer);
    if (writer.Error())
        return writer.Error();
    // Without the flush a crash after the rename could leave the name over unwritten blocks.
    if (bReplacing && ::fsync(fd) != 0)
        return errno ? errno : EIO;
    // Network file systems report late write errors at close; closing a duplicate asks for them
    // and keeps the lock, which belongs to the open file, not to the descriptor.
    const int check = ::dup(fd);
    if (check < 0 || ::close(check) != 0)
        return errno ? errno : EIO;
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return errno;
    if (bReplacing)
        SyncFolder(FolderOf(target));
    return 0;
}

} // namespace

namespace base {

void CFileWriter::Write(std::span<const std::uint8_t> bytes) noexcept {
    const std::uint8_t* data = bytes.data();
    std::size_t size = bytes.size();
    while (m_nError == 0 && size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_nError = n < 0 && errno ? errno : EIO;
        else {
            data += n;
            size -= std::size_t(n);
        }
    }
}

ReplaceResult ReplaceFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes) {
    return ReplaceFileAtomically(path, [bytes](CFileWriter& out) { out.Write(bytes); });
}

ReplaceResult ReplaceFileAtomically(const fs::path& path,
                                    const std::function<void(CFileWriter&)>& fill) {
    const fs::path target = ResolveTarget(path);
    RemoveStaleTemporaries(target);
    std::string tempPath;
    const int fd = CreateLockedTemporary(target, tempPath);
    if (fd < 0)
        return {errno ? errno : EIO, true};
    int error = 0;
    try {
        error = FillAndRename(fd, tempPath, target, fill);
    } catch (...) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        throw;
    }
    ::close(fd);
    if (error != 0)
        ::unlink(tempPath.c_str());
    return {error, false};
}

void RemoveStaleTemporaries(const fs::path& file) {
    const fs::path dir = FolderOf(file);
    const std::string name = file.filename().string();
    DIR* pDir = ::opendir(dir.c_str());
    if (pDir == nullptr)
        return;
    const int dirFd = ::dirfd(pDir);
    while (const dirent* pEntry = ::readdir(pDir)) {
        if (!IsTemporaryOf(pEntry->d_name, name))
            continue;
        const int fd = ::openat(dirFd, pEntry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        struct stat held {
        }, named{};
        // The lock is free only when no writer holds the file open; the name must still be the
        // file we locked, not a new temporary that took it meanwhile.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            ::fstatat(dirFd, pEntry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(named.st_mode) && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            ::unlinkat(dirFd, pEntry->d_name, 0);
        ::close(fd);
    }
    ::closedir(pDir);
}

} // namespace base
