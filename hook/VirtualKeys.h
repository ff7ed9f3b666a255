// SPDX-License-Identifier: MIT
// Windows virtual-key codes of stored hotkey words mapped to X keysyms, and their display names.
#pragma once

#include <cstdint>
#include <string>

namespace hook {

// The keysym that stands for a virtual-key code, or 0 when the code has none.
uint32_t KeysymForVirtualKey(uint8_t vk) noexcept;

// "Ctrl+Alt+D", "Print Screen", "0x97" for codes without a name; used in trace lines.
std::string HotKeyText(uint16_t word);

} // namespace hook
