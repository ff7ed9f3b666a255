// SPDX-License-Identifier: MIT
#include "codecs/DataSource.h"

#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

[[noreturn]] void ThrowOpenFailed(const std::string& path, int error) {
    throw CTextException(error ? error : EIO, "Opening " + path + " failed");
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

// The file's pages mapped where they are (no copy, no fresh memory) and faulted in at once;
// null when the file cannot be mapped, which the caller answers by reading it.
std::shared_ptr<const std::uint8_t> MapRegularFile(int fd, std::size_t size) {
    if (!IsLocalFileSystem(fd))
        return nullptr;
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED)
        return nullptr;
    // A file cut short between the size check and the mapping would fault past its end.
    struct stat now {};
    if (::fstat(fd, &now) != 0 || std::size_t(now.st_size) < size) {
        ::munmap(data, size);
        return nullptr;
    }
    return {static_cast<const std::uint8_t*>(data),
            [size](const std::uint8_t* p) { ::munmap(const_cast<std::uint8_t*>(p), size); }};
}

// Pipes, devices and files that cannot be mapped, read to their end.
std::vector<std::uint8_t> ReadToEnd(std::FILE* file, std::size_t sizeHint) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(sizeHint);
    std::uint8_t buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return bytes;
}

} // namespace

CDataSource::CDataSource(const std::uint8_t* data, std::size_t size, CProgressSink* pProgress)
    : m_pData(data), m_nSize(size), m_pProgress(pProgress) {}

CDataSource CDataSource::FromFile(const std::string& path, CProgressSink* pProgress) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        ThrowOpenFailed(path, errno);
    CDataSource source(nullptr, 0, pProgress);
    struct stat info {};
    const int fd = ::fileno(file.get());
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const std::size_t size = regular ? std::size_t(info.st_size) : 0;
    if (size > 0) {
        if (auto mapped = MapRegularFile(fd, size)) {
            source.m_pData = mapped.get();
            source.m_nSize = size;
            source.m_owner = std::move(mapped);
            return source;
        }
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(ReadToEnd(file.get(), size));
    if (std::ferror(file.get()))
        ThrowOpenFailed(path, errno);
    source.m_pData = bytes->data();
    source.m_nSize = bytes->size();
    source.m_owner = std::move(bytes);
    return source;
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
