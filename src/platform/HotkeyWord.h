// SPDX-License-Identifier: MIT
// Hotkey words: a virtual-key code in the low byte and modifier bits in the high byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::uint16_t kHotkeyCtrl = 0x8000;
inline constexpr std::uint16_t kHotkeyShift = 0x4000;
inline constexpr std::uint16_t kHotkeyAlt = 0x2000;

// "Ctrl+Shift+Alt+C", "Alt+Print Screen"; "None" for 0. Keys without a name read "Key 0xNN".
std::string HotkeyText(std::uint16_t word);
// The reverse of HotkeyText (case ignored); nullopt for text it does not recognise.
std::optional<std::uint16_t> ParseHotkeyText(std::string_view text);

} // namespace platform
