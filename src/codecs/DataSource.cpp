// SPDX-License-Identifier: MIT
#include "codecs/DataSource.h"

#include "codecs/FileError.h"
#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// A descriptor closed on every way out of FromFile.
class CFileHandle {
public:
    explicit CFileHandle(int fd) noexcept : m_fd(fd) {}
    ~CFileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    int Get() const noexcept { return m_fd; }

private:
    int m_fd;
};

[[noreturn]] void ThrowFileTooLarge(const std::string& path) {
    throw CTextException(EFBIG, path + " is larger than the limit of " +
                                    std::to_string(codec::kMaxFileBytes >> 30) + " GiB");
}

// Opened without waiting: open() of a FIFO would wait for a writer forever, and no signal
// handler that leaves its work to the event loop could end that wait.
int OpenWithoutWaiting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        codec::ThrowFileError("Opening", path, errno);
    return fd;
}

// The size of the regular file open at fd. Nothing else is read: a device or a pipe may never
// end (/dev/zero) and has no size to check first.
std::size_t RegularFileSize(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        codec::ThrowFileError("Opening", path, errno);
    if (S_ISDIR(info.st_mode))
        codec::ThrowFileError("Opening", path, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw CTextException(codec::kUnknownTypeCode, path + " is not a regular file");
    if (std::uint64_t(info.st_size) > codec::kMaxFileBytes)
        ThrowFileTooLarge(path);
    // Reads of a regular file wait for the disk as they should, even on a network file system.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        codec::ThrowFileError("Opening", path, errno);
    return std::size_t(info.st_size);
}

// File systems whose pages a mapping may read: local disks and memory. On network and FUSE file
// systems a read that fails arrives as SIGBUS instead of an error, so those files are read.
bool IsLocalFileSystem(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0x01021994: // tmpfs
    case 0x858458F6: // ramfs
    case 0x2011BAB0: // exfat
    case 0x4D44:     // vfat
    case 0xF2F52010: // f2fs
        return true;
    default:
        return false;
    }
}

// Another program may cut a file short while we read its mapping: the pages past its new end
// then fault with SIGBUS, which would end the process. The guard's handler puts a page of zeros
// in place of such a page of a registered mapping, so that the decode runs to its end, and marks
// the mapping as cut, so that the decode is refused. Faults elsewhere go to the handler that was
// there before (the default one ends the process as it always did).
struct GuardSlot {
    std::atomic<bool> used{false};
    std::atomic<std::uintptr_t> begin{0}; // 0: free
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
};

class CMappingGuard {
public:
    static constexpr int kNoSlot = -1;

    // A slot for a mapping, or kNoSlot when none is free or no handler could be installed.
    static int Register(const void* data, std::size_t size) noexcept {
        if (!Install())
            return kNoSlot;
        for (std::size_t i = 0; i < s_slots.size(); ++i) {
            GuardSlot& slot = s_slots[i];
            bool expected = false;
            if (!slot.used.compare_exchange_strong(expected, true))
                continue;
            slot.cut.store(false, std::memory_order_relaxed);
            slot.end.store(reinterpret_cast<std::uintptr_t>(data) + size,
                           std::memory_order_relaxed);
            slot.begin.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
            return int(i);
        }
        return kNoSlot;
    }
    static void Unregister(int nSlot) noexcept {
        GuardSlot& slot = s_slots[std::size_t(nSlot)];
        slot.begin.store(0, std::memory_order_release);
        slot.used.store(false, std::memory_order_release);
    }
    static bool WasCut(int nSlot) noexcept {
        return s_slots[std::size_t(nSlot)].cut.load(std::memory_order_acquire);
    }

private:
    static bool Install() noexcept {
        static const bool s_bInstalled = [] {
            s_nPageSize = std::uintptr_t(::sysconf(_SC_PAGESIZE));
            struct sigaction action {};
            action.sa_sigaction = &OnSigbus;
            action.sa_flags = SA_SIGINFO | SA_NODEFER;
            sigemptyset(&action.sa_mask);
            return ::sigaction(SIGBUS, &action, &s_previous) == 0;
        }();
        return s_bInstalled;
    }

    static void OnSigbus(int nSignal, siginfo_t* pInfo, void* pContext) {
        const auto address = reinterpret_cast<std::uintptr_t>(pInfo->si_addr);
        for (GuardSlot& slot : s_slots) {
            const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
            if (begin == 0 || address < begin ||
                address >= slot.end.load(std::memory_order_relaxed))
                continue;
            void* page = reinterpret_cast<void*>(address & ~(s_nPageSize - 1));
            if (::mmap(page, s_nPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                       0) != MAP_FAILED) {
                slot.cut.store(true, std::memory_order_release);
                return;
            }
        }
        if ((s_previous.sa_flags & SA_SIGINFO) != 0 && s_previous.sa_sigaction != nullptr) {
            s_previous.sa_sigaction(nSignal, pInfo, pContext);
        } else if (s_previous.sa_handler != SIG_DFL && s_previous.sa_handler != SIG_IGN) {
            s_previous.sa_handler(nSignal);
        } else {
            // The faulting access runs again on return and ends the process.
            ::signal(SIGBUS, SIG_DFL);
        }
    }

