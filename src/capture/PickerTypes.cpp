// SPDX-License-Identifier: MIT
// Mode tables and hook message decoding of the pickers.
#include "capture/PickerTypes.h"

namespace capture {

bool IsPickerMode(CaptureMode mode) noexcept {
    return FirstStep(mode) != TrackerStep::Immediate;
}

TrackerStep FirstStep(CaptureMode mode) noexcept {
    switch (mode) {
    case CaptureMode::Rectangle:
    case CaptureMode::Square:
    case CaptureMode::Ellipse:
    case CaptureMode::Circle:
    case CaptureMode::Triangle:
        return TrackerStep::Hover;
    case CaptureMode::Polygon:
        return TrackerStep::Polygon;
    case CaptureMode::Control:
        return TrackerStep::ControlHover;
    case CaptureMode::IconSized:
        return TrackerStep::IconHover;
    case CaptureMode::SingleWindow:
        return TrackerStep::WindowHover;
    default:
        return TrackerStep::Immediate;
    }
}

MouseKind MouseKindFromMessage(std::uint32_t code) noexcept {
    if (code >= 0xA0 && code <= 0xA4)
        code += 0x200 - 0xA0; // non-client forms behave like the client ones
    switch (code) {
    case 0x200:
        return MouseKind::Move;
    case 0x201:
    case 0x203:
        return MouseKind::LeftDown;
    case 0x202:
        return MouseKind::LeftUp;
    case 0x204:
        return MouseKind::RightDown;
    default:
        return MouseKind::Other;
    }
}

MouseInput MouseInputFromMessage(std::uint32_t wParam, std::uint32_t lParam,
                                 std::uint32_t timeMs) noexcept {
    const Point pt{std::int16_t(lParam & 0xFFFFu), std::int16_t(lParam >> 16)};
    return MouseInput{MouseKindFromMessage(wParam), pt, timeMs};
}

} // namespace capture
