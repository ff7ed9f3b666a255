// SPDX-License-Identifier: MIT
// Test windows with pattern backgrounds for the X11 capture tests.
#include "X11TestWindows.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace capturetest {

RGBQuad PatternPixel(int x, int y, int seed) {
    return RGBQuad{std::uint8_t(x * 7 + seed * 40), std::uint8_t(y * 5 + x / 37),
                   std::uint8_t((x ^ y) + seed * 91), 0};
}

RGBQuad ScreenPixel(RGBQuad q, int depth) {
    if (depth != 16)
        return q;
    auto expand = [](int v, int bits) {
        return std::uint8_t(std::lround(v * 255.0 / ((1 << bits) - 1)));
    };
    return RGBQuad{expand(q.blue >> 3, 5), expand(q.green >> 2, 6), expand(q.red >> 3, 5), 0};
}

xcb_atom_t InternAtom(xcb_connection_t* conn, const std::string& name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

namespace {

struct TopLevel {
    xcb_window_t id = XCB_NONE;
    bool bOverrideRedirect = false;
};

std::vector<TopLevel> ViewableTopLevelsOf(xcb_connection_t* conn) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    std::vector<TopLevel> viewable;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, root), nullptr);
    if (!tree)
        return viewable;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
        cookies.push_back(xcb_get_window_attributes(conn, children[i]));
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(conn, cookies[i], nullptr);
        if (a && a->map_state == XCB_MAP_STATE_VIEWABLE)
            viewable.push_back({children[i], a->override_redirect != 0});
        std::free(a);
    }
    std::free(tree);
    return viewable;
}

// The windows a root property names, None left out.
std::vector<xcb_window_t> RootWindowList(xcb_connection_t* conn, xcb_window_t root,
                                         xcb_atom_t property) {
    xcb_get_property_reply_t* p = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, root, property, XCB_ATOM_WINDOW, 0, 1024), nullptr);
    std::vector<xcb_window_t> windows;
    if (p && p->format == 32) {
        const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(p));
        for (int i = 0; i < xcb_get_property_value_length(p) / 4; ++i)
            if (v[i] != XCB_NONE)
                windows.push_back(v[i]);
    }
    std::free(p);
    return windows;
}

} // namespace

bool WaitWindowsGone(xcb_connection_t* owner, int timeoutMs) {
    const xcb_setup_t* setup = xcb_get_setup(owner);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    const xcb_atom_t clients = InternAtom(owner, "_NET_CLIENT_LIST");
    auto isOwners = [&](xcb_window_t w) {
        return (w & ~setup->resource_id_mask) == setup->resource_id_base;
    };
    return testsupport::WaitUntil(
        [&] {
            const std::vector<xcb_window_t> managed = RootWindowList(owner, root, clients);
            if (std::any_of(managed.begin(), managed.end(), isOwners))
                return false;
            const std::vector<TopLevel> viewable = ViewableTopLevelsOf(owner);
            return std::none_of(viewable.begin(), viewable.end(),
                                [&](const TopLevel& t) { return isOwners(t.id); });
        },
        std::chrono::milliseconds(timeoutMs));
}

xcb_window_t ActiveWindow(xcb_connection_t* conn) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const std::vector<xcb_window_t> active =
        RootWindowList(conn, root, InternAtom(conn, "_NET_ACTIVE_WINDOW"));
    return active.empty() ? XCB_NONE : active.front();
}

std::string DescribeDesktop(xcb_connection_t* conn) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    auto list = [](const std::vector<xcb_window_t>& windows) {
        std::string text;
        for (xcb_window_t w : windows)
            text += " 0x" + [&] {
                char b[16];
                std::snprintf(b, sizeof b, "%x", w);
                return std::string(b);
            }();
        return text;
    };
    std::string text =
        "managed:" + list(RootWindowList(conn, root, InternAtom(conn, "_NET_CLIENT_LIST")));
    text += "; active:" + list(RootWindowList(conn, root, InternAtom(conn, "_NET_ACTIVE_WINDOW")));
    text += "; viewable:";
    for (const TopLevel& t : ViewableTopLevelsOf(conn))
        text += list({t.id}) + (t.bOverrideRedirect ? "(o)" : "");
    return text;
}

