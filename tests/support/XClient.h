// SPDX-License-Identifier: MIT
// A test's own X client: injects keys and pointer input with XTest, and plays "another program"
// that grabs keys, the pointer or the keyboard.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace testsupport {

class CXClient {
public:
    // Connects to displayName; throws std::runtime_error when it cannot, or without XTest.
    explicit CXClient(const std::string& displayName);
    ~CXClient();
    CXClient(const CXClient&) = delete;
    CXClient& operator=(const CXClient&) = delete;

    xcb_connection_t* Connection() const noexcept { return m_pConnection; }
    xcb_window_t Root() const noexcept { return m_root; }
    // The first keycode producing keysym, or 0.
    xcb_keycode_t Keycode(uint32_t keysym) const;

    // Input through XTest. delayMs makes the server wait that long before the event, so that
    // server timestamps are spaced without the test sleeping.
    void KeyDown(uint32_t keysym, uint32_t delayMs = 0);
    void KeyUp(uint32_t keysym, uint32_t delayMs = 0);
    void Tap(uint32_t keysym);
    // A key by its keycode (for keys the client's keysym cache does not know yet).
    void TapKeycode(xcb_keycode_t keycode);
    // Presses the keys in order and releases them in reverse, like a person typing a hotkey.
    void Chord(std::initializer_list<uint32_t> keysyms);
    void MoveTo(int x, int y, uint32_t delayMs = 0);
    void ButtonDown(int button, uint32_t delayMs = 0);
    void ButtonUp(int button, uint32_t delayMs = 0);
    void Click(int button, uint32_t delayMs = 0);

    std::pair<int, int> PointerPosition() const;
    // The lock modifiers now on (XCB_MOD_MASK_LOCK, Mod2 for NumLock on the usual keymaps).
    uint16_t ModifierState() const;
    // Waits until the server has handled every request sent so far.
    void Sync() const;

    // "Another program": true when the passive grab was granted.
    bool GrabKey(uint32_t keysym, uint16_t modifiers) const;
    void UngrabKey(uint32_t keysym, uint16_t modifiers) const;
    // XCB_GRAB_STATUS_SUCCESS, XCB_GRAB_STATUS_ALREADY_GRABBED, ...
    uint8_t GrabPointer() const;
    uint8_t GrabKeyboard() const;
    void UngrabPointer() const;
    void UngrabKeyboard() const;

private:
    void Fake(uint8_t type, uint8_t detail, uint32_t delayMs, int x = 0, int y = 0);

    xcb_connection_t* m_pConnection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_key_symbols_t* m_pSymbols = nullptr;
};

} // namespace testsupport
