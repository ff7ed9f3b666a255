// SPDX-License-Identifier: MIT
// libtiff client procedures over memory.
#include "codecs/TiffMemoryStream.h"

#include "image/Trace.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const noexcept { TIFFOpenOptionsFree(o); }
};

std::string Format(const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    return module && *module ? std::string(module) + ": " + text : std::string(text);
}

} // namespace

TiffHandle CTiffMemoryStream::Open(const char* mode, std::size_t maxAlloc) {
    m_bWriting = mode[0] == 'w';
    m_nPosition = 0;
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw std::bad_alloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(maxAlloc));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, this);
    return TiffHandle(TIFFClientOpenExt("memory", mode, this, Read, Write, Seek, Close, Size, Map,
                                        Unmap, options.get()));
}

tmsize_t CTiffMemoryStream::Read(thandle_t h, void* buffer, tmsize_t size) {
    auto* s = static_cast<CTiffMemoryStream*>(h);
    if (s->m_bWriting || size < 0 || s->m_nPosition >= s->m_input.size())
        return s->m_bWriting ? -1 : 0;
    const std::size_t n =
        std::min<std::uint64_t>(std::uint64_t(size), s->m_input.size() - s->m_nPosition);
    std::memcpy(buffer, s->m_input.data() + s->m_nPosition, n);
    s->m_nPosition += n;
    return tmsize_t(n);
}

tmsize_t CTiffMemoryStream::Write(thandle_t h, void* buffer, tmsize_t size) {
    auto* s = static_cast<CTiffMemoryStream*>(h);
    if (!s->m_bWriting || size < 0)
        return -1;
    const std::uint64_t end = s->m_nPosition + std::uint64_t(size);
    try {
        if (end > s->m_output.size())
            s->m_output.resize(end);
    } catch (const std::bad_alloc&) {
        return -1; // libtiff reports the failed write itself
    }
    std::memcpy(s->m_output.data() + s->m_nPosition, buffer, std::size_t(size));
    s->m_nPosition = end;
    return size;
}

toff_t CTiffMemoryStream::Seek(thandle_t h, toff_t offset, int whence) {
    auto* s = static_cast<CTiffMemoryStream*>(h);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = s->m_nPosition;
    else if (whence == SEEK_END)
        base = s->Length();
    const std::uint64_t target = base + offset;
    // Reading may seek anywhere (reads past the end then return nothing); writing past the end
    // leaves a gap of zeros, as a file would, but never more than the address space allows.
    if (target < base || target > (std::uint64_t(1) << 40))
        return toff_t(-1);
    s->m_nPosition = target;
    return target;
}

int CTiffMemoryStream::Close(thandle_t) {
    return 0;
}

toff_t CTiffMemoryStream::Size(thandle_t h) {
    return static_cast<CTiffMemoryStream*>(h)->Length();
}

int CTiffMemoryStream::Map(thandle_t h, void** base, toff_t* size) {
    auto* s = static_cast<CTiffMemoryStream*>(h);
    if (s->m_bWriting)
        return 0;
    // libtiff only reads mapped data (its own file mappings are read-only).
    *base = const_cast<std::uint8_t*>(s->m_input.data());
    *size = s->m_input.size();
    return 1;
}

void CTiffMemoryStream::Unmap(thandle_t, void*, toff_t) {}

int CTiffMemoryStream::OnError(TIFF*, void* user, const char* module, const char* format,
                               va_list args) {
    auto* s = static_cast<CTiffMemoryStream*>(user);
    try {
        std::string text = Format(module, format, args);
        img::Trace("TIFF library error: %s\n", text.c_str());
        if (s->m_strError.empty())
            s->m_strError = std::move(text);
    } catch (const std::bad_alloc&) {
    }
    return 1; // handled: nothing on stderr
}

int CTiffMemoryStream::OnWarning(TIFF*, void* user, const char* module, const char* format,
                                 va_list args) {
    auto* s = static_cast<CTiffMemoryStream*>(user);
    try {
        s->m_strWarning = Format(module, format, args);
        img::Trace("TIFF library warning: %s\n", s->m_strWarning.c_str());
    } catch (const std::bad_alloc&) {
    }
    return 1;
}
