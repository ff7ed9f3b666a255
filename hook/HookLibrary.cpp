// SPDX-License-Identifier: MIT
// The hook library's state: hook requests, event translation and delivery.
#include "HookLibrary.h"

#include "HookUtil.h"

#include <xcb/xinput.h>

#include <algorithm>

namespace hook {

int CHookLibrary::Connect(const char* displayName) {
    if (m_pSession)
        return QRZ_OK;
    m_pSession = CHookSession::Open(displayName);
    return m_pSession ? QRZ_OK : QRZ_ERR_NO_DISPLAY;
}

int CHookLibrary::EnsureSession() {
    if (!m_pSession)
        return Connect(nullptr);
    return m_pSession->Broken() ? QRZ_ERR_NO_DISPLAY : QRZ_OK;
}

int CHookLibrary::ConnectionFd() {
    const int result = EnsureSession();
    return result == QRZ_OK ? m_pSession->Fd() : result;
}

int CHookLibrary::Shutdown() {
    m_queue.clear();
    m_keyboardReceiver = {};
    m_mouseReceiver = {};
    m_keysDown.reset();
    m_rawAwaitingCore.reset();
    if (m_pSession) {
        // Released explicitly (not left to the disconnect) so they are free on return.
        m_pSession->Mouse().Release();
        m_pSession->HotKeys().Release();
        m_pSession->Sync();
    }
    m_pSession.reset();
    return QRZ_OK;
}

int CHookLibrary::DispatchEvents() {
    if (!m_pSession)
        return QRZ_ERR_NO_DISPLAY;
    m_pSession->ReadEvents(m_queue);
    // A nested call (a proc running an event loop) only queues: the outer loop delivers in order.
    if (m_bDispatching)
        return 0;
    m_bDispatching = true;
    int delivered = 0;
    while (m_pSession && !m_queue.empty()) {
        // Replies read while handling the last event (and in the proc) may have brought more.
        m_pSession->ReadQueuedEvents(m_queue);
        const XcbEvent pEvent = std::move(m_queue.front());
        m_queue.pop_front();
        const xcb_generic_event_t* pNext = m_queue.empty() ? nullptr : m_queue.front().get();
        if (const std::optional<Delivery> delivery = Translate(*pEvent, pNext)) {
            Deliver(*delivery); // may unhook, rehook or shut down: checked per event
            ++delivered;
        }
    }
    m_bDispatching = false;
    if (!m_pSession || m_pSession->Broken())
        return QRZ_ERR_NO_DISPLAY;
    return delivered;
}

void CHookLibrary::Deliver(const Delivery& delivery) {
    const Receiver& receiver = delivery.bToMouseReceiver ? m_mouseReceiver : m_keyboardReceiver;
    if (receiver.proc)
        receiver.proc(receiver.context, delivery.message.nMessage, delivery.message.nWParam,
                      delivery.message.nLParam);
}

// pNext is the event queued after this one, if any: a run of moves or of keymap changes needs
// handling once, for the last of them.
std::optional<CHookLibrary::Delivery> CHookLibrary::Translate(const xcb_generic_event_t& event,
                                                              const xcb_generic_event_t* pNext) {
    CMouseHook& mouse = m_pSession->Mouse();
    auto toMouse = [](std::optional<HookMessage> message) -> std::optional<Delivery> {
        return message ? std::optional<Delivery>(Delivery{true, *message}) : std::nullopt;
    };
    switch (event.response_type & 0x7F) {
    case 0: {
        const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
        Trace("X error %u on request %u.%u", error.error_code, error.major_code, error.minor_code);
        return std::nullopt;
    }
    case XCB_KEY_PRESS:
        return TranslateKeyPress(reinterpret_cast<const xcb_key_press_event_t&>(event));
    case XCB_KEY_RELEASE:
        TranslateKeyRelease(reinterpret_cast<const xcb_key_release_event_t&>(event));
        return std::nullopt;
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
        if (!mouse.Active())
            return std::nullopt;
        return toMouse(mouse.OnButton(reinterpret_cast<const xcb_button_press_event_t&>(event),
                                      (event.response_type & 0x7F) == XCB_BUTTON_PRESS,
                                      m_nDoubleClickMs));
    case XCB_MOTION_NOTIFY:
        if (!mouse.Active() || (pNext && (pNext->response_type & 0x7F) == XCB_MOTION_NOTIFY))
            return std::nullopt;
        return toMouse(mouse.OnMotion(reinterpret_cast<const xcb_motion_notify_event_t&>(event)));
    case XCB_GE_GENERIC:
        return TranslateGeneric(event);
    case XCB_MAPPING_NOTIFY:
        OnMappingNotify(const_cast<xcb_mapping_notify_event_t&>(
            reinterpret_cast<const xcb_mapping_notify_event_t&>(event)));
        return std::nullopt;
    default:
        if (m_pSession->IsKeymapChange(event) && !(pNext && m_pSession->IsKeymapChange(*pNext)))
            OnKeymapChanged(true);
        return std::nullopt;
    }
}

// Core presses reach the library through its passive grabs and while the picker holds the
// keyboard; with raw key events (see TranslateRawKey) a press may come both ways.
std::optional<CHookLibrary::Delivery>
CHookLibrary::TranslateKeyPress(const xcb_key_press_event_t& event) {
    const xcb_keycode_t keycode = event.detail;
    const bool bCompanion = m_rawAwaitingCore.test(keycode);
    m_rawAwaitingCore.reset(keycode);
    const bool bRepeat =
        !bCompanion && (m_keysDown.test(keycode) ||
                        (!m_pSession->DetectableAutoRepeat() && keycode == m_nLastReleaseKey &&
                         event.time == m_nLastReleaseTime));
    m_keysDown.set(keycode);
    CMouseHook& mouse = m_pSession->Mouse();
    if (mouse.Active())
        if (std::optional<HookMessage> key = mouse.OnKeyPress(event))
            return Delivery{true, *key};
    // A companion's hotkey was decided by its raw press. A press without one was made while the
    // library held the keyboard (the server keeps raw events from the grabbing client).
    if (bCompanion || bRepeat)
        return std::nullopt;
    return MatchHotKey(keycode, event.state);
}

std::optional<CHookLibrary::Delivery>
CHookLibrary::TranslateGeneric(const xcb_generic_event_t& event) {
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (!m_pSession->RawKeyOpcode() || generic.extension != m_pSession->RawKeyOpcode())
        return std::nullopt;
    if (generic.event_type != XCB_INPUT_RAW_KEY_PRESS &&
        generic.event_type != XCB_INPUT_RAW_KEY_RELEASE)
        return std::nullopt;
    const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
    return TranslateRawKey(static_cast<xcb_keycode_t>(raw.detail),
                           generic.event_type == XCB_INPUT_RAW_KEY_PRESS);
}

// The server sends raw events to every client but the one holding the keyboard grab. A press
// reaches the library raw first; if one of its passive grabs (or the picker's grab) takes the
// press, the core press follows and the release comes as a core event, otherwise the release
// comes raw. So raw and core events together tell which keys are down. Raw events never repeat.
std::optional<CHookLibrary::Delivery> CHookLibrary::TranslateRawKey(xcb_keycode_t keycode,
                                                                    bool bPress) {
    if (!bPress) {
        m_keysDown.reset(keycode);
        m_rawAwaitingCore.reset(keycode);
        return std::nullopt;
    }
    // The core press may go to another program (an open menu): the raw press decides.
    const uint16_t state = ModifierStateOfKeysDown();
    m_keysDown.set(keycode);
    m_rawAwaitingCore.set(keycode);
    return MatchHotKey(keycode, state);
}

std::optional<CHookLibrary::Delivery> CHookLibrary::MatchHotKey(xcb_keycode_t keycode,
                                                                uint16_t state) {
    if (!KeyboardHooked())
        return std::nullopt;
    const int index = m_pSession->HotKeys().Match(keycode, state);
    if (index < 0)
        return std::nullopt;
    return Delivery{false,
                    HookMessage{QRZM_ForwardKeyboardMessage, static_cast<uint32_t>(index), 0}};
}

uint16_t CHookLibrary::ModifierStateOfKeysDown() const {
    const CKeyboardMap& keyboard = m_pSession->Keyboard();
    uint16_t state = 0;
    for (int keycode = 8; keycode < 256; ++keycode)
        if (m_keysDown.test(keycode))
            state |= keyboard.ModifiersOfKey(static_cast<xcb_keycode_t>(keycode));
    return state;
}

void CHookLibrary::TranslateKeyRelease(const xcb_key_release_event_t& event) {
    m_keysDown.reset(event.detail);
    m_rawAwaitingCore.reset(event.detail);
    m_nLastReleaseKey = event.detail;
    m_nLastReleaseTime = event.time;
}

void CHookLibrary::OnMappingNotify(xcb_mapping_notify_event_t& event) {
    if (m_pSession->Keyboard().OnMappingNotify(&event))
        OnKeymapChanged(false);
}

// The hotkeys' keycodes and modifier bits may have moved: grab them anew.
void CHookLibrary::OnKeymapChanged(bool bReload) {
    if (bReload)
        m_pSession->Keyboard().Reload();
    if (!KeyboardHooked())
        return;
    Trace("keyboard mapping changed: grabbing the hotkeys again");
    GrabHotKeys();
}

// Keys pressed under a grab now ended are released elsewhere; without raw events the library
// will not see it.
void CHookLibrary::ForgetKeysWithoutRawEvents() {
    if (!m_pSession->RawKeyOpcode())
        m_keysDown.reset();
}

int CHookLibrary::GrabHotKeys() {
    const int failed = m_pSession->HotKeys().Grab(m_table);
    m_pSession->Sync();
    if (m_pSession->Broken())
        return QRZ_ERR_NO_DISPLAY;
    return failed ? QRZ_ERR_HOTKEYS_FAILED : QRZ_OK;
}

int CHookLibrary::HookKeyboard(QRZ_NotifyProc proc, void* context, const uint16_t* table) {
    if (!proc)
        return QRZ_ERR_INVALID_ARGUMENT;
    if (const int result = EnsureSession(); result != QRZ_OK)
        return result;
    if (table)
        std::copy_n(table, QRZ_HOTKEY_COUNT, m_table.begin());
    m_keyboardReceiver = {proc, context};
    return GrabHotKeys();
}

int CHookLibrary::SetHotKeys(const uint16_t* table) {
    if (!table)
        return QRZ_ERR_INVALID_ARGUMENT;
    std::copy_n(table, QRZ_HOTKEY_COUNT, m_table.begin());
    if (!KeyboardHooked() || !m_pSession)
        return QRZ_OK;
    return GrabHotKeys();
}

int CHookLibrary::GetHotKeys(uint16_t* table) const {
    if (!table)
        return QRZ_ERR_INVALID_ARGUMENT;
    std::copy(m_table.begin(), m_table.end(), table);
    return QRZ_OK;
}

int CHookLibrary::HotKeyStatus(int index) const {
    if (index < 0 || index >= QRZ_HOTKEY_COUNT)
        return QRZ_ERR_INVALID_ARGUMENT;
    if (!m_table[index])
        return QRZ_HOTKEY_NONE;
    if (!KeyboardHooked() || !m_pSession)
        return QRZ_HOTKEY_INACTIVE;
    return m_pSession->HotKeys().Status(index);
}

int CHookLibrary::UnHookKeyboard() {
    m_keyboardReceiver = {};
    if (m_pSession) {
        ForgetKeysWithoutRawEvents();
        m_pSession->HotKeys().Release();
        m_pSession->Sync();
    }
    return QRZ_OK;
}

int CHookLibrary::HookMouse(QRZ_NotifyProc proc, void* context, uint32_t cursor) {
    if (!proc)
        return QRZ_ERR_INVALID_ARGUMENT;
    if (const int result = EnsureSession(); result != QRZ_OK)
        return result;
    const int result = m_pSession->Mouse().Grab(cursor);
    m_mouseReceiver = result == QRZ_OK ? Receiver{proc, context} : Receiver{};
    if (result != QRZ_OK)
        m_pSession->Sync(); // the rolled-back grabs are free when the caller learns of it
    return result;
}

int CHookLibrary::UnHookMouse() {
    m_mouseReceiver = {};
    if (m_pSession) {
        m_pSession->Mouse().Release();
        m_pSession->Sync();
        ForgetKeysWithoutRawEvents();
    }
    return QRZ_OK;
}

int CHookLibrary::MovePointerBy(int dx, int dy) {
    if (dx < -32768 || dx > 32767 || dy < -32768 || dy > 32767)
        return QRZ_ERR_INVALID_ARGUMENT;
    if (const int result = EnsureSession(); result != QRZ_OK)
        return result;
    m_pSession->MovePointerBy(dx, dy);
    return m_pSession->Broken() ? QRZ_ERR_NO_DISPLAY : QRZ_OK;
}

int CHookLibrary::SetDoubleClickTime(uint32_t milliseconds) {
    if (milliseconds < 1 || milliseconds > 5000)
        return QRZ_ERR_INVALID_ARGUMENT;
    m_nDoubleClickMs = milliseconds;
    return QRZ_OK;
}

} // namespace hook
