// SPDX-License-Identifier: MIT
// The capture actions: command ids, action indexes, mode codes and picker cursors in one table.
#pragma once

#include "capture/PickerTypes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace capture {

// Action indexes beyond the hotkey table's thirteen: commands without a menu entry or hotkey.
inline constexpr int kActionTriangle = 15;
inline constexpr int kActionIconSized = 16;

struct CaptureActionInfo {
    unsigned nCommandID = 0;
    int nAction = -1;                     // platform::CaptureAction, or one of the values above
    CaptureMode mode = CaptureMode::None; // None for Repeat Last and Default
    std::uint32_t cursor = 0;             // the hook's cursor while picking (0: none)
};

// Every capture command, in the order of the action indexes.
std::span<const CaptureActionInfo> CaptureActionTable() noexcept;
// The entry of a capture command id, or empty for any other id.
std::optional<CaptureActionInfo> ActionForCommand(unsigned nCommandID) noexcept;
// The entry of an action index (0 to 12, kActionTriangle, kActionIconSized), or empty.
std::optional<CaptureActionInfo> ActionForIndex(int nAction) noexcept;

// The names of the actions on the command line (quorvi-studio --capture NAME): "desktop",
// "active", "client", "control", "window", "rectangle", "square", "circle", "ellipse",
// "triangle", "polygon", "menu", "icon", "repeat-last", "default".
std::optional<int> ActionForName(std::string_view name) noexcept;
// The name of an action index; empty for none.
std::string_view ActionName(int nAction) noexcept;
// Every name above, separated by ", ", for usage messages.
std::string ActionNames();

} // namespace capture
