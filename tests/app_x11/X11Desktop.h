// SPDX-License-Identifier: MIT
// CDesktop: the window manager's view of the programs' windows, read and driven as a pager would,
// for the tests that run real quorvi-studio processes.
#pragma once

#include "support/Wait.h"

#include <xcb/xcb.h>

#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace studiotest {

// The window manager's view of the program's windows, read as a pager would.
class CDesktop {
public:
    // displayName: the X server to look at; empty for $DISPLAY.
    explicit CDesktop(const std::string& displayName = {}) {
        m_pConnection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_pConnection)).data->root;
    }
    ~CDesktop() { xcb_disconnect(m_pConnection); }
    CDesktop(const CDesktop&) = delete;
    CDesktop& operator=(const CDesktop&) = delete;

    xcb_atom_t Atom(const char* pszName) const {
        auto* pReply = xcb_intern_atom_reply(
            m_pConnection, xcb_intern_atom(m_pConnection, 0, std::strlen(pszName), pszName),
            nullptr);
        const xcb_atom_t atom = pReply != nullptr ? pReply->atom : XCB_NONE;
        std::free(pReply);
        return atom;
    }

    std::vector<std::uint32_t> Property(xcb_window_t window, const char* pszName) const {
        auto* pReply =
            xcb_get_property_reply(m_pConnection,
                                   xcb_get_property(m_pConnection, 0, window, Atom(pszName),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr);
        std::vector<std::uint32_t> values;
        if (pReply != nullptr && pReply->format == 32) {
            const auto* p = static_cast<const std::uint32_t*>(xcb_get_property_value(pReply));
            values.assign(p, p + xcb_get_property_value_length(pReply) / 4);
        }
        std::free(pReply);
        return values;
    }

    // The managed top-level window of process pid, or none.
    xcb_window_t WindowOf(pid_t pid) const {
        for (std::uint32_t window : Property(m_root, "_NET_CLIENT_LIST")) {
            const auto pids = Property(window, "_NET_WM_PID");
            if (!pids.empty() && pid_t(pids[0]) == pid)
                return window;
        }
        return XCB_NONE;
    }

    // A mapped child of the root that belongs to process pid, or none; for a server without a
    // window manager, where there is no client list.
    xcb_window_t MappedWindowOf(pid_t pid) const {
        auto* pTree =
            xcb_query_tree_reply(m_pConnection, xcb_query_tree(m_pConnection, m_root), nullptr);
        xcb_window_t found = XCB_NONE;
        if (pTree != nullptr) {
            const xcb_window_t* pChildren = xcb_query_tree_children(pTree);
            for (int i = 0; i < xcb_query_tree_children_length(pTree) && found == XCB_NONE; ++i) {
                const auto pids = Property(pChildren[i], "_NET_WM_PID");
                if (pids.empty() || pid_t(pids[0]) != pid)
                    continue;
                auto* pAttributes = xcb_get_window_attributes_reply(
                    m_pConnection, xcb_get_window_attributes(m_pConnection, pChildren[i]), nullptr);
                if (pAttributes != nullptr && pAttributes->map_state == XCB_MAP_STATE_VIEWABLE)
                    found = pChildren[i];
                std::free(pAttributes);
            }
        }
        std::free(pTree);
        return found;
    }

    // How many managed windows process pid has (its main window, dialogs, message boxes).
    int WindowsOf(pid_t pid) const {
        int nCount = 0;
        for (std::uint32_t window : Property(m_root, "_NET_CLIENT_LIST")) {
            const auto pids = Property(window, "_NET_WM_PID");
            nCount += !pids.empty() && pid_t(pids[0]) == pid ? 1 : 0;
        }
        return nCount;
    }

    // The window's caption (_NET_WM_NAME), or "".
    std::string Title(xcb_window_t window) const {
        auto* pReply =
            xcb_get_property_reply(m_pConnection,
                                   xcb_get_property(m_pConnection, 0, window, Atom("_NET_WM_NAME"),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr);
        std::string text;
        if (pReply != nullptr && pReply->format == 8)
            text.assign(static_cast<const char*>(xcb_get_property_value(pReply)),
                        std::size_t(xcb_get_property_value_length(pReply)));
        std::free(pReply);
        return text;
    }

    xcb_window_t ActiveWindow() const {
        const auto values = Property(m_root, "_NET_ACTIVE_WINDOW");
        return values.empty() ? XCB_NONE : values[0];
    }

    // ICCCM WM_STATE: 1 normal, 3 iconic (minimised), 0 withdrawn (hidden).
    std::uint32_t WmState(xcb_window_t window) const {
        const auto values = Property(window, "WM_STATE");
        return values.empty() ? 0 : values[0];
    }

    // From now on the server keeps the root's substructure events for this connection, so that
    // a window taken on and let go by the window manager between two looks is not missed.
    void WatchRoot() const {
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_pConnection, m_root, XCB_CW_EVENT_MASK, &mask);
        std::free(
            xcb_get_input_focus_reply(m_pConnection, xcb_get_input_focus(m_pConnection), nullptr));
    }

    // Waits until a window of process pid comes back to the root from the window manager's
    // frame: it was managed and then withdrawn (ICCCM: the manager reparents a withdrawn window
    // to the root). Needs WatchRoot first.
    bool WaitWithdrawn(pid_t pid) const {
        return testsupport::WaitUntil([&] {
            bool bWithdrawn = false;
            while (xcb_generic_event_t* pEvent = xcb_poll_for_event(m_pConnection)) {
                if ((pEvent->response_type & 0x7F) == XCB_REPARENT_NOTIFY) {
                    const auto* pReparent =
                        reinterpret_cast<const xcb_reparent_notify_event_t*>(pEvent);
                    const auto pids = Property(pReparent->window, "_NET_WM_PID");
                    bWithdrawn = bWithdrawn || (pReparent->parent == m_root && !pids.empty() &&
                                                pid_t(pids[0]) == pid);
                }
                std::free(pEvent);
            }
            return bWithdrawn;
        });
    }

    // What the task bar's minimise does.
    void Minimise(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("WM_CHANGE_STATE");
        event.data.data32[0] = 3;
        Send(event);
    }

    // What the title-bar Close does.
    void RequestClose(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("_NET_CLOSE_WINDOW");
        event.data.data32[1] = 2;
        Send(event);
    }

private:
    void Send(const xcb_client_message_event_t& event) const {
        xcb_send_event(m_pConnection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_pConnection);
    }

    xcb_connection_t* m_pConnection = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

} // namespace studiotest
