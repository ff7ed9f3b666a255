// SPDX-License-Identifier: MIT
// One X connection of the hook library with the keyboard map, hotkey grabs and mouse hook on it.
#pragma once

#include "HookUtil.h"
#include "HotKeyGrabber.h"
#include "KeyboardMap.h"
#include "MouseHook.h"

#include <xcb/xcb.h>

#include <deque>
#include <memory>

namespace hook {

class CHookSession {
public:
    // The session on displayName (NULL: $DISPLAY), or null when no connection can be made.
    static std::unique_ptr<CHookSession> Open(const char* displayName);
    ~CHookSession() = default;
    CHookSession(const CHookSession&) = delete;
    CHookSession& operator=(const CHookSession&) = delete;

    int Fd() const noexcept { return xcb_get_file_descriptor(m_pConnection.get()); }
    bool Broken() const noexcept { return xcb_connection_has_error(m_pConnection.get()) != 0; }
    // True when the server reports key auto-repeat as presses only (no release in between).
    bool DetectableAutoRepeat() const noexcept { return m_bDetectableAutoRepeat; }
    // True for the XKB events that say the keymap or the modifier map changed. A client using
    // XKB gets these instead of the core MappingNotify.
    bool IsKeymapChange(const xcb_generic_event_t& event) const noexcept;
    // The XInput major opcode when raw key events are selected, else 0. Raw key events reach
    // the library even while another program holds the keyboard (an open menu), when the
    // passive grabs stay silent.
    uint8_t RawKeyOpcode() const noexcept { return m_nRawKeyOpcode; }

    // Moves every event that has arrived to the end of queue.
    void ReadEvents(std::deque<XcbEvent>& queue);
    // The same for events already read from the socket (by replies), without a system call.
    void ReadQueuedEvents(std::deque<XcbEvent>& queue);
    void MovePointerBy(int dx, int dy);
    // Returns once the server has handled every request sent so far, so that a released grab
    // is free for other programs when the caller goes on.
    void Sync();

    CKeyboardMap& Keyboard() noexcept { return m_keyboard; }
    CHotKeyGrabber& HotKeys() noexcept { return m_hotKeys; }
    CMouseHook& Mouse() noexcept { return m_mouse; }

private:
    struct ConnectionDeleter {
        void operator()(xcb_connection_t* p) const noexcept { xcb_disconnect(p); }
    };
    using ConnectionPtr = std::unique_ptr<xcb_connection_t, ConnectionDeleter>;

    CHookSession(ConnectionPtr pConnection, xcb_window_t root);
    void SetUpXkb();
    uint8_t SelectRawKeys();

    // Declared first so that it closes last, after the grabs are released.
    ConnectionPtr m_pConnection;
    xcb_window_t m_root;
    bool m_bDetectableAutoRepeat = false;
    uint8_t m_nXkbEventBase = 0; // 0: XKB events not selected
    uint8_t m_nRawKeyOpcode;
    CKeyboardMap m_keyboard;
    CHotKeyGrabber m_hotKeys;
    CMouseHook m_mouse;
};

} // namespace hook
