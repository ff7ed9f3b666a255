// SPDX-License-Identifier: MIT
// The capture hotkeys as passive key grabs on the root window, with a status per table entry.
#pragma once

#include "KeyboardMap.h"
#include "TavixHook.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace hook {

using HotKeyTable = std::array<uint16_t, QRZ_HOTKEY_COUNT>;

class CHotKeyGrabber {
public:
    CHotKeyGrabber(xcb_connection_t* pConnection, xcb_window_t root, const CKeyboardMap& keyboard);
    ~CHotKeyGrabber();
    CHotKeyGrabber(const CHotKeyGrabber&) = delete;
    CHotKeyGrabber& operator=(const CHotKeyGrabber&) = delete;

    // Grabs every non-zero entry of table, then releases the grabs no entry needs any more. An
    // entry that cannot be grabbed completely keeps none of its grabs; the others are
    // unaffected. Returns the number of non-zero entries that are not active.
    int Grab(const HotKeyTable& table);
    // Releases every grab; entries with a word become QRZ_HOTKEY_INACTIVE.
    void Release();

    int Status(int index) const noexcept { return m_anStatus[index]; }
    // The entry a key press belongs to, or -1.
    int Match(xcb_keycode_t keycode, uint16_t state) const;

private:
    using Combination = std::pair<xcb_keycode_t, uint16_t>; // keycode, modifier mask

    int GrabEntry(int index, uint16_t word);
    int GrabCombinations(const std::vector<Combination>& combinations);

    xcb_connection_t* m_pConnection;
    xcb_window_t m_root;
    const CKeyboardMap& m_keyboard;
    HotKeyTable m_table{};
    std::array<int, QRZ_HOTKEY_COUNT> m_anStatus{};
    std::map<Combination, int> m_mapEntries; // every active combination -> entry index
    std::vector<Combination> m_grabs;        // every grab, lock variants included
};

} // namespace hook
