// SPDX-License-Identifier: MIT
// The capture action table.
#include "capture/engine/CaptureActions.h"

#include "framework/CommandIds.h"
#include "hook/TavixHook.h"
#include "platform/CaptureAction.h"

#include <array>

namespace capture {
namespace {

// Glyphs of the standard X cursor font standing in for the picker cursors.
constexpr std::uint32_t kCursorCrosshair = QRZ_CURSOR_SHAPE(34);
constexpr std::uint32_t kCursorTcross = QRZ_CURSOR_SHAPE(130);
constexpr std::uint32_t kCursorCircle = QRZ_CURSOR_SHAPE(24);
constexpr std::uint32_t kCursorCross = QRZ_CURSOR_SHAPE(30);
constexpr std::uint32_t kCursorPencil = QRZ_CURSOR_SHAPE(86);
constexpr std::uint32_t kCursorHand = QRZ_CURSOR_SHAPE(60);
constexpr std::uint32_t kCursorTarget = QRZ_CURSOR_SHAPE(128);

using namespace platform;

constexpr std::array<CaptureActionInfo, 15> kActions{{
    {ID_CAPTURE_ACTIVE_WINDOW, ActiveWindow, CaptureMode::ActiveWindow, 0},
    {ID_CAPTURE_CLIENT, ActiveWindowClient, CaptureMode::ActiveWindowClient, 0},
    {ID_CAPTURE_CONTROL, Control, CaptureMode::Control, kCursorTarget},
    {ID_CAPTURE_SQUARE, Square, CaptureMode::Square, kCursorTcross},
    {ID_CAPTURE_RECTANGLE, Rectangle, CaptureMode::Rectangle, kCursorCrosshair},
    {ID_CAPTURE_CIRCLE, Circle, CaptureMode::Circle, kCursorCircle},
    {ID_CAPTURE_ELLIPSE, Ellipse, CaptureMode::Ellipse, kCursorCross},
    {ID_CAPTURE_POLYGON, Polygon, CaptureMode::Polygon, kCursorPencil},
    {ID_CAPTURE_MENU, PopupMenu, CaptureMode::PopupMenu, 0},
    {ID_CAPTURE_DESKTOP, Desktop, CaptureMode::Desktop, 0},
    {ID_CAPTURE_SINGLE_WINDOW, SingleWindow, CaptureMode::SingleWindow, kCursorHand},
    {ID_CAPTURE_REPEAT_LAST, RepeatLast, CaptureMode::None, 0},
    {ID_CAPTURE_DEFAULT, Default, CaptureMode::None, 0},
    {ID_CAPTURE_TRIANGLE, kActionTriangle, CaptureMode::Triangle, kCursorTarget},
    {ID_CAPTURE_ICON, kActionIconSized, CaptureMode::IconSized, kCursorTarget},
}};

struct NamedAction {
    std::string_view name;
    int nAction;
};

constexpr std::array<NamedAction, 15> kNames{{
    {"desktop", Desktop},
    {"active", ActiveWindow},
    {"client", ActiveWindowClient},
    {"control", Control},
    {"window", SingleWindow},
    {"rectangle", Rectangle},
    {"square", Square},
    {"circle", Circle},
    {"ellipse", Ellipse},
    {"triangle", kActionTriangle},
    {"polygon", Polygon},
    {"menu", PopupMenu},
    {"icon", kActionIconSized},
    {"repeat-last", RepeatLast},
    {"default", Default},
}};

} // namespace

std::optional<int> ActionForName(std::string_view name) noexcept {
    for (const NamedAction& entry : kNames)
        if (entry.name == name)
            return entry.nAction;
    return std::nullopt;
}

std::string_view ActionName(int nAction) noexcept {
    for (const NamedAction& entry : kNames)
        if (entry.nAction == nAction)
            return entry.name;
    return {};
}

std::string ActionNames() {
    std::string strNames;
    for (const NamedAction& entry : kNames)
        strNames += (strNames.empty() ? "" : ", ") + std::string(entry.name);
    return strNames;
}

std::span<const CaptureActionInfo> CaptureActionTable() noexcept {
    return kActions;
}

std::optional<CaptureActionInfo> ActionForCommand(unsigned nCommandID) noexcept {
    for (const CaptureActionInfo& info : kActions)
        if (info.nCommandID == nCommandID)
            return info;
    return std::nullopt;
}

std::optional<CaptureActionInfo> ActionForIndex(int nAction) noexcept {
    for (const CaptureActionInfo& info : kActions)
        if (info.nAction == nAction)
            return info;
    return std::nullopt;
}

} // namespace capture
