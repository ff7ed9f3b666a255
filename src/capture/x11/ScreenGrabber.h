// SPDX-License-Identifier: MIT
// Copies pixels of the root window into a 32-bpp bitmap: MIT-SHM with one segment kept attached,
// plain GetImage when shared memory is not available (remote displays). A CShmBitmap is filled
// by the server itself, without a copy.
#pragma once

#include "capture/CaptureGeometry.h"
#include "capture/x11/X11Connection.h"
#include "image/ImageBitmap.h"

#include <xcb/shm.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// How the server lays out the root's pixels in a ZPixmap image.
struct ServerPixelFormat {
    int nDepth = 0;
    int nBitsPerPixel = 0;
    int nScanlinePad = 32;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    bool bLsbFirst = true;

    // 32-bit little-endian pixels with 8-bit channels in B,G,R,X order: copied row by row.
    bool IsNativeBgrx() const noexcept;
    std::size_t RowBytes(int width) const noexcept;
};

// A System V shared-memory segment attached by this process and by the X server. It is marked
// for removal as soon as both have attached, so it goes away with the last user, crash or not.
class CShmSegment {
public:
    // Null when the server has no MIT-SHM or the segment cannot be made or attached.
    static std::unique_ptr<CShmSegment> Create(const CX11Connection& conn, std::size_t cb);
    ~CShmSegment();
    CShmSegment(const CShmSegment&) = delete;
    CShmSegment& operator=(const CShmSegment&) = delete;

    std::uint8_t* Data() const noexcept { return m_pData; }
    std::size_t Size() const noexcept { return m_cb; }
    xcb_shm_seg_t Id() const noexcept { return m_seg; }
    xcb_connection_t* Connection() const noexcept { return m_pConn; }

private:
    CShmSegment(xcb_connection_t* conn, xcb_shm_seg_t seg, std::uint8_t* data,
                std::size_t cb) noexcept
        : m_pConn(conn), m_seg(seg), m_pData(data), m_cb(cb) {}

    xcb_connection_t* m_pConn;
    xcb_shm_seg_t m_seg;
    std::uint8_t* m_pData;
    std::size_t m_cb;
};

// A bitmap (top-down rows without padding, like CMemoryBitmap) whose pixels live in a segment
// shared with the X server of `conn`: a grab of a whole on-screen rectangle into it is written
// there by the server. Falls back to ordinary memory when the display has no MIT-SHM. The
// connection must outlive the bitmap. A segment is kept while the bitmap shrinks, so grabs of
// the same or smaller size reuse it.
class CShmBitmap : public CImageBitmap {
public:
    explicit CShmBitmap(const CX11Connection& conn);
    ~CShmBitmap() override;

    bool IsBottomUp() const noexcept override { return false; }
    std::size_t BytesPerLine() const noexcept override { return PixelBytesPerLine(); }
    std::size_t MemoryUsed() const noexcept override;
    std::unique_ptr<CImageBitmap> CreateEmptyLike() const override;

    // The segment holding the pixels; null when they are in ordinary memory.
    const CShmSegment* Segment() const noexcept { return m_segment.get(); }

protected:
    void Allocate(int width, int height, int depth) override;
    void Free() noexcept override;
    void SwapBlocks(CImageBitmap& other) noexcept override;

private:
    const CX11Connection* m_pConn;
    std::unique_ptr<CShmSegment> m_segment;
    img::ByteBlock m_heap;
    std::unique_ptr<RGBQuad[]> m_palette;
};

class CScreenGrabber {
public:
    explicit CScreenGrabber(CX11Connection& conn);
    ~CScreenGrabber();
    CScreenGrabber(const CScreenGrabber&) = delete;
    CScreenGrabber& operator=(const CScreenGrabber&) = delete;

    // Makes `out` a 32-bpp bitmap of rcRoot's size (reused when it already is one) holding the
    // root's pixels there, fourth byte 0; parts of rcRoot outside the root get `outside`.
    // False for an empty or oversized rectangle or an unsupported pixel format (`out` untouched),
    // and for a failed request (`out` then has the right size but unspecified pixels).
    // A CShmBitmap on this grabber's connection wholly inside the root is filled in place.
    bool Grab(const capture::Rect& rcRoot, CImageBitmap& out, RGBQuad outside = {});

    // Shared memory is used when the server offers it and attaching worked; tests and the
    // benchmark turn it off to compare with the plain path.
    void SetShmEnabled(bool bEnabled) noexcept { m_bShmEnabled = bEnabled; }
    bool IsShmAvailable();

    const ServerPixelFormat& PixelFormat() const noexcept { return m_format; }

private:
    bool EnsureSegment(std::size_t cbNeeded);
    // Rows of rc into `segment` (stride: the server's row bytes for rc's width), band by band;
    // onBand(firstRow, rows) runs for each band as soon as it has arrived, while the server
    // copies the next one.
    template <class OnBand>
    bool GrabShmBands(const capture::Rect& rc, const CShmSegment& segment, OnBand&& onBand);
    bool GrabShm(const capture::Rect& rc, CImageBitmap& out, capture::Point at);
    bool GrabPlain(const capture::Rect& rc, CImageBitmap& out, capture::Point at);

    CX11Connection& m_conn;
    ServerPixelFormat m_format;
    bool m_bShmEnabled = true;
    int m_nShmState = 0; // 0 not probed, 1 usable, -1 unavailable
    std::unique_ptr<CShmSegment> m_segment;
};

namespace capture {
// Converts rows of server pixels into 32-bpp B,G,R,0 pixels of `out` starting at `at`.
void ConvertServerRows(const std::uint8_t* src, std::size_t srcStride, int width, int height,
                       const ServerPixelFormat& format, CImageBitmap& out, Point at);
// Sets the fourth byte of `count` 32-bit pixels to 0. Reads first and writes only the stretches
// that need it: the server mostly leaves those bytes 0 already.
void ClearFourthBytes(std::uint8_t* pixels, std::size_t count) noexcept;
} // namespace capture
