// SPDX-License-Identifier: MIT
// libtiff over memory: reading a borrowed block or writing into a growable buffer, with the
// library's messages collected per handle instead of printed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <tiffio.h>

struct TiffCloser {
    void operator()(TIFF* tif) const noexcept { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

class CTiffMemoryStream {
public:
    // Reads data (borrowed; kept alive by the caller).
    explicit CTiffMemoryStream(std::span<const std::uint8_t> data) noexcept : m_input(data) {}
    // Writes into an internal buffer (Output()).
    CTiffMemoryStream() = default;
    CTiffMemoryStream(const CTiffMemoryStream&) = delete;
    CTiffMemoryStream& operator=(const CTiffMemoryStream&) = delete;

    // mode is "r" or "w". maxAlloc bounds any single allocation of the library. Returns null
    // on failure (ErrorText() says why).
    TiffHandle Open(const char* mode, std::size_t maxAlloc);

    // The first error the library reported, else its last warning (some codecs only warn before
    // failing), else empty.
    const std::string& ErrorText() const noexcept {
        return m_strError.empty() ? m_strWarning : m_strError;
    }
    bool HasError() const noexcept { return !m_strError.empty(); }
    std::vector<std::uint8_t>& Output() noexcept { return m_output; }
    // Room for a file of about this size, so that a large image is not copied each time the
    // buffer grows.
    void ReserveOutput(std::size_t cb) { m_output.reserve(cb); }

private:
    static tmsize_t Read(thandle_t h, void* buffer, tmsize_t size);
    static tmsize_t Write(thandle_t h, void* buffer, tmsize_t size);
    static toff_t Seek(thandle_t h, toff_t offset, int whence);
    static int Close(thandle_t h);
    static toff_t Size(thandle_t h);
    static int Map(thandle_t h, void** base, toff_t* size);
    static void Unmap(thandle_t h, void* base, toff_t size);
    static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
    static int OnWarning(TIFF*, void* user, const char* module, const char* format, va_list args);

    std::size_t Length() const noexcept { return m_bWriting ? m_output.size() : m_input.size(); }

    std::span<const std::uint8_t> m_input;
    std::vector<std::uint8_t> m_output;
    bool m_bWriting = false;
    std::uint64_t m_nPosition = 0;
    std::string m_strError;
    std::string m_strWarning;
};
