// SPDX-License-Identifier: MIT
// Windows virtual-key codes of stored hotkey words mapped to X keysyms.
#pragma once

#include <cstdint>

namespace base {

// The keysym that stands for a virtual-key code, or 0 when the code has none.
uint32_t KeysymForVirtualKey(uint8_t vk) noexcept;

} // namespace base