void RequestMaximize(xcb_connection_t* conn, xcb_window_t window) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = InternAtom(conn, "_NET_WM_STATE");
    e.data.data32[0] = 1; // add
    e.data.data32[1] = InternAtom(conn, "_NET_WM_STATE_MAXIMIZED_VERT");
    e.data.data32[2] = InternAtom(conn, "_NET_WM_STATE_MAXIMIZED_HORZ");
    e.data.data32[3] = 1;
    xcb_send_event(conn, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(conn);
}

CTestWindow::CTestWindow(xcb_connection_t* conn, const Options& o) : m_pConn(conn) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const int w = o.rc.Width(), h = o.rc.Height();
    m_pixmap = xcb_generate_id(conn);
    xcb_create_pixmap(conn, screen->root_depth, m_pixmap, screen->root, std::uint16_t(w),
                      std::uint16_t(h));
    xcb_gcontext_t gc = xcb_generate_id(conn);
    xcb_create_gc(conn, gc, m_pixmap, 0, nullptr);
    // Rows in bands well under the request size limit, in the server's ZPixmap layout: 32-bit
    // B,G,R,0 for depth 24, 5-6-5 words for depth 16.
    const bool b16 = screen->root_depth == 16;
    const int band = std::max(1, 65536 / w);
    for (int y0 = 0; y0 < h; y0 += band) {
        const int rows = std::min(band, h - y0);
        std::vector<std::uint8_t> data(std::size_t(w) * std::size_t(rows) * (b16 ? 2 : 4));
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < w; ++x) {
                const RGBQuad q = PatternPixel(x, y0 + y, o.seed);
                const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                if (b16) {
                    const std::uint16_t v =
                        std::uint16_t(((q.red >> 3) << 11) | ((q.green >> 2) << 5) | (q.blue >> 3));
                    std::memcpy(&data[i * 2], &v, 2);
                } else {
                    std::memcpy(&data[i * 4], &q, 4);
                }
            }
        xcb_put_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, m_pixmap, gc, std::uint16_t(w),
                      std::uint16_t(rows), 0, std::int16_t(y0), 0, screen->root_depth,
                      std::uint32_t(data.size()), data.data());
    }
    xcb_free_gc(conn, gc);
    m_window = xcb_generate_id(conn);
    const std::uint32_t values[] = {m_pixmap, o.bOverrideRedirect ? 1u : 0u,
                                    std::uint32_t(o.cursor)};
    const std::uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT |
                               (o.cursor ? std::uint32_t(XCB_CW_CURSOR) : 0u);
    xcb_void_cookie_t cookie = xcb_create_window_checked(
        conn, XCB_COPY_FROM_PARENT, m_window, o.parent ? o.parent : screen->root,
        std::int16_t(o.rc.left), std::int16_t(o.rc.top), std::uint16_t(w), std::uint16_t(h), 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, mask, values);
    if (xcb_generic_error_t* err = xcb_request_check(conn, cookie)) {
        std::free(err);
        throw std::runtime_error("cannot create test window");
    }
    if (!o.types.empty()) {
        std::vector<xcb_atom_t> atoms;
        for (const std::string& t : o.types)
            atoms.push_back(InternAtom(conn, "_NET_WM_WINDOW_TYPE_" + t));
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, m_window,
                            InternAtom(conn, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                            std::uint32_t(atoms.size()), atoms.data());
    }
    if (o.bMap)
        Map();
    xcb_flush(conn);
}

CTestWindow::~CTestWindow() {
    xcb_destroy_window(m_pConn, m_window);
    xcb_free_pixmap(m_pConn, m_pixmap);
    xcb_flush(m_pConn);
}

void CTestWindow::Map() {
    xcb_map_window(m_pConn, m_window);
    xcb_flush(m_pConn);
}

void CTestWindow::Unmap() {
    xcb_unmap_window(m_pConn, m_window);
    xcb_flush(m_pConn);
}

bool CTestWindow::WaitMapped(bool bManaged) const {
    const xcb_atom_t extents = InternAtom(m_pConn, "_NET_FRAME_EXTENTS");
    return testsupport::WaitUntil([&] {
        xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
            m_pConn, xcb_get_window_attributes(m_pConn, m_window), nullptr);
        const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        if (!viewable || !bManaged)
            return viewable;
        xcb_get_property_reply_t* p = xcb_get_property_reply(
            m_pConn, xcb_get_property(m_pConn, 0, m_window, extents, XCB_ATOM_CARDINAL, 0, 4),
            nullptr);
        const bool framed = p && xcb_get_property_value_length(p) == 16;
        std::free(p);
        return framed;
    });
}

} // namespace capturetest
