// SPDX-License-Identifier: MIT
// Hotkey words as desktop portals take shortcut triggers: modifiers, then the keysym's
// name.
#include "capture/portal/PortalShortcuts.h"

#include "base/VirtualKeys.h"
#include "hook/TavixHook.h"

#include <X11/Xlib.h>

namespace capture {

QString ShortcutTrigger(std::uint16_t word) {
    const std::uint32_t keysym = base::KeysymForVirtualKey(std::uint8_t(word & 0xFF));
    const char* pszKey = keysym != 0 ? XKeysymToString(keysym) : nullptr;
    if (pszKey == nullptr)
        return {};
    QString strTrigger;
    if (word & QRZ_HOTKEY_CTRL)
        strTrigger += QStringLiteral("CTRL+");
    if (word & QRZ_HOTKEY_SHIFT)
        strTrigger += QStringLiteral("SHIFT+");
    if (word & QRZ_HOTKEY_ALT)
        strTrigger += QStringLiteral("ALT+");
    return strTrigger + QString::fromLatin1(pszKey);
}

} // namespace capture
