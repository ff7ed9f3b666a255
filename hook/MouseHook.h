// SPDX-License-Identifier: MIT
// The pickers' mouse hook: an active pointer grab with the picker's cursor plus a keyboard grab,
// and the translation of their events into mouse messages and picker keys.
#pragma once

#include "ClickTracker.h"
#include "KeyboardMap.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

namespace hook {

// One message for the application: its id and two parameters.
struct HookMessage {
    uint32_t nMessage;
    uint32_t nWParam;
    uint32_t nLParam;
};

class CMouseHook {
public:
    CMouseHook(xcb_connection_t* pConnection, xcb_window_t root, const CKeyboardMap& keyboard);
    ~CMouseHook();
    CMouseHook(const CMouseHook&) = delete;
    CMouseHook& operator=(const CMouseHook&) = delete;

    // Grabs pointer and keyboard (again, when already grabbed: the cursor changes). A QRZ_ code;
    // on failure nothing is grabbed any more.
    int Grab(uint32_t cursor);
    void Release();
    bool Active() const noexcept { return m_bActive; }

    std::optional<HookMessage> OnButton(const xcb_button_press_event_t& event, bool bPress,
                                        uint32_t nDoubleClickMs);
    std::optional<HookMessage> OnMotion(const xcb_motion_notify_event_t& event) const;
    // Shift, Escape and the arrows become picker keys; other keys give nothing.
    std::optional<HookMessage> OnKeyPress(const xcb_key_press_event_t& event) const;

private:
    int CreateCursor(uint32_t cursor, xcb_cursor_t& result);
    int GrabPointer(xcb_cursor_t cursor);
    int GrabKeyboard();
    void FreeOwnedCursor(xcb_cursor_t cursor);
    void Ungrab();

    xcb_connection_t* m_pConnection;
    xcb_window_t m_root;
    const CKeyboardMap& m_keyboard;
    bool m_bActive = false;
    xcb_cursor_t m_ownedCursor = XCB_NONE; // a cursor-font glyph this hook created
    CClickTracker m_clicks;
};

} // namespace hook
