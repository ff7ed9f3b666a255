// SPDX-License-Identifier: MIT
#include "codecs/DataSource.h"

#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

[[noreturn]] void ThrowOpenFailed(const std::string& path, int error) {
    throw CTextException(error ? error : EIO, "Opening " + path + " failed");
}

} // namespace

CDataSource::CDataSource(const std::uint8_t* data, std::size_t size, CProgressSink* pProgress)
    : m_pData(data), m_nSize(size), m_pProgress(pProgress) {}

CDataSource::CDataSource(CDataSource&& other) noexcept {
    *this = std::move(other);
}

CDataSource& CDataSource::operator=(CDataSource&& other) noexcept {
    const bool ownsData = other.m_pData == other.m_owned.data();
    m_owned = std::move(other.m_owned);
    m_pData = ownsData ? m_owned.data() : other.m_pData;
    m_nSize = other.m_nSize;
    m_nPosition = other.m_nPosition;
    m_pProgress = other.m_pProgress;
    return *this;
}

CDataSource CDataSource::FromFile(const std::string& path, CProgressSink* pProgress) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        ThrowOpenFailed(path, errno);
    std::vector<std::uint8_t> bytes;
    // A regular file goes straight into a buffer of its size: growing a vector chunk by chunk
    // copies the bytes again at every growth and faults in every new buffer.
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        img::AdviseLargePages(bytes.data(), bytes.capacity());
        bytes.resize(static_cast<std::size_t>(info.st_size));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    }
    std::uint8_t buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    if (std::ferror(file.get()))
        ThrowOpenFailed(path, errno);
    CDataSource source(nullptr, 0, pProgress);
    source.m_owned = std::move(bytes);
    source.m_pData = source.m_owned.data();
    source.m_nSize = source.m_owned.size();
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
