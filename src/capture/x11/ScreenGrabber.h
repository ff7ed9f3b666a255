// SPDX-License-Identifier: MIT
// Copies pixels of the root window into a 32-bpp bitmap: MIT-SHM with one segment kept attached,
// plain GetImage when shared memory is not available (remote displays).
#pragma once

#include "capture/CaptureGeometry.h"
#include "capture/x11/X11Connection.h"
#include "image/ImageBitmap.h"

#include <xcb/shm.h>

#include <cstddef>
#include <cstdint>

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
    bool Grab(const capture::Rect& rcRoot, CImageBitmap& out, RGBQuad outside = {});

    // Shared memory is used when the server offers it and attaching worked; tests and the
    // benchmark turn it off to compare with the plain path.
    void SetShmEnabled(bool bEnabled) noexcept { m_bShmEnabled = bEnabled; }
    bool IsShmAvailable();

    const ServerPixelFormat& PixelFormat() const noexcept { return m_format; }

private:
    bool EnsureSegment(std::size_t cbNeeded);
    void ReleaseSegment() noexcept;
    bool GrabShm(const capture::Rect& rc, CImageBitmap& out, capture::Point at);
    bool GrabPlain(const capture::Rect& rc, CImageBitmap& out, capture::Point at);

    CX11Connection& m_conn;
    ServerPixelFormat m_format;
    bool m_bShmEnabled = true;
    int m_nShmState = 0; // 0 not probed, 1 usable, -1 unavailable
    xcb_shm_seg_t m_shmSeg = 0;
    std::uint8_t* m_pShm = nullptr;
    std::size_t m_cbShm = 0;
};

namespace capture {
// Converts rows of server pixels into 32-bpp B,G,R,0 pixels of `out` starting at `at`.
void ConvertServerRows(const std::uint8_t* src, std::size_t srcStride, int width, int height,
                       const ServerPixelFormat& format, CImageBitmap& out, Point at);
} // namespace capture
