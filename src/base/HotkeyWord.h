// SPDX-License-Identifier: MIT
// Hotkey words: a virtual-key code in the low byte and modifier bits (the hook library's
// QRZ_HOTKEY_*) in the high byte, and the one set of names menus, messages, the settings listing
// and trace lines show for them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// "A", "0", "Num 0", "F12", "Print Screen", "+"; empty for a key without a name.
std::string KeyName(std::uint8_t vk);

// "Ctrl+Shift+Alt+C", "Alt+Print Screen". A key without a name adds nothing after the
// modifiers ("Ctrl"), bits that no modifier uses show nothing, and 0 gives an empty text.
std::string HotkeyText(std::uint16_t word);

// The reverse of HotkeyText (case ignored) for words whose key has a name; nullopt for any other
// text, the empty text included.
std::optional<std::uint16_t> ParseHotkeyText(std::string_view text);

} // namespace base
