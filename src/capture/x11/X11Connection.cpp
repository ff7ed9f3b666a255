// SPDX-License-Identifier: MIT
// xcb connection, atoms and property/geometry helpers of the screen services.
#include "capture/x11/X11Connection.h"

#include "image/Trace.h"

#include <cstring>

using capture::Rect;
using x11::XcbReply;

namespace {

xcb_screen_t* ScreenOf(xcb_connection_t* conn, int nScreen) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; it.rem > 0 && i < nScreen; ++i)
        xcb_screen_next(&it);
    return it.rem > 0 ? it.data : nullptr;
}

} // namespace

std::unique_ptr<CX11Connection> CX11Connection::Open(const char* display) {
    int nScreen = 0;
    xcb_connection_t* conn = xcb_connect(display, &nScreen);
    if (!conn || xcb_connection_has_error(conn)) {
        img::Trace("x11: cannot connect to display %s\n", display ? display : "(default)");
        if (conn)
            xcb_disconnect(conn);
        return nullptr;
    }
    xcb_screen_t* screen = ScreenOf(conn, nScreen);
    if (!screen) {
        xcb_disconnect(conn);
        return nullptr;
    }
    return std::unique_ptr<CX11Connection>(new CX11Connection(conn, screen, true));
}

std::unique_ptr<CX11Connection> CX11Connection::Borrow(xcb_connection_t* conn, int nScreen) {
    if (!conn || xcb_connection_has_error(conn))
        return nullptr;
    xcb_screen_t* screen = ScreenOf(conn, nScreen);
    if (!screen)
        return nullptr;
    return std::unique_ptr<CX11Connection>(new CX11Connection(conn, screen, false));
}

CX11Connection::~CX11Connection() {
    if (m_bOwned)
        xcb_disconnect(m_pConn);
}

Rect CX11Connection::RootRect() const {
    XcbReply<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(m_pConn, xcb_get_geometry(m_pConn, Root()), nullptr));
    if (!g)
        return Rect::FromSize(0, 0, m_pScreen->width_in_pixels, m_pScreen->height_in_pixels);
    return Rect::FromSize(0, 0, g->width, g->height);
}

void CX11Connection::PrefetchAtoms(const std::vector<std::string>& names) const {
    std::vector<std::pair<std::string, xcb_intern_atom_cookie_t>> pending;
    for (const std::string& name : names)
        if (!m_atoms.contains(name))
            pending.emplace_back(
                name, xcb_intern_atom(m_pConn, 0, std::uint16_t(name.size()), name.c_str()));
    for (auto& [name, cookie] : pending) {
        XcbReply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(m_pConn, cookie, nullptr));
        if (r)
            m_atoms[name] = r->atom;
    }
}

xcb_atom_t CX11Connection::Atom(const std::string& name) const {
    if (auto it = m_atoms.find(name); it != m_atoms.end())
        return it->second;
    PrefetchAtoms({name});
    auto it = m_atoms.find(name);
    return it != m_atoms.end() ? it->second : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<std::vector<std::uint32_t>> CX11Connection::Property32(xcb_window_t window,
                                                                     xcb_atom_t property,
                                                                     xcb_atom_t type,
                                                                     std::uint32_t maxItems) const {
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    XcbReply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        m_pConn, xcb_get_property(m_pConn, 0, window, property, type, 0, maxItems), nullptr));
    if (!r || r->type != type || r->format != 32)
        return std::nullopt;
    const int bytes = xcb_get_property_value_length(r.get());
    std::vector<std::uint32_t> items(std::size_t(bytes) / 4);
    if (!items.empty())
        std::memcpy(items.data(), xcb_get_property_value(r.get()), items.size() * 4);
    return items;
}

std::optional<Rect> CX11Connection::InsideRect(xcb_window_t window) const {
    auto geometryCookie = xcb_get_geometry(m_pConn, window);
    auto translateCookie = xcb_translate_coordinates(m_pConn, window, Root(), 0, 0);
    XcbReply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(m_pConn, geometryCookie, nullptr));
    XcbReply<xcb_translate_coordinates_reply_t> t(
        xcb_translate_coordinates_reply(m_pConn, translateCookie, nullptr));
    if (!g || !t)
        return std::nullopt;
    return Rect::FromSize(t->dst_x, t->dst_y, g->width, g->height);
}

std::optional<Rect> CX11Connection::WindowRect(xcb_window_t window) const {
    auto geometryCookie = xcb_get_geometry(m_pConn, window);
    auto translateCookie = xcb_translate_coordinates(m_pConn, window, Root(), 0, 0);
    XcbReply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(m_pConn, geometryCookie, nullptr));
    XcbReply<xcb_translate_coordinates_reply_t> t(
        xcb_translate_coordinates_reply(m_pConn, translateCookie, nullptr));
    if (!g || !t)
        return std::nullopt;
    const int b = g->border_width;
    return Rect::FromSize(t->dst_x - b, t->dst_y - b, g->width + 2 * b, g->height + 2 * b);
}

std::optional<CX11Connection::Tree> CX11Connection::QueryTree(xcb_window_t window) const {
    XcbReply<xcb_query_tree_reply_t> r(
        xcb_query_tree_reply(m_pConn, xcb_query_tree(m_pConn, window), nullptr));
    if (!r)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(r.get());
    Tree tree;
    tree.parent = r->parent;
    tree.children.assign(children, children + xcb_query_tree_children_length(r.get()));
    return tree;
}
