// SPDX-License-Identifier: MIT
// One xcb connection for the screen services: its screen, root window, interned atoms and the
// small property and geometry helpers every query needs.
#pragma once

#include "capture/CaptureGeometry.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace x11 {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace x11

class CX11Connection {
public:
    // Connects to `display` (null: $DISPLAY). Null when the server cannot be reached.
    static std::unique_ptr<CX11Connection> Open(const char* display = nullptr);
    // Uses a connection someone else owns (the toolkit's); it is not closed here.
    static std::unique_ptr<CX11Connection> Borrow(xcb_connection_t* conn, int nScreen);

    ~CX11Connection();
    CX11Connection(const CX11Connection&) = delete;
    CX11Connection& operator=(const CX11Connection&) = delete;

    xcb_connection_t* Get() const noexcept { return m_pConn; }
    xcb_screen_t* Screen() const noexcept { return m_pScreen; }
    xcb_window_t Root() const noexcept { return m_pScreen->root; }
    // The root's current size (it changes with monitor layouts, so it is asked each time).
    capture::Rect RootRect() const;

    // The atom of `name`, interned once; XCB_ATOM_NONE when the server does not answer.
    xcb_atom_t Atom(const std::string& name) const;
    // Interns several atoms in one round trip.
    void PrefetchAtoms(const std::vector<std::string>& names) const;

    // 32-bit items of a property (CARDINAL, WINDOW, ATOM lists), at most maxItems of them; empty
    // optional when the property is absent or of another type or format.
    std::optional<std::vector<std::uint32_t>> Property32(xcb_window_t window, xcb_atom_t property,
                                                         xcb_atom_t type,
                                                         std::uint32_t maxItems) const;
    // The outer rectangle (border included) of a window in root coordinates.
    std::optional<capture::Rect> WindowRect(xcb_window_t window) const;
    // The inside rectangle (border excluded) of a window in root coordinates.
    std::optional<capture::Rect> InsideRect(xcb_window_t window) const;
    // Parent and children (bottom to top) of a window.
    struct Tree {
        xcb_window_t parent = XCB_NONE;
        std::vector<xcb_window_t> children;
    };
    std::optional<Tree> QueryTree(xcb_window_t window) const;

private:
    CX11Connection(xcb_connection_t* conn, xcb_screen_t* screen, bool bOwned) noexcept
        : m_pConn(conn), m_pScreen(screen), m_bOwned(bOwned) {}

    xcb_connection_t* m_pConn;
    xcb_screen_t* m_pScreen;
    bool m_bOwned;
    mutable std::map<std::string, xcb_atom_t> m_atoms;
};
