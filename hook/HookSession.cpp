// SPDX-License-Identifier: MIT
// The hook library's X connection.
#include "HookSession.h"

// xkb.h names a member "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xinput.h>

namespace hook {

std::unique_ptr<CHookSession> CHookSession::Open(const char* displayName) {
    int screenNumber = 0;
    ConnectionPtr pConnection(xcb_connect(displayName, &screenNumber));
    if (xcb_connection_has_error(pConnection.get())) {
        Trace("cannot connect to the X display %s", displayName ? displayName : "($DISPLAY)");
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(pConnection.get()));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return nullptr;
    const xcb_window_t root = it.data->root;
    return std::unique_ptr<CHookSession>(new CHookSession(std::move(pConnection), root));
}

CHookSession::CHookSession(ConnectionPtr pConnection, xcb_window_t root)
    : m_pConnection(std::move(pConnection)), m_root(root),
      m_nRawKeyOpcode((SetUpXkb(), SelectRawKeys())), m_keyboard(m_pConnection.get()),
      m_hotKeys(m_pConnection.get(), root, m_keyboard),
      m_mouse(m_pConnection.get(), root, m_keyboard) {}

bool CHookSession::IsKeymapChange(const xcb_generic_event_t& event) const noexcept {
    if (!m_nXkbEventBase || (event.response_type & 0x7F) != m_nXkbEventBase)
        return false;
    const uint8_t type = reinterpret_cast<const xcb_xkb_map_notify_event_t&>(event).xkbType;
    return type == XCB_XKB_NEW_KEYBOARD_NOTIFY || type == XCB_XKB_MAP_NOTIFY;
}

void CHookSession::ReadEvents(std::deque<XcbEvent>& queue) {
    while (xcb_generic_event_t* pEvent = xcb_poll_for_event(m_pConnection.get()))
        queue.emplace_back(pEvent);
}

void CHookSession::ReadQueuedEvents(std::deque<XcbEvent>& queue) {
    while (xcb_generic_event_t* pEvent = xcb_poll_for_queued_event(m_pConnection.get()))
        queue.emplace_back(pEvent);
}

void CHookSession::MovePointerBy(int dx, int dy) {
    xcb_warp_pointer(m_pConnection.get(), XCB_NONE, XCB_NONE, 0, 0, 0, 0, static_cast<int16_t>(dx),
                     static_cast<int16_t>(dy));
    xcb_flush(m_pConnection.get());
}

void CHookSession::Sync() {
    XcbReply<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(
        m_pConnection.get(), xcb_get_input_focus(m_pConnection.get()), nullptr));
}

// Detectable auto-repeat: without it a held key arrives as release/press pairs, which a hotkey
// must not take for new presses. Map events: the keymap the grabs were made from may change.
void CHookSession::SetUpXkb() {
    xcb_connection_t* pConnection = m_pConnection.get();
    XcbReply<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        pConnection,
        xcb_xkb_use_extension(pConnection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported) {
        Trace("no XKB: key auto-repeat is told apart by timestamps");
        return;
    }
    constexpr uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    XcbReply<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(
        pConnection,
        xcb_xkb_per_client_flags(pConnection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0),
        nullptr));
    m_bDetectableAutoRepeat = flags && (flags->value & flag);

    constexpr uint16_t events =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    constexpr uint16_t parts =
        XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
    const xcb_xkb_select_events_details_t details{};
    XcbError error(xcb_request_check(
        pConnection, xcb_xkb_select_events_aux_checked(pConnection, XCB_XKB_ID_USE_CORE_KBD, events,
                                                       0, events, parts, parts, &details)));
    const xcb_query_extension_reply_t* pExtension =
        xcb_get_extension_data(pConnection, &xcb_xkb_id);
    if (!error && pExtension && pExtension->present)
        m_nXkbEventBase = pExtension->first_event;
    else
        Trace("XKB map events refused: keymap changes go unnoticed");
}

// XInput 2.1 and later deliver raw events to every client that selected them, grabs or not.
uint8_t CHookSession::SelectRawKeys() {
    xcb_connection_t* pConnection = m_pConnection.get();
    const xcb_query_extension_reply_t* pExtension =
        xcb_get_extension_data(pConnection, &xcb_input_id);
    // XInput 2 events travel as generic events; without that extension none would arrive.
    static constexpr char kGenericEvents[] = "Generic Event Extension";
    XcbReply<xcb_query_extension_reply_t> generic(xcb_query_extension_reply(
        pConnection, xcb_query_extension(pConnection, sizeof kGenericEvents - 1, kGenericEvents),
        nullptr));
    if (!pExtension || !pExtension->present || !generic || !generic->present) {
        Trace("no XInput 2 events: hotkeys stay silent while another program holds the keyboard");
        return 0;
    }
    XcbReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        pConnection, xcb_input_xi_query_version(pConnection, 2, 2), nullptr));
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < 1)) {
        Trace("no XInput 2.1: hotkeys stay silent while another program holds the keyboard");
        return 0;
    }
    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE};
    XcbError error(xcb_request_check(
        pConnection, xcb_input_xi_select_events_checked(pConnection, m_root, 1, &mask.head)));
    if (error) {
        Trace("raw key events refused (X error %u)", error->error_code);
        return 0;
    }
    return pExtension->major_opcode;
}

} // namespace hook
