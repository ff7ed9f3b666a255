// SPDX-License-Identifier: MIT
// Root-window grab over MIT-SHM or GetImage into 32-bpp bitmaps.
#include "capture/x11/ScreenGrabber.h"

#include "image/TextException.h"
#include "image/Trace.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

using capture::Point;
using capture::Rect;
using x11::XcbReply;

namespace {

ServerPixelFormat DetectFormat(xcb_connection_t* conn, const xcb_screen_t* screen) {
    ServerPixelFormat f;
    f.nDepth = screen->root_depth;
    const xcb_setup_t* setup = xcb_get_setup(conn);
    f.bLsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == f.nDepth) {
            f.nBitsPerPixel = it.data->bits_per_pixel;
            f.nScanlinePad = it.data->scanline_pad;
        }
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual) {
                f.redMask = v.data->red_mask;
                f.greenMask = v.data->green_mask;
                f.blueMask = v.data->blue_mask;
            }
    return f;
}

// One channel of a masked pixel scaled to 8 bits.
struct Channel {
    int shift = 0;
    int bits = 0;
    std::uint8_t lut[256] = {};

    explicit Channel(std::uint32_t mask) {
        if (!mask)
            return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask);
        if (bits <= 8)
            for (std::uint32_t v = 0; v < (1u << bits); ++v)
                lut[v] = std::uint8_t((v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
    }
    std::uint8_t operator()(std::uint32_t pixel) const noexcept {
        if (!bits)
            return 0;
        const std::uint32_t v = (pixel >> shift) & ((bits >= 32) ? ~0u : ((1u << bits) - 1));
        return bits <= 8 ? lut[v] : std::uint8_t(v >> (bits - 8));
    }
};

std::uint32_t ReadPixel(const std::uint8_t* p, int bytes, bool lsbFirst) noexcept {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(p[i]) << (8 * (lsbFirst ? i : bytes - 1 - i));
    return v;
}

void ConvertNativeRow(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst, int width) {
    for (int x = 0; x < width; ++x)
        dst[x] = src[x] & 0x00FFFFFFu;
}

void FillRect(CImageBitmap& out, const Rect& rc, RGBQuad q) {
    for (int y = rc.top; y < rc.bottom; ++y)
        std::fill(out.Row<RGBQuad>(y) + rc.left, out.Row<RGBQuad>(y) + rc.right, q);
}

// Fills what of (0, 0, w, h) lies outside `inside`.
void FillAround(CImageBitmap& out, const Rect& inside, RGBQuad q) {
    const int w = out.Width(), h = out.Height();
    if (inside.IsEmpty()) {
        FillRect(out, {0, 0, w, h}, q);
        return;
    }
    FillRect(out, {0, 0, w, inside.top}, q);
    FillRect(out, {0, inside.bottom, w, h}, q);
    FillRect(out, {0, inside.top, inside.left, inside.bottom}, q);
    FillRect(out, {inside.right, inside.top, w, inside.bottom}, q);
}

} // namespace

bool ServerPixelFormat::IsNativeBgrx() const noexcept {
    return nBitsPerPixel == 32 && bLsbFirst && redMask == 0xFF0000u && greenMask == 0xFF00u &&
           blueMask == 0xFFu;
}

std::size_t ServerPixelFormat::RowBytes(int width) const noexcept {
    const std::size_t pad = std::size_t(std::max(nScanlinePad, 8));
    const std::size_t bits = std::size_t(width) * std::size_t(nBitsPerPixel);
    return (bits + pad - 1) / pad * pad / 8;
}

namespace capture {

void ConvertServerRows(const std::uint8_t* src, std::size_t srcStride, int width, int height,
                       const ServerPixelFormat& format, CImageBitmap& out, Point at) {
    if (format.IsNativeBgrx()) {
        for (int y = 0; y < height; ++y)
            ConvertNativeRow(reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * srcStride),
                             out.Row<std::uint32_t>(at.y + y) + at.x, width);
        return;
    }
    const Channel red(format.redMask), green(format.greenMask), blue(format.blueMask);
    const int bytes = format.nBitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = src + std::size_t(y) * srcStride;
        RGBQuad* d = out.Row<RGBQuad>(at.y + y) + at.x;
        for (int x = 0; x < width; ++x, s += bytes) {
            const std::uint32_t pixel = ReadPixel(s, bytes, format.bLsbFirst);
            d[x] = RGBQuad{blue(pixel), green(pixel), red(pixel), 0};
        }
    }
}

} // namespace capture

CScreenGrabber::CScreenGrabber(CX11Connection& conn)
    : m_conn(conn), m_format(DetectFormat(conn.Get(), conn.Screen())) {}

CScreenGrabber::~CScreenGrabber() { ReleaseSegment(); }

bool CScreenGrabber::IsShmAvailable() {
    if (m_nShmState == 0) {
        xcb_connection_t* c = m_conn.Get();
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
        XcbReply<xcb_shm_query_version_reply_t> v(
            ext && ext->present ? xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr)
                                : nullptr);
        m_nShmState = v ? 1 : -1;
    }
    return m_nShmState > 0;
}

