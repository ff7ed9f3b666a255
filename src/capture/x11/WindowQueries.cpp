// SPDX-License-Identifier: MIT
// Active window, frames, pointer descent, popup menus and monitors over xcb and EWMH.
#include "capture/x11/WindowQueries.h"

#include <xcb/randr.h>

#include <algorithm>
#include <tuple>

using capture::Point;
using capture::Rect;
using x11::XcbReply;

namespace {

constexpr int kMaxTreeDepth = 64;
constexpr int kClientSearchDepth = 4;
constexpr int kTinySide = 2;

bool Contains(const std::vector<std::uint32_t>& items, xcb_atom_t atom) {
    return atom != XCB_ATOM_NONE && std::find(items.begin(), items.end(), atom) != items.end();
}

std::int64_t OverlapArea(const Rect& a, const Rect& b) {
    const Rect i = a.Intersect(b);
    return std::int64_t(i.Width()) * i.Height();
}

} // namespace

CX11Windows::CX11Windows(const CX11Connection& conn) : m_conn(conn) {
    conn.PrefetchAtoms({"_NET_ACTIVE_WINDOW", "_NET_FRAME_EXTENTS", "_NET_WM_STATE",
                        "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "WM_STATE",
                        "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_MENU",
                        "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
                        "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_NORMAL",
                        "_NET_CLIENT_LIST"});
}

bool CX11Windows::IsExcluded(xcb_window_t window) const {
    return std::find(m_excluded.begin(), m_excluded.end(), window) != m_excluded.end();
}

std::optional<xcb_window_t> CX11Windows::ActiveWindow() const {
    xcb_connection_t* c = m_conn.Get();
    const auto active =
        m_conn.Property32(m_conn.Root(), m_conn.Atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 1);
    xcb_window_t window = active && !active->empty() ? (*active)[0] : XCB_NONE;
    if (window == XCB_NONE) {
        // No window manager, or none focused yet: whoever has the keyboard focus.
        XcbReply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
            focus->focus == m_conn.Root())
            return std::nullopt;
        const auto top = TopLevelOf(focus->focus);
        if (!top || IsOverrideRedirect(*top))
            return std::nullopt;
        window = ClientOf(*top);
    }
    const auto top = TopLevelOf(window);
    if (!top || IsExcluded(window) || IsExcluded(*top))
        return std::nullopt;
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return std::nullopt;
    return window;
}

// A window manager with nothing to focus parks the focus on a tiny unmanaged window of its
// own off screen (openbox does); no unmanaged window is the application the user works in.
bool CX11Windows::IsOverrideRedirect(xcb_window_t window) const {
    xcb_connection_t* c = m_conn.Get();
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->override_redirect;
}

std::optional<xcb_window_t> CX11Windows::TopLevelOf(xcb_window_t window) const {
    for (int i = 0; i < kMaxTreeDepth; ++i) {
        const auto tree = m_conn.QueryTree(window);
        if (!tree || tree->parent == XCB_NONE)
            return std::nullopt; // gone, or the root itself
        if (tree->parent == m_conn.Root())
            return window;
        window = tree->parent;
    }
    return std::nullopt;
}

