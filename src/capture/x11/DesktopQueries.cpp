// SPDX-License-Identifier: MIT
// Window-stack snapshot and the pickers' desktop questions over X11.
#include "capture/x11/DesktopQueries.h"

using capture::Point;
using capture::Rect;
using x11::XcbReply;

namespace {
constexpr int kMaxSnapshotDepth = 16;
} // namespace

CX11DesktopQueries::CX11DesktopQueries(const CX11Connection& conn)
    : m_windows(conn), m_conn(conn) {}

bool CX11DesktopQueries::Refresh() {
    m_nodes.clear();
    m_clients.clear();
    Node root;
    root.id = m_conn.Root();
    root.rc = m_conn.RootRect();
    root.bVisible = true;
    m_nodes.push_back(root);
    // Windows the window manager manages; without one, each top-level is its own client.
    if (auto list = m_conn.Property32(m_conn.Root(), m_conn.Atom("_NET_CLIENT_LIST"),
                                      XCB_ATOM_WINDOW, 4096))
        m_clients.insert(list->begin(), list->end());
    std::vector<int> level{0};
    for (int depth = 0; depth < kMaxSnapshotDepth && !level.empty(); ++depth) {
        std::vector<int> added;
        if (!AddChildren(level, added) && depth == 0)
            return false; // the root's own tree: the server is gone
        level.clear();
        for (int i : added)
            if (m_nodes[std::size_t(i)].bVisible)
                level.push_back(i);
    }
    return true;
}

// Asks for the children of every parent, then for all their attributes and geometries, in two
// round trips per tree level. False when no parent's tree could be read.
bool CX11DesktopQueries::AddChildren(const std::vector<int>& parents, std::vector<int>& added) {
    xcb_connection_t* c = m_conn.Get();
    std::vector<xcb_query_tree_cookie_t> treeCookies;
    treeCookies.reserve(parents.size());
    for (int p : parents)
        treeCookies.push_back(xcb_query_tree(c, m_nodes[std::size_t(p)].id));
    std::vector<std::pair<int, xcb_window_t>> found; // parent index, child
    bool bAnyTree = false;
    for (std::size_t i = 0; i < parents.size(); ++i) {
        XcbReply<xcb_query_tree_reply_t> r(xcb_query_tree_reply(c, treeCookies[i], nullptr));
        if (!r)
            continue;
        bAnyTree = true;
        const xcb_window_t* children = xcb_query_tree_children(r.get());
        for (int k = 0; k < xcb_query_tree_children_length(r.get()); ++k)
            found.emplace_back(parents[i], children[k]);
    }
    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    for (auto& [parent, w] : found) {
        attributeCookies.push_back(xcb_get_window_attributes(c, w));
        geometryCookies.push_back(xcb_get_geometry(c, w));
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        XcbReply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c, attributeCookies[i], nullptr));
        XcbReply<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(c, geometryCookies[i], nullptr));
        if (!a || !g)
            continue; // destroyed meanwhile
        const int parent = found[i].first;
        const Point origin = m_nodes[std::size_t(parent)].ptInside;
        Node node;
        node.id = found[i].second;
        const int b = g->border_width;
        node.rc =
            Rect::FromSize(origin.x + g->x, origin.y + g->y, g->width + 2 * b, g->height + 2 * b);
        node.ptInside = {origin.x + g->x + b, origin.y + g->y + b};
        node.bVisible = a->map_state == XCB_MAP_STATE_VIEWABLE &&
                        a->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
                        !m_windows.IsExcluded(node.id);
        const int index = int(m_nodes.size());
        m_nodes.push_back(std::move(node));
        m_nodes[std::size_t(parent)].children.push_back(index);
        added.push_back(index);
    }
    return bAnyTree;
}

int CX11DesktopQueries::TopLevelAt(Point p) const {
    if (m_nodes.empty())
        return -1;
    const std::vector<int>& tops = m_nodes[0].children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        const Node& n = m_nodes[std::size_t(*it)];
        if (n.bVisible && n.rc.Contains(p))
            return *it;
    }
    return -1;
}

int CX11DesktopQueries::ClientIn(int node) const {
    std::vector<int> level{node};
    while (!level.empty()) {
        std::vector<int> next;
        for (int i : level) {
            const Node& n = m_nodes[std::size_t(i)];
            if (m_clients.contains(n.id))
                return i;
            next.insert(next.end(), n.children.begin(), n.children.end());
        }
        level = std::move(next);
    }
    return node;
}

int CX11DesktopQueries::DeepestAt(int node, Point p) const {
    for (bool bDescended = true; bDescended;) {
        bDescended = false;
        const std::vector<int>& children = m_nodes[std::size_t(node)].children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            const Node& n = m_nodes[std::size_t(*it)];
            if (n.bVisible && n.rc.Contains(p)) {
                node = *it;
                bDescended = true;
                break;
            }
        }
    }
    return node;
}

std::optional<Rect> CX11DesktopQueries::ControlRectAt(Point p) const {
    const int top = TopLevelAt(p);
    if (top < 0)
        return std::nullopt;
    // Controls live in the client area; the frame's decorations are no controls.
    const int client = ClientIn(top);
    if (!m_nodes[std::size_t(client)].rc.Contains(p))
        return std::nullopt;
    return m_nodes[std::size_t(DeepestAt(client, p))].rc;
}

std::optional<Rect> CX11DesktopQueries::WindowRectAt(Point p) const {
    const int top = TopLevelAt(p);
    if (top < 0)
        return std::nullopt;
    return m_nodes[std::size_t(top)].rc;
}

std::optional<Rect> CX11DesktopQueries::ActiveWindowRect(bool bClientArea) const {
    const auto window = m_windows.ActiveWindow();
    if (!window)
        return std::nullopt;
    return bClientArea ? m_windows.ClientRect(*window) : m_windows.FrameRect(*window);
}

std::optional<Rect> CX11DesktopQueries::PopupMenuRect() const {
    const auto window = m_windows.PopupMenuWindow();
    if (!window)
        return std::nullopt;
    return m_conn.WindowRect(*window);
}

Rect CX11DesktopQueries::DesktopRect() const {
    return m_conn.RootRect();
}

std::vector<Rect> CX11DesktopQueries::MonitorRects() const {
    return m_windows.MonitorRects();
}
