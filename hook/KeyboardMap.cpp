// SPDX-License-Identifier: MIT
// The keyboard and modifier mapping read from the X server.
#include "KeyboardMap.h"

#include "HookUtil.h"
#include "TavixHook.h"

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include <algorithm>

namespace hook {

CKeyboardMap::CKeyboardMap(xcb_connection_t* pConnection)
    : m_pConnection(pConnection), m_pSymbols(xcb_key_symbols_alloc(pConnection)) {
    ReadModifierMapping();
}

CKeyboardMap::~CKeyboardMap() {
    if (m_pSymbols)
        xcb_key_symbols_free(m_pSymbols);
}

bool CKeyboardMap::OnMappingNotify(xcb_mapping_notify_event_t* pEvent) {
    if (pEvent->request == XCB_MAPPING_POINTER || !m_pSymbols)
        return false;
    // Refreshing the keysyms also covers a modifier change: the library drops its whole cache.
    xcb_refresh_keyboard_mapping(m_pSymbols, pEvent);
    ReadModifierMapping();
    return true;
}

void CKeyboardMap::Reload() {
    if (m_pSymbols)
        xcb_key_symbols_free(m_pSymbols);
    m_pSymbols = xcb_key_symbols_alloc(m_pConnection);
    ReadModifierMapping();
}

std::vector<xcb_keycode_t> CKeyboardMap::KeycodesFor(uint32_t keysym) const {
    std::vector<xcb_keycode_t> keycodes;
    if (!m_pSymbols || keysym == 0)
        return keycodes;
    XcbReply<xcb_keycode_t> list(xcb_key_symbols_get_keycode(m_pSymbols, keysym));
    for (const xcb_keycode_t* p = list.get(); p && *p != XCB_NO_SYMBOL; ++p)
        keycodes.push_back(*p);
    std::sort(keycodes.begin(), keycodes.end());
    keycodes.erase(std::unique(keycodes.begin(), keycodes.end()), keycodes.end());
    return keycodes;
}

uint32_t CKeyboardMap::KeysymFor(xcb_keycode_t keycode, uint16_t state) const {
    if (!m_pSymbols)
        return 0;
    if (m_nNumLockMask && (state & m_nNumLockMask)) {
        const uint32_t keypad = xcb_key_symbols_get_keysym(m_pSymbols, keycode, 1);
        if (xcb_is_keypad_key(keypad))
            return keypad;
    }
    return xcb_key_symbols_get_keysym(m_pSymbols, keycode, 0);
}

uint16_t CKeyboardMap::ModifiersOfHotKey(uint16_t word) const noexcept {
    uint16_t mask = 0;
    if (word & QRZ_HOTKEY_CTRL)
        mask |= XCB_MOD_MASK_CONTROL;
    if (word & QRZ_HOTKEY_SHIFT)
        mask |= XCB_MOD_MASK_SHIFT;
    if (word & QRZ_HOTKEY_ALT)
        mask |= m_nAltMask;
    return mask;
}

uint16_t CKeyboardMap::SignificantModifiers(uint16_t state) const noexcept {
    const uint16_t locks = XCB_MOD_MASK_LOCK | m_nNumLockMask | m_nScrollLockMask;
    return static_cast<uint16_t>(state & 0xFF & ~locks);
}

std::vector<uint16_t> CKeyboardMap::LockVariants() const {
    std::vector<uint16_t> locks{XCB_MOD_MASK_LOCK};
    for (uint16_t mask : {m_nNumLockMask, m_nScrollLockMask})
        if (mask && std::find(locks.begin(), locks.end(), mask) == locks.end())
            locks.push_back(mask);
    std::vector<uint16_t> variants;
    for (unsigned subset = 0; subset < (1u << locks.size()); ++subset) {
        uint16_t variant = 0;
        for (size_t i = 0; i < locks.size(); ++i)
            if (subset & (1u << i))
                variant |= locks[i];
        variants.push_back(variant);
    }
    return variants;
}

void CKeyboardMap::ReadModifierMapping() {
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        m_pConnection, xcb_get_modifier_mapping(m_pConnection), nullptr));
    if (!reply) {
        Trace("cannot read the modifier mapping; assuming Alt on Mod1 and no NumLock");
        return;
    }
    uint16_t alt = MaskOfKeysym(*reply, XK_Alt_L);
    if (!alt)
        alt = MaskOfKeysym(*reply, XK_Meta_L);
    m_nAltMask = alt ? alt : static_cast<uint16_t>(XCB_MOD_MASK_1);
    m_anKeyModifiers.fill(0);
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(reply.get());
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < reply->keycodes_per_modifier; ++i)
            if (const xcb_keycode_t keycode = map[modifier * reply->keycodes_per_modifier + i])
                m_anKeyModifiers[keycode] |= static_cast<uint16_t>(1u << modifier);
    m_nNumLockMask = MaskOfKeysym(*reply, XK_Num_Lock);
    m_nScrollLockMask = MaskOfKeysym(*reply, XK_Scroll_Lock);
}

// The modifier bit whose keys include one producing keysym, or 0. Shift, Lock and Control are
// never answered: a key that sits there is not a lock or Alt in the sense meant here.
uint16_t CKeyboardMap::MaskOfKeysym(const xcb_get_modifier_mapping_reply_t& reply,
                                    uint32_t keysym) const {
    const std::vector<xcb_keycode_t> keycodes = KeycodesFor(keysym);
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(&reply);
    const int perModifier = reply.keycodes_per_modifier;
    for (int modifier = 3; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = map[modifier * perModifier + i];
            if (keycode && std::binary_search(keycodes.begin(), keycodes.end(), keycode))
                return static_cast<uint16_t>(1u << modifier);
        }
    return 0;
}

} // namespace hook