xcb_window_t CX11Windows::ClientOf(xcb_window_t topLevel) const {
    xcb_connection_t* c = m_conn.Get();
    const xcb_atom_t wmState = m_conn.Atom("WM_STATE");
    std::vector<xcb_window_t> level{topLevel};
    for (int depth = 0; depth < kClientSearchDepth && !level.empty(); ++depth) {
        std::vector<xcb_get_property_cookie_t> cookies;
        cookies.reserve(level.size());
        for (xcb_window_t w : level)
            cookies.push_back(xcb_get_property(c, 0, w, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
        xcb_window_t found = XCB_NONE;
        for (std::size_t i = 0; i < level.size(); ++i) {
            XcbReply<xcb_get_property_reply_t> r(xcb_get_property_reply(c, cookies[i], nullptr));
            if (r && r->type != XCB_NONE && found == XCB_NONE)
                found = level[i];
        }
        if (found != XCB_NONE)
            return found;
        std::vector<xcb_window_t> next;
        for (xcb_window_t w : level)
            if (auto tree = m_conn.QueryTree(w))
                next.insert(next.end(), tree->children.begin(), tree->children.end());
        level = std::move(next);
    }
    return topLevel;
}

std::optional<FrameExtents> CX11Windows::FrameExtentsOf(xcb_window_t client) const {
    const auto v =
        m_conn.Property32(client, m_conn.Atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
    if (!v || v->size() != 4)
        return std::nullopt;
    // Values are unsigned on the wire; a frame wider than a screen is nonsense, not a huge int.
    auto side = [](std::uint32_t x) { return int(std::min<std::uint32_t>(x, 4096)); };
    return FrameExtents{side((*v)[0]), side((*v)[1]), side((*v)[2]), side((*v)[3])};
}

bool CX11Windows::IsMaximized(xcb_window_t client) const {
    const auto state = m_conn.Property32(client, m_conn.Atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 64);
    return state && Contains(*state, m_conn.Atom("_NET_WM_STATE_MAXIMIZED_VERT")) &&
           Contains(*state, m_conn.Atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

std::optional<Rect> CX11Windows::ClientRect(xcb_window_t client) const {
    return m_conn.InsideRect(client);
}

std::optional<Rect> CX11Windows::FrameRect(xcb_window_t client) const {
    const auto inside = m_conn.InsideRect(client);
    if (!inside)
        return std::nullopt;
    const auto extents = FrameExtentsOf(client);
    std::optional<Rect> frame;
    if (extents) {
        frame = Rect{inside->left - extents->left, inside->top - extents->top,
                     inside->right + extents->right, inside->bottom + extents->bottom};
    } else {
        const auto top = TopLevelOf(client);
        frame = m_conn.WindowRect(top ? *top : client);
    }
    if (!frame || !IsMaximized(client))
        return frame;
    // The sizing border is the frame's thinnest side (the title bar is not part of it).
    const int border = extents ? std::min({extents->left, extents->right, extents->bottom}) : 0;
    Rect shrunk = frame->Inflated(-border, -border);
    const std::vector<Rect> monitors = MonitorRects();
    const auto best =
        std::max_element(monitors.begin(), monitors.end(), [&](const Rect& a, const Rect& b) {
            return OverlapArea(shrunk, a) < OverlapArea(shrunk, b);
        });
    if (best != monitors.end() && OverlapArea(shrunk, *best) > 0)
        shrunk = shrunk.Intersect(*best);
    return shrunk;
}

std::optional<CX11Windows::PointerWindows> CX11Windows::WindowUnderPointer() const {
    xcb_connection_t* c = m_conn.Get();
    PointerWindows result;
    xcb_window_t window = m_conn.Root();
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
        XcbReply<xcb_query_pointer_reply_t> r(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, window), nullptr));
        if (!r || !r->same_screen)
            return depth == 0 ? std::nullopt : std::optional(result);
        if (depth == 0)
            result.ptPointer = {r->root_x, r->root_y};
        if (r->child == XCB_NONE)
            break;
        if (depth == 0)
            result.topLevel = r->child;
        result.deepest = window = r->child;
    }
    return result;
}

namespace {

struct StackEntry {
    XcbReply<xcb_get_window_attributes_reply_t> attributes;
    XcbReply<xcb_get_geometry_reply_t> geometry;
    std::vector<std::uint32_t> types;
};

// Attributes, geometry and window types of every window, all requests in flight at once.
std::vector<StackEntry> ReadStack(xcb_connection_t* c, const std::vector<xcb_window_t>& windows,
                                  xcb_atom_t typeAtom) {
    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    std::vector<xcb_get_property_cookie_t> typeCookies;
    for (xcb_window_t w : windows) {
        attributeCookies.push_back(xcb_get_window_attributes(c, w));
        geometryCookies.push_back(xcb_get_geometry(c, w));
        typeCookies.push_back(xcb_get_property(c, 0, w, typeAtom, XCB_ATOM_ATOM, 0, 16));
    }
    std::vector<StackEntry> entries(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        entries[i].attributes.reset(
            xcb_get_window_attributes_reply(c, attributeCookies[i], nullptr));
        entries[i].geometry.reset(xcb_get_geometry_reply(c, geometryCookies[i], nullptr));
        XcbReply<xcb_get_property_reply_t> t(xcb_get_property_reply(c, typeCookies[i], nullptr));
        if (t && t->format == 32 && t->type == XCB_ATOM_ATOM) {
            const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(t.get()));
            entries[i].types.assign(v, v + xcb_get_property_value_length(t.get()) / 4);
        }
    }
    return entries;
}

bool IsPopupCandidate(const StackEntry& e) {
    const auto& a = e.attributes;
    const auto& g = e.geometry;
    return a && g && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE &&
           a->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT && g->width > kTinySide &&
           g->height > kTinySide;
}

} // namespace

std::optional<xcb_window_t> CX11Windows::PopupMenuWindow() const {
    const auto tree = m_conn.QueryTree(m_conn.Root());
    if (!tree)
        return std::nullopt;
    const std::vector<xcb_window_t>& windows = tree->children;
    const std::vector<StackEntry> stack =
        ReadStack(m_conn.Get(), windows, m_conn.Atom("_NET_WM_WINDOW_TYPE"));
    const xcb_atom_t menuTypes[] = {m_conn.Atom("_NET_WM_WINDOW_TYPE_POPUP_MENU"),
                                    m_conn.Atom("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"),
                                    m_conn.Atom("_NET_WM_WINDOW_TYPE_MENU"),
                                    m_conn.Atom("_NET_WM_WINDOW_TYPE_COMBO")};
    const xcb_atom_t normalType = m_conn.Atom("_NET_WM_WINDOW_TYPE_NORMAL");
    std::optional<xcb_window_t> untyped;
    for (std::size_t i = windows.size(); i-- > 0;) { // top-most first
        if (IsExcluded(windows[i]) || !IsPopupCandidate(stack[i]))
            continue;
        const std::vector<std::uint32_t>& types = stack[i].types;
        if (std::any_of(std::begin(menuTypes), std::end(menuTypes),
                        [&](xcb_atom_t m) { return Contains(types, m); }))
            return windows[i];
        // Tooltips, notifications and drag icons carry other types.
        if (!untyped && (types.empty() || (types.size() == 1 && types[0] == normalType)))
            untyped = windows[i];
    }
    return untyped;
}

namespace {

std::vector<Rect> RandrMonitors(xcb_connection_t* c, xcb_window_t root) {
    std::vector<Rect> monitors;
    XcbReply<xcb_randr_get_monitors_reply_t> r(
        xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, root, 1), nullptr));
    if (r)
        for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem;
             xcb_randr_monitor_info_next(&it))
            monitors.push_back(
                Rect::FromSize(it.data->x, it.data->y, it.data->width, it.data->height));
    return monitors;
}

