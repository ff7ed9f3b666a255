// SPDX-License-Identifier: MIT
// Passive key grabs for the hotkey table, checked request by request.
#include "HotKeyGrabber.h"

#include "HookUtil.h"

#include "base/HotkeyWord.h"
#include "base/VirtualKeys.h"

#include <set>
#include <utility>

namespace hook {

CHotKeyGrabber::CHotKeyGrabber(xcb_connection_t* pConnection, xcb_window_t root,
                               const CKeyboardMap& keyboard)
    : m_pConnection(pConnection), m_root(root), m_keyboard(keyboard) {}

CHotKeyGrabber::~CHotKeyGrabber() {
    Release();
}

// The old grabs stay until the new ones are made: a combination in both tables is never free
// for a moment, so a press during a regrab (a keymap change) still reaches the library. The
// server lets a client grab again what it already holds.
int CHotKeyGrabber::Grab(const HotKeyTable& table) {
    const std::vector<Combination> previous = std::exchange(m_grabs, {});
    m_mapEntries.clear();
    m_table = table;
    int failed = 0;
    for (int index = 0; index < QRZ_HOTKEY_COUNT; ++index) {
        m_anStatus[index] = m_table[index] ? GrabEntry(index, m_table[index]) : QRZ_HOTKEY_NONE;
        failed += m_anStatus[index] != QRZ_HOTKEY_NONE && m_anStatus[index] != QRZ_HOTKEY_ACTIVE;
    }
    const std::set<Combination> kept(m_grabs.begin(), m_grabs.end());
    for (const Combination& grab : previous)
        if (!kept.contains(grab))
            xcb_ungrab_key(m_pConnection, grab.first, m_root, grab.second);
    xcb_flush(m_pConnection);
    return failed;
}

void CHotKeyGrabber::Release() {
    for (const auto& [keycode, modifiers] : m_grabs)
        xcb_ungrab_key(m_pConnection, keycode, m_root, modifiers);
    m_grabs.clear();
    m_mapEntries.clear();
    for (int index = 0; index < QRZ_HOTKEY_COUNT; ++index)
        m_anStatus[index] = m_table[index] ? QRZ_HOTKEY_INACTIVE : QRZ_HOTKEY_NONE;
    xcb_flush(m_pConnection);
}

int CHotKeyGrabber::Match(xcb_keycode_t keycode, uint16_t state) const {
    const auto it = m_mapEntries.find({keycode, m_keyboard.SignificantModifiers(state)});
    return it == m_mapEntries.end() ? -1 : it->second;
}

int CHotKeyGrabber::GrabEntry(int index, uint16_t word) {
    const std::string text = base::HotkeyText(word);
    const std::vector<xcb_keycode_t> keycodes =
        m_keyboard.KeycodesFor(base::KeysymForVirtualKey(static_cast<uint8_t>(word & 0xFF)));
    if (keycodes.empty()) {
        Trace("hotkey %d (%s): no such key on this keyboard", index, text.c_str());
        return QRZ_HOTKEY_NO_KEY;
    }
    std::vector<Combination> combinations;
    const uint16_t modifiers = m_keyboard.ModifiersOfHotKey(word);
    for (xcb_keycode_t keycode : keycodes) {
        const auto it = m_mapEntries.find({keycode, modifiers});
        if (it != m_mapEntries.end()) {
            Trace("hotkey %d (%s): same keys as hotkey %d", index, text.c_str(), it->second);
            return QRZ_HOTKEY_DUPLICATE;
        }
        combinations.emplace_back(keycode, modifiers);
    }
    const int status = GrabCombinations(combinations);
    if (status == QRZ_HOTKEY_ACTIVE)
        for (const Combination& combination : combinations)
            m_mapEntries.emplace(combination, index);
    else if (status == QRZ_HOTKEY_TAKEN)
        Trace("hotkey %d (%s) is held by another program", index, text.c_str());
    else
        Trace("hotkey %d (%s) could not be grabbed", index, text.c_str());
    return status;
}

// Grabs every combination in every lock variant; on any error releases this entry's grabs.
int CHotKeyGrabber::GrabCombinations(const std::vector<Combination>& combinations) {
    std::vector<std::pair<Combination, xcb_void_cookie_t>> requests;
    for (const auto& [keycode, modifiers] : combinations)
        for (uint16_t locks : m_keyboard.LockVariants()) {
            const Combination grab{keycode, static_cast<uint16_t>(modifiers | locks)};
            requests.emplace_back(grab, xcb_grab_key_checked(m_pConnection, 0, m_root, grab.second,
                                                             keycode, XCB_GRAB_MODE_ASYNC,
                                                             XCB_GRAB_MODE_ASYNC));
        }
    int status = QRZ_HOTKEY_ACTIVE;
    std::vector<Combination> granted;
    for (const auto& [grab, cookie] : requests) {
        XcbError error(xcb_request_check(m_pConnection, cookie));
        if (!error)
            granted.push_back(grab);
        else if (status == QRZ_HOTKEY_ACTIVE)
            status = error->error_code == kBadAccess ? QRZ_HOTKEY_TAKEN : QRZ_HOTKEY_FAILED;
    }
    // A broken connection answers every check with "no error".
    if (xcb_connection_has_error(m_pConnection))
        status = QRZ_HOTKEY_FAILED;
    if (status != QRZ_HOTKEY_ACTIVE) {
        for (const auto& [keycode, modifiers] : granted)
            xcb_ungrab_key(m_pConnection, keycode, m_root, modifiers);
        return status;
    }
    m_grabs.insert(m_grabs.end(), granted.begin(), granted.end());
    return status;
}

} // namespace hook
