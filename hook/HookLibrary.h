// SPDX-License-Identifier: MIT
// The hook library's state behind the C interface: the hotkey table, the two receivers, the
// connection and the queue of events waiting to be delivered.
#pragma once

#include "HookSession.h"
#include "HotKeyGrabber.h"
#include "MouseHook.h"
#include "TavixHook.h"

#include <bitset>
#include <deque>
#include <memory>
#include <optional>

namespace hook {

class CHookLibrary {
public:
    int Connect(const char* displayName);
    int ConnectionFd();
    int DispatchEvents();
    int Shutdown();

    int HookKeyboard(QRZ_NotifyProc proc, void* context, const uint16_t* table);
    int SetHotKeys(const uint16_t* table);
    int GetHotKeys(uint16_t* table) const;
    int HotKeyStatus(int index) const;
    int UnHookKeyboard();

    int HookMouse(QRZ_NotifyProc proc, void* context, uint32_t cursor);
    int UnHookMouse();
    int MovePointerBy(int dx, int dy);
    int SetDoubleClickTime(uint32_t milliseconds);

private:
    struct Receiver {
        QRZ_NotifyProc proc = nullptr;
        void* context = nullptr;
    };
    struct Delivery {
        bool bToMouseReceiver;
        HookMessage message;
    };

    int EnsureSession();
    int GrabHotKeys();
    std::optional<Delivery> Translate(const xcb_generic_event_t& event,
                                      const xcb_generic_event_t* pNext);
    std::optional<Delivery> TranslateKeyPress(const xcb_key_press_event_t& event);
    void TranslateKeyRelease(const xcb_key_release_event_t& event);
    std::optional<Delivery> TranslateGeneric(const xcb_generic_event_t& event);
    std::optional<Delivery> TranslateRawKey(xcb_keycode_t keycode, bool bPress);
    std::optional<Delivery> MatchHotKey(xcb_keycode_t keycode, uint16_t state);
    uint16_t ModifierStateOfKeysDown() const;
    void ForgetKeysWithoutRawEvents();
    void OnMappingNotify(xcb_mapping_notify_event_t& event);
    void OnKeymapChanged(bool bReload);
    void Deliver(const Delivery& delivery);
    bool KeyboardHooked() const noexcept { return m_keyboardReceiver.proc != nullptr; }

    HotKeyTable m_table{};
    Receiver m_keyboardReceiver;
    Receiver m_mouseReceiver;
    uint32_t m_nDoubleClickMs = 500;
    std::unique_ptr<CHookSession> m_pSession;
    std::deque<XcbEvent> m_queue;
    bool m_bDispatching = false;
    // Keys down, from raw and core events together: a core press of one is a repeat, and they
    // give the modifiers of a raw press.
    std::bitset<256> m_keysDown;
    // Keys whose raw press may still be followed by its core press (the server makes both while
    // handling one input event, raw first).
    std::bitset<256> m_rawAwaitingCore;
    // Without detectable auto-repeat a repeat is a release and a press with the same time.
    xcb_keycode_t m_nLastReleaseKey = 0;
    uint32_t m_nLastReleaseTime = 0;
};

} // namespace hook
