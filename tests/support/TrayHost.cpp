// SPDX-License-Identifier: MIT
// The tests' system-tray host.
#include "support/TrayHost.h"

#include "support/Wait.h"

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace testsupport {
namespace {

xcb_atom_t InternAtom(xcb_connection_t* pConnection, const char* pszName) {
    xcb_intern_atom_reply_t* pReply = xcb_intern_atom_reply(
        pConnection, xcb_intern_atom(pConnection, 0, std::strlen(pszName), pszName), nullptr);
    const xcb_atom_t atom = pReply != nullptr ? pReply->atom : XCB_NONE;
    std::free(pReply);
    return atom;
}

constexpr uint32_t kSystemTrayRequestDock = 0;
constexpr int kStripIcons = 8;

} // namespace

CTrayHost::CTrayHost(const std::string& displayName) {
    int nScreen = 0;
    m_pConnection = xcb_connect(displayName.c_str(), &nScreen);
    if (xcb_connection_has_error(m_pConnection) != 0) {
        xcb_disconnect(m_pConnection);
        throw std::runtime_error("tray host: cannot open display " + displayName);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_pConnection));
    for (int i = 0; i < nScreen; ++i)
        xcb_screen_next(&it);
    xcb_screen_t* pScreen = it.data;
    m_root = pScreen->root;

    // The strip the icons live in: override-redirect, so no window manager moves or decorates it.
    m_strip = xcb_generate_id(m_pConnection);
    m_xStrip = pScreen->width_in_pixels - kStripIcons * kIconSize;
    const uint32_t values[] = {pScreen->black_pixel, 1, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_create_window(m_pConnection, XCB_COPY_FROM_PARENT, m_strip, m_root, int16_t(m_xStrip), 0,
                      kStripIcons * kIconSize, kIconSize, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      pScreen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(m_pConnection, m_strip);

    const std::string strSelection = "_NET_SYSTEM_TRAY_S" + std::to_string(nScreen);
    const xcb_atom_t selection = InternAtom(m_pConnection, strSelection.c_str());
    m_opcode = InternAtom(m_pConnection, "_NET_SYSTEM_TRAY_OPCODE");
    const xcb_atom_t manager = InternAtom(m_pConnection, "MANAGER");
    xcb_get_selection_owner_reply_t* pOwner = xcb_get_selection_owner_reply(
        m_pConnection, xcb_get_selection_owner(m_pConnection, selection), nullptr);
    const bool bTaken = pOwner != nullptr && pOwner->owner != XCB_NONE;
    std::free(pOwner);
    if (bTaken) {
        xcb_disconnect(m_pConnection);
        throw std::runtime_error("tray host: another tray owns " + strSelection);
    }
    xcb_set_selection_owner(m_pConnection, m_strip, selection, XCB_CURRENT_TIME);
    // The server orders requests per connection only: until this answer comes, a program started
    // next may still find no tray, and then dock again a moment later, into another slot.
    std::free(xcb_get_selection_owner_reply(
        m_pConnection, xcb_get_selection_owner(m_pConnection, selection), nullptr));

    // Programs already running learn of the new tray from this message.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = m_root;
    event.type = manager;
    event.data.data32[0] = XCB_CURRENT_TIME;
    event.data.data32[1] = selection;
    event.data.data32[2] = m_strip;
    xcb_send_event(m_pConnection, 0, m_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_pConnection);
    m_thread = std::thread([this] { Serve(); });
}

CTrayHost::~CTrayHost() {
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    xcb_disconnect(m_pConnection);
}

void CTrayHost::Serve() {
    pollfd fd{xcb_get_file_descriptor(m_pConnection), POLLIN, 0};
    while (!m_bStop) {
        while (xcb_generic_event_t* pEvent = xcb_poll_for_event(m_pConnection)) {
            if ((pEvent->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto* pMessage = reinterpret_cast<const xcb_client_message_event_t*>(pEvent);
                if (pMessage->type == m_opcode &&
                    pMessage->data.data32[1] == kSystemTrayRequestDock)
                    Dock(pMessage->data.data32[2]);
            } else if ((pEvent->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
                const auto* pDestroy = reinterpret_cast<const xcb_destroy_notify_event_t*>(pEvent);
                const std::lock_guard lock(m_mutex);
                std::erase(m_docked, pDestroy->window);
            }
            std::free(pEvent);
        }
        if (xcb_connection_has_error(m_pConnection) != 0)
            return;
        poll(&fd, 1, 20);
    }
}

void CTrayHost::Dock(xcb_window_t icon) {
    size_t nSlot = 0;
    {
        const std::lock_guard lock(m_mutex);
        nSlot = m_docked.size();
    }
    // In the save set, the icon goes back to the root instead of dying with the strip.
    xcb_change_save_set(m_pConnection, XCB_SET_MODE_INSERT, icon);
    xcb_reparent_window(m_pConnection, icon, m_strip, int16_t(nSlot * kIconSize), 0);
    const uint32_t size[] = {kIconSize, kIconSize};
    xcb_configure_window(m_pConnection, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    xcb_map_window(m_pConnection, icon);
    xcb_flush(m_pConnection);
    const std::lock_guard lock(m_mutex);
    m_docked.push_back(icon);
}

std::vector<xcb_window_t> CTrayHost::Docked() const {
    const std::lock_guard lock(m_mutex);
    return m_docked;
}

bool CTrayHost::WaitForDocked(size_t nCount, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Docked().size() >= nCount; }, timeout);
}

std::pair<int, int> CTrayHost::IconCentre(size_t nIndex) const {
    return {m_xStrip + int(nIndex) * kIconSize + kIconSize / 2, kIconSize / 2};
}

std::optional<std::pair<int, int>> CTrayHost::CentreOf(xcb_window_t icon) const {
    xcb_query_tree_reply_t* pTree =
        xcb_query_tree_reply(m_pConnection, xcb_query_tree(m_pConnection, icon), nullptr);
    const bool bInStrip = pTree != nullptr && pTree->parent == m_strip;
    std::free(pTree);
    xcb_get_window_attributes_reply_t* pAttributes = xcb_get_window_attributes_reply(
        m_pConnection, xcb_get_window_attributes(m_pConnection, icon), nullptr);
    const bool bViewable =
        pAttributes != nullptr && pAttributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(pAttributes);
    xcb_translate_coordinates_reply_t* pAt = xcb_translate_coordinates_reply(
        m_pConnection, xcb_translate_coordinates(m_pConnection, icon, m_root, 0, 0), nullptr);
    std::optional<std::pair<int, int>> centre;
    if (bInStrip && bViewable && pAt != nullptr)
        centre = std::pair{pAt->dst_x + kIconSize / 2, pAt->dst_y + kIconSize / 2};
    std::free(pAt);
    return centre;
}

} // namespace testsupport
