// SPDX-License-Identifier: MIT
// The one place where readers touch input bytes: a bounds-checked cursor over a file's or a
// memory block's contents, reporting progress every 1024 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

class CProgressSink;

class CDataSource {
public:
    // Borrows data (the caller keeps it alive).
    CDataSource(const std::uint8_t* data, std::size_t size, CProgressSink* pProgress = nullptr);
    // The whole of a regular file: mapped where it lies on a local file system, else read.
    // Never waits for a writer (a FIFO) and reads no more than codec::kMaxFileBytes. Throws
    // CTextException: errno and "Opening %s failed: <reason>" (a folder gives EISDIR) or
    // "Reading %s failed: <reason>"; codec::kUnknownTypeCode and "%s is not a regular file" for a
    // device or a FIFO; EFBIG and "%s is larger than the limit of 4 GiB" past the limit.
    static CDataSource FromFile(const std::string& path, CProgressSink* pProgress = nullptr);

    CDataSource(CDataSource&&) noexcept = default;
    CDataSource& operator=(CDataSource&&) noexcept = default;
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    // The next n bytes; throws CTextException 11 "End of file reached while decoding.\n" when
    // fewer remain (the position is then left unchanged).
    const std::uint8_t* Read(std::size_t n);
    void ReadInto(void* target, std::size_t n);
    std::uint8_t U8();
    std::uint16_t U16LE();
    std::uint32_t U32LE();
    std::uint16_t U16BE();
    std::uint32_t U32BE();
    void Skip(std::size_t n) { Read(n); }
    // Up to maxBytes of what follows, without moving: for run-length decoders that consume a
    // varying amount and then Skip() what they used.
    std::span<const std::uint8_t> Peek(std::size_t maxBytes) const noexcept {
        return {m_pData + m_nPosition, maxBytes < Remaining() ? maxBytes : Remaining()};
    }
    // Moves to an absolute offset (no progress report); throws code 11 past the end.
    void Seek(std::size_t position);

    std::size_t Size() const noexcept { return m_nSize; }
    std::size_t Position() const noexcept { return m_nPosition; }
    std::size_t Remaining() const noexcept { return m_nSize - m_nPosition; }
    // Everything, for library decoders that take a memory block.
    std::span<const std::uint8_t> All() const noexcept { return {m_pData, m_nSize}; }
    CProgressSink* ProgressSink() const noexcept { return m_pProgress; }
    // A mapped file that another program cut short while it was read: the bytes past its new
    // end read as zeros, and what was decoded from them is not the file's picture.
    bool WasCutShort() const noexcept;

private:
    void Advance(std::size_t n);

    std::shared_ptr<const void> m_owner; // keeps a file's mapping or bytes alive
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_nSize = 0;
    std::size_t m_nPosition = 0;
    CProgressSink* m_pProgress = nullptr;
    int m_nGuardSlot = -1; // of a mapped file, for WasCutShort()
};

namespace codec {
inline constexpr int kEndOfData = 11;
inline constexpr const char* kEndOfDataText = "End of file reached while decoding.\n";
inline constexpr const char* kCutShortText = "The file was cut short while it was read.\n";
// Files past this size are refused before they are read: four times the bitmap's pixel limit
// (CImageBitmap::kMaxPixelBytes) holds the largest picture a reader may give even with 16-bit
// samples, with room to spare.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t(4) << 30;
} // namespace codec
