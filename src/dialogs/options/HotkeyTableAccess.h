// SPDX-License-Identifier: MIT
// IHotkeyTableAccess: the capture hotkeys as the hook library holds them, read and replaced by
// the hotkey page; a replaced table works at once.
#pragma once

#include "platform/AppSettings.h"

#include <QString>

class IHotkeyTableAccess {
public:
    virtual ~IHotkeyTableAccess() = default;
    // The whole table (35 words by capture action index).
    virtual platform::HotkeyTable ReadHotkeys() const = 0;
    virtual void WriteHotkeys(const platform::HotkeyTable& table) = 0;
    // The state of one entry (QRZ_HOTKEY_* of the hook library).
    virtual int HotkeyState(int nIndex) const = 0;
    // How to give a capture a key where the session lets no program take global keys (a Wayland
    // desktop); empty where the table's hotkeys work.
    virtual QString KeyBindingNote() const = 0;
};
