// SPDX-License-Identifier: MIT
// XFixes cursor image and its blend into captures.
#include "capture/x11/CursorImage.h"

#include <xcb/xfixes.h>

#include <algorithm>
#include <cstring>

using capture::Point;
using capture::Rect;
using x11::XcbReply;

namespace {

// round(v / 255) for v in [0, 255 * 255].
inline std::uint32_t Div255(std::uint32_t v) noexcept {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

inline std::uint8_t BlendChannel(std::uint32_t src, std::uint32_t dst,
                                 std::uint32_t inverseAlpha) noexcept {
    // A premultiplied channel above its alpha (malformed image) must not wrap around.
    return std::uint8_t(std::min<std::uint32_t>(src + Div255(dst * inverseAlpha), 255));
}

void BlendRow(const std::uint32_t* IMG_RESTRICT src, RGBQuad* IMG_RESTRICT dst,
              int count) noexcept {
    for (int x = 0; x < count; ++x) {
        const std::uint32_t s = src[x];
        const std::uint32_t inverseAlpha = 255 - (s >> 24);
        dst[x].red = BlendChannel((s >> 16) & 0xFF, dst[x].red, inverseAlpha);
        dst[x].green = BlendChannel((s >> 8) & 0xFF, dst[x].green, inverseAlpha);
        dst[x].blue = BlendChannel(s & 0xFF, dst[x].blue, inverseAlpha);
    }
}

} // namespace

namespace capture {

std::optional<CursorImage> FetchCursorImage(const CX11Connection& conn) {
    xcb_connection_t* c = conn.Get();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!ext || !ext->present)
        return std::nullopt;
    // XFixes requests other than QueryVersion are refused before the version is agreed.
    XcbReply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
    if (!version)
        return std::nullopt;
    XcbReply<xcb_xfixes_get_cursor_image_reply_t> r(
        xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr));
    if (!r)
        return std::nullopt;
    CursorImage cursor;
    cursor.ptPointer = {r->x, r->y};
    cursor.ptHotSpot = {r->xhot, r->yhot};
    cursor.nWidth = r->width;
    cursor.nHeight = r->height;
    const std::size_t count = std::size_t(r->width) * r->height;
    if (std::size_t(xcb_xfixes_get_cursor_image_cursor_image_length(r.get())) < count)
        return std::nullopt;
    // xcb hands out 32-bit values already (Xlib widens them to sign-extended longs).
    cursor.argb.resize(count);
    if (count)
        std::memcpy(cursor.argb.data(), xcb_xfixes_get_cursor_image_cursor_image(r.get()),
                    count * 4);
    return cursor;
}

bool BlendCursor(CImageBitmap& bmp, Point origin, const CursorImage& cursor) {
    if (bmp.Depth() != 32)
        return false;
    if (cursor.argb.size() < std::size_t(cursor.nWidth) * std::size_t(std::max(cursor.nHeight, 0)))
        return false;
    const Point at = cursor.TopLeft() - origin; // cursor's corner in bitmap pixels
    const Rect onBitmap = Rect::FromSize(at.x, at.y, cursor.nWidth, cursor.nHeight)
                              .Intersect(Rect{0, 0, bmp.Width(), bmp.Height()});
    for (int y = onBitmap.top; y < onBitmap.bottom; ++y) {
        const std::uint32_t* src = cursor.argb.data() +
                                   std::size_t(y - at.y) * std::size_t(cursor.nWidth) +
                                   (onBitmap.left - at.x);
        BlendRow(src, bmp.Row<RGBQuad>(y) + onBitmap.left, onBitmap.Width());
    }
    return true;
}

} // namespace capture