// Before RandR 1.5: the rectangles of the CRTCs that show something.
std::vector<Rect> RandrCrtcs(xcb_connection_t* c, xcb_window_t root) {
    std::vector<Rect> monitors;
    XcbReply<xcb_randr_get_screen_resources_current_reply_t> res(
        xcb_randr_get_screen_resources_current_reply(
            c, xcb_randr_get_screen_resources_current(c, root), nullptr));
    if (!res)
        return monitors;
    const xcb_randr_crtc_t* crtcs = xcb_randr_get_screen_resources_current_crtcs(res.get());
    const int nCrtcs = xcb_randr_get_screen_resources_current_crtcs_length(res.get());
    std::vector<xcb_randr_get_crtc_info_cookie_t> cookies;
    cookies.reserve(std::size_t(std::max(nCrtcs, 0)));
    for (int i = 0; i < nCrtcs; ++i)
        cookies.push_back(xcb_randr_get_crtc_info(c, crtcs[i], res->config_timestamp));
    for (auto cookie : cookies) {
        XcbReply<xcb_randr_get_crtc_info_reply_t> info(
            xcb_randr_get_crtc_info_reply(c, cookie, nullptr));
        if (info && info->mode != XCB_NONE)
            monitors.push_back(Rect::FromSize(info->x, info->y, info->width, info->height));
    }
    return monitors;
}

} // namespace

std::vector<Rect> CX11Windows::MonitorRects() const {
    xcb_connection_t* c = m_conn.Get();
    std::vector<Rect> monitors;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    XcbReply<xcb_randr_query_version_reply_t> version(
        ext && ext->present
            ? xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr)
            : nullptr);
    if (version && (version->major_version > 1 || version->minor_version >= 5))
        monitors = RandrMonitors(c, m_conn.Root());
    else if (version)
        monitors = RandrCrtcs(c, m_conn.Root());
    std::erase_if(monitors, [](const Rect& r) { return r.IsEmpty(); });
    std::sort(monitors.begin(), monitors.end(), [](const Rect& a, const Rect& b) {
        return std::tie(a.top, a.left, a.bottom, a.right) <
               std::tie(b.top, b.left, b.bottom, b.right);
    });
    monitors.erase(std::unique(monitors.begin(), monitors.end()),
                   monitors.end()); // mirrored outputs
    if (monitors.empty())
        monitors.push_back(m_conn.RootRect());
    return monitors;
}
