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

void ConvertNativeRow(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                      int width) {
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
            ConvertNativeRow(
                reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * srcStride),
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

CShmSegment::~CShmSegment() {
    xcb_shm_detach(m_pConn, m_seg);
    xcb_flush(m_pConn);
    shmdt(m_pData);
}

std::unique_ptr<CShmSegment> CShmSegment::Create(const CX11Connection& conn, std::size_t cb) {
    xcb_connection_t* c = conn.Get();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present || cb == 0)
        return nullptr;
    const int id = shmget(IPC_PRIVATE, cb, IPC_CREAT | 0600);
    if (id < 0)
        return nullptr;
    void* addr = shmat(id, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    XcbReply<xcb_generic_error_t> err(
        xcb_request_check(c, xcb_shm_attach_checked(c, seg, std::uint32_t(id), 0)));
    shmctl(id, IPC_RMID, nullptr);
    if (err) {
        img::Trace("x11: MIT-SHM attach failed (error %d)\n", err->error_code);
        shmdt(addr);
        return nullptr;
    }
    return std::unique_ptr<CShmSegment>(
        new CShmSegment(c, seg, static_cast<std::uint8_t*>(addr), cb));
}

CShmBitmap::CShmBitmap(const CX11Connection& conn) : m_pConn(&conn) {
    Create(16, 16, 8);
}

CShmBitmap::~CShmBitmap() = default;

void CShmBitmap::Allocate(int width, int height, int depth) {
    const std::size_t rowBytes = PackedRowBytes(width, depth);
    CheckSize(width, height, depth, rowBytes);
    const std::size_t cb = std::max<std::size_t>(rowBytes * std::size_t(height), 1);
    if (!m_palette)
        m_palette = std::make_unique<RGBQuad[]>(256);
    if (m_segment && m_segment->Size() >= cb) {
        m_heap.reset();
    } else if (auto segment = CShmSegment::Create(*m_pConn, cb)) {
        m_segment = std::move(segment);
        m_heap.reset();
    } else {
        auto heap = img::AllocateBytes(cb); // throws before anything changes
        m_segment.reset();
        m_heap = std::move(heap);
    }
    m_pBits = m_segment ? m_segment->Data() : m_heap.get();
    m_pPalette = depth <= 8 ? m_palette.get() : nullptr;
}

void CShmBitmap::Free() noexcept {
    m_segment.reset();
    m_heap.reset();
    m_pBits = nullptr;
    m_pPalette = nullptr;
}

void CShmBitmap::SwapBlocks(CImageBitmap& other) noexcept {
    auto& peer = static_cast<CShmBitmap&>(other);
    std::swap(m_pConn, peer.m_pConn);
    std::swap(m_segment, peer.m_segment);
    std::swap(m_heap, peer.m_heap);
    std::swap(m_palette, peer.m_palette);
}

std::size_t CShmBitmap::MemoryUsed() const noexcept {
    const std::size_t paletteBytes =
        Depth() <= 8 ? std::size_t(PaletteSize()) * sizeof(RGBQuad) : 0;
    return std::size_t(Height()) * BytesPerLine() + paletteBytes + sizeof(*this);
}

std::unique_ptr<CImageBitmap> CShmBitmap::CreateEmptyLike() const {
    return std::make_unique<CShmBitmap>(*m_pConn);
}

namespace capture {

void ClearFourthBytes(std::uint8_t* pixels, std::size_t count) noexcept {
    // Blocks small enough to stay in the first-level cache between the check and the fix.
    constexpr std::size_t kBlock = 2048; // pixels
    constexpr std::uint64_t kPad = 0xFF000000FF000000ull;
    for (std::size_t i = 0; i < count; i += kBlock) {
        const std::size_t n = std::min(kBlock, count - i);
        std::uint8_t* block = pixels + i * 4;
        std::uint64_t any = 0;
        const std::size_t pairs = n / 2;
        for (std::size_t k = 0; k < pairs; ++k) {
            std::uint64_t v;
            std::memcpy(&v, block + k * 8, 8);
            any |= v;
        }
        if (n & 1)
            any |= std::uint64_t(block[(n - 1) * 4 + 3]) << 24;
        if (!(any & kPad))
            continue;
        for (std::size_t k = 0; k < n; ++k)
            block[k * 4 + 3] = 0;
    }
}

} // namespace capture

CScreenGrabber::CScreenGrabber(CX11Connection& conn)
    : m_conn(conn), m_format(DetectFormat(conn.Get(), conn.Screen())) {}

CScreenGrabber::~CScreenGrabber() = default;

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

bool CScreenGrabber::EnsureSegment(std::size_t cbNeeded) {
    if (m_segment && m_segment->Size() >= cbNeeded)
        return true;
    m_segment.reset();
    // Sized for the whole root so that later grabs reuse it.
    const Rect root = m_conn.RootRect();
    const std::size_t cb =
        std::max(cbNeeded, m_format.RowBytes(root.Width()) * std::size_t(root.Height()));
    m_segment = CShmSegment::Create(m_conn, cb);
    return m_segment != nullptr;
}

// Bands of about 1 MiB: the first arrives while the server is still copying the rest, so the
// caller's work on it overlaps the server's (bands of 8 MiB made a 1920x1080 grab one band,
// with no overlap, and cost about twice as long; bands below 512 KiB lose more to the round
// trips than they gain).
// The server is grabbed for the whole sequence so that no other client draws between two
// bands (one request alone would be atomic).
template <class OnBand>
bool CScreenGrabber::GrabShmBands(const Rect& rc, const CShmSegment& segment, OnBand&& onBand) {
    xcb_connection_t* c = m_conn.Get();
    const std::size_t stride = m_format.RowBytes(rc.Width());
    const int bandRows = int(std::clamp<std::size_t>(
        (std::size_t(1) << 20) / std::max<std::size_t>(stride, 1), 1, std::size_t(rc.Height())));
    const int bands = (rc.Height() + bandRows - 1) / bandRows;
    auto request = [&](int band) {
        const int y = band * bandRows;
        const int h = std::min(bandRows, rc.Height() - y);
        return xcb_shm_get_image(c, m_conn.Root(), std::int16_t(rc.left), std::int16_t(rc.top + y),
                                 std::uint16_t(rc.Width()), std::uint16_t(h), ~0u,
                                 XCB_IMAGE_FORMAT_Z_PIXMAP, segment.Id(),
                                 std::uint32_t(std::size_t(y) * stride));
    };
    if (bands > 1)
        xcb_grab_server(c);
    xcb_shm_get_image_cookie_t cookie = request(0);
    xcb_flush(c);
    bool ok = true;
    for (int band = 0; band < bands; ++band) {
        xcb_generic_error_t* pErr = nullptr;
        XcbReply<xcb_shm_get_image_reply_t> r(xcb_shm_get_image_reply(c, cookie, &pErr));
        XcbReply<xcb_generic_error_t> err(pErr);
        ok = ok && r;
        // The next request goes out only now: the server sends replies when it has nothing
        // more of ours to do, so asking earlier would hold this one back.
        if (band + 1 < bands) {
            cookie = request(band + 1);
            if (band + 2 == bands)
                xcb_ungrab_server(c);
            xcb_flush(c);
        }
        if (ok) {
            const int y = band * bandRows;
            onBand(y, std::min(bandRows, rc.Height() - y));
        }
    }
    return ok;
}

bool CScreenGrabber::GrabShm(const Rect& rc, CImageBitmap& out, Point at) {
    auto* shm = dynamic_cast<CShmBitmap*>(&out);
    const CShmSegment* own = shm ? shm->Segment() : nullptr;
    if (own && own->Connection() == m_conn.Get() && m_format.IsNativeBgrx() && at == Point{} &&
        rc.Width() == out.Width() && rc.Height() == out.Height()) {
        // The server writes the bitmap's rows itself; only its fourth bytes may need clearing.
        std::uint8_t* bits = out.Bits();
        const std::size_t stride = out.BytesPerLine();
        return GrabShmBands(rc, *own, [&](int y, int rows) {
            capture::ClearFourthBytes(bits + std::size_t(y) * stride,
                                      std::size_t(rows) * std::size_t(rc.Width()));
        });
    }
    const std::size_t stride = m_format.RowBytes(rc.Width());
    if (!EnsureSegment(stride * std::size_t(rc.Height()))) {
        m_nShmState = -1;
        return false;
    }
    const std::uint8_t* base = m_segment->Data();
    return GrabShmBands(rc, *m_segment, [&](int y, int rows) {
        capture::ConvertServerRows(base + std::size_t(y) * stride, stride, rc.Width(), rows,
                                   m_format, out, {at.x, at.y + y});
    });
}

bool CScreenGrabber::GrabPlain(const Rect& rc, CImageBitmap& out, Point at) {
    xcb_connection_t* c = m_conn.Get();
    const std::size_t stride = m_format.RowBytes(rc.Width());
    // Bands of about 8 MiB keep each reply (and its buffer) small.
    const int band = int(std::clamp<std::size_t>(
        (std::size_t(8) << 20) / std::max<std::size_t>(stride, 1), 1, 65535));
    for (int y = 0; y < rc.Height(); y += band) {
        const int h = std::min(band, rc.Height() - y);
        XcbReply<xcb_get_image_reply_t> r(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_conn.Root(),
                                              std::int16_t(rc.left), std::int16_t(rc.top + y),
                                              std::uint16_t(rc.Width()), std::uint16_t(h), ~0u),
                                nullptr));
        if (!r || std::size_t(xcb_get_image_data_length(r.get())) < stride * std::size_t(h))
            return false;
        capture::ConvertServerRows(xcb_get_image_data(r.get()), stride, rc.Width(), h, m_format,
                                   out, {at.x, at.y + y});
    }
    return true;
}

bool CScreenGrabber::Grab(const Rect& rcRoot, CImageBitmap& out, RGBQuad outside) {
    if (rcRoot.IsEmpty() || rcRoot.Width() > CImageBitmap::kMaxSide ||
        rcRoot.Height() > CImageBitmap::kMaxSide)
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
