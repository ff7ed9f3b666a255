// SPDX-License-Identifier: MIT
// Values the pickers work with: capture modes, steps, hook input, responses and the feedback
// the overlay draws.
#pragma once

#include "capture/CaptureGeometry.h"
#include "capture/RegionMask.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// Mode codes of the capture actions.
enum class CaptureMode : int {
    None = 0,
    Rectangle = 1,
    Square = 3,
    Ellipse = 5,
    Circle = 6,
    Triangle = 7,
    Polygon = 17,
    ActiveWindowClient = 18,
    ActiveWindow = 19,
    Control = 20,
    SingleWindow = 21,
    IconSized = 22,
    PopupMenu = 23,
    Desktop = 24,
};

enum class TrackerStep : int {
    Immediate = 0,
    Hover = 1,
    Stretch = 2,
    Move = 3,
    Finish = 4,
    ControlHover = 5,
    IconHover = 6,
    Polygon = 7,
    WindowHover = 8,
};

// Modes that build their region from pointer input (all but the immediate four).
bool IsPickerMode(CaptureMode mode) noexcept;
// The step a picker of this mode starts in; Immediate for the immediate modes.
TrackerStep FirstStep(CaptureMode mode) noexcept;

enum class MouseKind { Move, LeftDown, LeftUp, RightDown, Other };

// Maps the hook's mouse message codes (0x200 move, 0x201 left down, 0x202 left up, 0x203 left
// double click, 0x204 right down and their non-client forms 0xA0 to 0xA4) to a kind. A double
// click counts as a press: the pickers time presses themselves.
MouseKind MouseKindFromMessage(std::uint32_t code) noexcept;

// One mouse message of the hook: kind, pointer in root coordinates, and when it arrived in
// milliseconds of any clock that counts up and wraps at 2^32 (the hook's messages carry no time:
// stamp them on arrival with a monotonic clock).
struct MouseInput {
    MouseKind kind = MouseKind::Move;
    Point pt;
    std::uint32_t time = 0;
};

// Decodes the hook's mouse message: wParam the message code, lParam x in the low and y in the
// high 16 bits, both signed.
MouseInput MouseInputFromMessage(std::uint32_t wParam, std::uint32_t lParam,
                                 std::uint32_t timeMs) noexcept;

// Virtual-key codes of the picker keys.
namespace vk {
inline constexpr int kShift = 16;
inline constexpr int kEscape = 27;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
} // namespace vk

enum class PickerAction {
    Continue, // keep picking
    Finish,   // the region is ready: remove the mouse hook and grab CRegionTracker::Region()
    Cancel,   // picking was abandoned: remove the mouse hook, no capture
};

struct PickerResponse {
    PickerAction action = PickerAction::Continue;
    bool bRedraw = false; // the feedback changed
    bool bBeep = false;   // a vertex was refused
    Point nudge;          // arrow keys: move the pointer by this much (a motion follows)
};

enum class FeedbackShape { None, Rectangle, Ellipse, Polygon };

// What the overlay shows over the frozen screen, in root coordinates. Empty when not picking.
struct PickerFeedback {
    bool bFocusRect = false; // dotted focus rectangle
    Rect rcFocus;
    FeedbackShape inverted = FeedbackShape::None; // the area shown inverted
    Rect rcInverted;                              // Rectangle, Ellipse: the box
    std::vector<Point> polygon;                   // Polygon: the outline
    FillRule fillRule = FillRule::Winding;
    bool bRubberBand = false; // polygon's first edge while it follows the pointer
    Point bandFrom;
    Point bandTo;
    bool bTipVisible = false; // the info box
    Rect rcTip;
    std::string strTipText;

    friend bool operator==(const PickerFeedback&, const PickerFeedback&) = default;
};

} // namespace capture
