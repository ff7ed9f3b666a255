// SPDX-License-Identifier: MIT
// The server's keyboard and modifier mapping as the hook needs it: keysym <-> keycode, and which
// modifier bits are Alt and the lock keys.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdint>
#include <vector>

namespace hook {

class CKeyboardMap {
public:
    explicit CKeyboardMap(xcb_connection_t* pConnection);
    ~CKeyboardMap();
    CKeyboardMap(const CKeyboardMap&) = delete;
    CKeyboardMap& operator=(const CKeyboardMap&) = delete;

    // Takes a new mapping after MappingNotify; true when keys or modifiers changed.
    bool OnMappingNotify(xcb_mapping_notify_event_t* pEvent);
    // Reads the whole mapping again (after XKB's map events, which name no key range we need).
    void Reload();

    // Every keycode that produces keysym in any shift level (sorted, no duplicates).
    std::vector<xcb_keycode_t> KeycodesFor(uint32_t keysym) const;
    // The keysym a key press produces for the lock state in state, ignoring Shift (the picker
    // wants the key, not the character): level 1, or level 2 of keypad keys under NumLock.
    uint32_t KeysymFor(xcb_keycode_t keycode, uint16_t state) const;

    // X modifier mask of a hotkey word's Ctrl, Shift and Alt bits.
    uint16_t ModifiersOfHotKey(uint16_t word) const noexcept;
    // state without the lock modifiers and the pointer buttons: what a hotkey must match.
    uint16_t SignificantModifiers(uint16_t state) const noexcept;
    // The modifier bits a key sets while it is down (raw key events carry no state).
    uint16_t ModifiersOfKey(xcb_keycode_t keycode) const noexcept {
        return m_anKeyModifiers[keycode];
    }
    // Every combination of Lock, NumLock and ScrollLock (those mapped), 0 included.
    std::vector<uint16_t> LockVariants() const;

private:
    void ReadModifierMapping();
    uint16_t MaskOfKeysym(const xcb_get_modifier_mapping_reply_t& reply, uint32_t keysym) const;

    xcb_connection_t* m_pConnection;
    xcb_key_symbols_t* m_pSymbols;
    uint16_t m_nAltMask = XCB_MOD_MASK_1;
    uint16_t m_nNumLockMask = 0;
    uint16_t m_nScrollLockMask = 0;
    std::array<uint16_t, 256> m_anKeyModifiers{};
};

} // namespace hook