void CScreenGrabber::ReleaseSegment() noexcept {
    if (m_pShm) {
        xcb_shm_detach(m_conn.Get(), m_shmSeg);
        xcb_flush(m_conn.Get());
        shmdt(m_pShm);
    }
    m_pShm = nullptr;
    m_cbShm = 0;
}

bool CScreenGrabber::EnsureSegment(std::size_t cbNeeded) {
    if (m_pShm && m_cbShm >= cbNeeded)
        return true;
    ReleaseSegment();
    // Sized for the whole root so that later grabs reuse it.
    const Rect root = m_conn.RootRect();
    const std::size_t cb = std::max(cbNeeded, m_format.RowBytes(root.Width()) * std::size_t(root.Height()));
    const int id = shmget(IPC_PRIVATE, cb, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void* addr = shmat(id, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    xcb_connection_t* c = m_conn.Get();
    m_shmSeg = xcb_generate_id(c);
    XcbReply<xcb_generic_error_t> err(
        xcb_request_check(c, xcb_shm_attach_checked(c, m_shmSeg, std::uint32_t(id), 0)));
    // Once both sides are attached the segment can be marked for removal: it then disappears
    // with the last detach, even if this process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (err) {
        img::Trace("x11: MIT-SHM attach failed (error %d); using GetImage\n", err->error_code);
        shmdt(addr);
        return false;
    }
    m_pShm = static_cast<std::uint8_t*>(addr);
    m_cbShm = cb;
    return true;
}

bool CScreenGrabber::GrabShm(const Rect& rc, CImageBitmap& out, Point at) {
    const std::size_t stride = m_format.RowBytes(rc.Width());
    if (!EnsureSegment(stride * std::size_t(rc.Height()))) {
        m_nShmState = -1;
        return false;
    }
    xcb_connection_t* c = m_conn.Get();
    xcb_generic_error_t* pErr = nullptr;
    XcbReply<xcb_shm_get_image_reply_t> r(xcb_shm_get_image_reply(
        c,
        xcb_shm_get_image(c, m_conn.Root(), std::int16_t(rc.left), std::int16_t(rc.top),
                          std::uint16_t(rc.Width()), std::uint16_t(rc.Height()), ~0u,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, m_shmSeg, 0),
        &pErr));
    XcbReply<xcb_generic_error_t> err(pErr);
    if (!r)
        return false;
    capture::ConvertServerRows(m_pShm, stride, rc.Width(), rc.Height(), m_format, out, at);
    return true;
}

bool CScreenGrabber::GrabPlain(const Rect& rc, CImageBitmap& out, Point at) {
    xcb_connection_t* c = m_conn.Get();
    const std::size_t stride = m_format.RowBytes(rc.Width());
    // Bands of about 8 MiB keep each reply (and its buffer) small.
    const int band = int(std::clamp<std::size_t>((std::size_t(8) << 20) / std::max<std::size_t>(stride, 1), 1, 65535));
    for (int y = 0; y < rc.Height(); y += band) {
        const int h = std::min(band, rc.Height() - y);
        XcbReply<xcb_get_image_reply_t> r(xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_conn.Root(), std::int16_t(rc.left),
                          std::int16_t(rc.top + y), std::uint16_t(rc.Width()), std::uint16_t(h), ~0u),
            nullptr));
        if (!r || std::size_t(xcb_get_image_data_length(r.get())) < stride * std::size_t(h))
            return false;
        capture::ConvertServerRows(xcb_get_image_data(r.get()), stride, rc.Width(), h, m_format, out,
                                   {at.x, at.y + y});
    }
    return true;
}

bool CScreenGrabber::Grab(const Rect& rcRoot, CImageBitmap& out, RGBQuad outside) {
    if (rcRoot.IsEmpty() || rcRoot.Width() > CImageBitmap::kMaxSide || rcRoot.Height() > CImageBitmap::kMaxSide)
        return false;
    const bool bSupported = m_format.nBitsPerPixel == 16 || m_format.nBitsPerPixel == 24 ||
                            m_format.nBitsPerPixel == 32;
    if (!bSupported || !m_format.redMask) {
        img::Trace("x11: root pixel format (depth %d, %d bpp) not supported\n", m_format.nDepth,
                   m_format.nBitsPerPixel);
        return false;
    }
    try {
        if (out.Width() != rcRoot.Width() || out.Height() != rcRoot.Height() || out.Depth() != 32 ||
            out.HasAlpha())
            out.Create(rcRoot.Width(), rcRoot.Height(), 32);
    } catch (const CTextException&) {
        return false; // out of memory: out keeps what it had
    }
    const Rect visible = rcRoot.Intersect(m_conn.RootRect());
    const Rect inside = visible.Offset(Point{-rcRoot.left, -rcRoot.top});
    FillAround(out, inside, outside);
    if (visible.IsEmpty())
        return true;
    if (m_bShmEnabled && IsShmAvailable() && GrabShm(visible, out, inside.TopLeft()))
        return true;
    return GrabPlain(visible, out, inside.TopLeft());
}
