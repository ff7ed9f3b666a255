// SPDX-License-Identifier: MIT
// The capture action index shared by hotkeys, menus, the default-action setting and option pages.
#pragma once

namespace platform {

enum CaptureAction : int {
    ActiveWindow = 0,
    ActiveWindowClient = 1,
    Control = 2,
    Square = 3,
    Rectangle = 4,
    Circle = 5,
    Ellipse = 6,
    Polygon = 7,
    PopupMenu = 8,
    Desktop = 9,
    SingleWindow = 10,
    RepeatLast = 11,
    Default = 12,
};

inline constexpr int kCaptureActionCount = 13;

} // namespace platform