    static inline std::array<GuardSlot, 64> s_slots{};
    static inline struct sigaction s_previous {};
    static inline std::uintptr_t s_nPageSize = 4096;
};

struct MappedFile {
    std::shared_ptr<const std::uint8_t> data;
    int nGuardSlot = CMappingGuard::kNoSlot;
};

// The file's pages mapped where they are (no copy, no fresh memory) and faulted in at once;
// no data when the file cannot be mapped safely, which the caller answers by reading it.
MappedFile MapRegularFile(int fd, std::size_t size) {
    if (!IsLocalFileSystem(fd))
        return {};
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED)
        return {};
    const int nSlot = CMappingGuard::Register(data, size);
    // A file cut short between the size check and the mapping would fault past its end.
    struct stat now {};
    if (nSlot == CMappingGuard::kNoSlot || ::fstat(fd, &now) != 0 ||
        std::size_t(now.st_size) < size) {
        if (nSlot != CMappingGuard::kNoSlot)
            CMappingGuard::Unregister(nSlot);
        ::munmap(data, size);
        return {};
    }
    return {{static_cast<const std::uint8_t*>(data),
             [size, nSlot](const std::uint8_t* p) {
                 CMappingGuard::Unregister(nSlot);
                 ::munmap(const_cast<std::uint8_t*>(p), size);
             }},
            nSlot};
}

// Files that cannot be mapped, read to their end but never past the limit: a file of a network
// or FUSE file system may grow while it is read, and those of /proc tell no size at all.
std::vector<std::uint8_t> ReadToEnd(int fd, std::size_t sizeHint, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(sizeHint);
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            codec::ThrowFileError("Reading", path, errno);
        if (got == 0)
            return bytes;
        if (bytes.size() + std::size_t(got) > codec::kMaxFileBytes)
            ThrowFileTooLarge(path);
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

} // namespace

CDataSource::CDataSource(const std::uint8_t* data, std::size_t size, CProgressSink* pProgress)
    : m_pData(data), m_nSize(size), m_pProgress(pProgress) {}

CDataSource CDataSource::FromFile(const std::string& path, CProgressSink* pProgress) {
    const CFileHandle file(OpenWithoutWaiting(path));
    const std::size_t size = RegularFileSize(file.Get(), path);
    CDataSource source(nullptr, 0, pProgress);
    if (size > 0) {
        if (MappedFile mapped = MapRegularFile(file.Get(), size); mapped.data) {
            source.m_pData = mapped.data.get();
            source.m_nSize = size;
            source.m_owner = std::move(mapped.data);
            source.m_nGuardSlot = mapped.nGuardSlot;
            return source;
        }
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(ReadToEnd(file.Get(), size, path));
    source.m_pData = bytes->data();
    source.m_nSize = bytes->size();
    source.m_owner = std::move(bytes);
    return source;
}

bool CDataSource::WasCutShort() const noexcept {
    return m_nGuardSlot != CMappingGuard::kNoSlot && CMappingGuard::WasCut(m_nGuardSlot);
}

void CDataSource::Advance(std::size_t n) {
    const std::size_t before = m_nPosition;
    m_nPosition += n;
    if (m_pProgress && m_nSize && before / 1024 != m_nPosition / 1024)
        m_pProgress->SetProgress(double(m_nPosition) / double(m_nSize));
}

const std::uint8_t* CDataSource::Read(std::size_t n) {
    if (n > Remaining())
        throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
    const std::uint8_t* p = m_pData + m_nPosition;
    Advance(n);
    return p;
}

void CDataSource::ReadInto(void* target, std::size_t n) {
    std::memcpy(target, Read(n), n);
}

std::uint8_t CDataSource::U8() {
    return *Read(1);
}

std::uint16_t CDataSource::U16LE() {
    const std::uint8_t* p = Read(2);
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t CDataSource::U32LE() {
    const std::uint8_t* p = Read(4);
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t CDataSource::U16BE() {
    const std::uint8_t* p = Read(2);
    return std::uint16_t((p[0] << 8) | p[1]);
}

std::uint32_t CDataSource::U32BE() {
    const std::uint8_t* p = Read(4);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void CDataSource::Seek(std::size_t position) {
    if (position > m_nSize)
        throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
    m_nPosition = position;
}
