// SPDX-License-Identifier: MIT
// Pointer and keyboard grabs of the pickers and their events as mouse messages.
#include "MouseHook.h"

#include "HookUtil.h"
#include "TavixHook.h"

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include <chrono>
#include <thread>

namespace hook {
namespace {

// Another program's grab (an open menu, a drag) usually ends within a few hundred milliseconds.
constexpr auto kGrabPatience = std::chrono::milliseconds(500);
constexpr auto kGrabRetryPause = std::chrono::milliseconds(20);
constexpr uint32_t kCursorShapeFlag = 0x80000000u;
constexpr uint32_t kCursorFontGlyphs = 154; // glyphs of the standard cursor font, masks between

uint32_t PackPoint(int16_t x, int16_t y) noexcept {
    return static_cast<uint16_t>(x) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16;
}

bool Retryable(uint8_t status) noexcept {
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED || status == XCB_GRAB_STATUS_FROZEN;
}

} // namespace

CMouseHook::CMouseHook(xcb_connection_t* pConnection, xcb_window_t root,
                       const CKeyboardMap& keyboard)
    : m_pConnection(pConnection), m_root(root), m_keyboard(keyboard) {}

CMouseHook::~CMouseHook() {
    Release();
}

int CMouseHook::Grab(uint32_t cursor) {
    xcb_cursor_t xcursor = XCB_NONE;
    if (int result = CreateCursor(cursor, xcursor); result != QRZ_OK)
        return result;
    int result = GrabPointer(xcursor);
    if (result == QRZ_OK)
        result = GrabKeyboard();
    const bool bOwned = (cursor & kCursorShapeFlag) != 0;
    if (result != QRZ_OK) {
        if (bOwned)
            FreeOwnedCursor(xcursor);
        Ungrab(); // the pointer grab may have succeeded when the keyboard's failed
        return result;
    }
    // The grab now shows the new cursor; the previous glyph (a repeated hook) can go.
    FreeOwnedCursor(m_ownedCursor);
    m_ownedCursor = bOwned ? xcursor : XCB_NONE;
    m_bActive = true;
    m_clicks.Reset();
    xcb_flush(m_pConnection);
    return QRZ_OK;
}

void CMouseHook::Release() {
    if (m_bActive)
        Ungrab();
}

void CMouseHook::Ungrab() {
    xcb_ungrab_pointer(m_pConnection, XCB_CURRENT_TIME);
    xcb_ungrab_keyboard(m_pConnection, XCB_CURRENT_TIME);
    FreeOwnedCursor(m_ownedCursor);
    m_ownedCursor = XCB_NONE;
    m_bActive = false;
    xcb_flush(m_pConnection);
}

int CMouseHook::CreateCursor(uint32_t cursor, xcb_cursor_t& result) {
    if (!(cursor & kCursorShapeFlag)) {
        result = cursor;
        return QRZ_OK;
    }
    const uint32_t shape = cursor & ~kCursorShapeFlag;
    if (shape >= kCursorFontGlyphs || shape % 2 != 0)
        return QRZ_ERR_INVALID_ARGUMENT;
    const xcb_font_t font = xcb_generate_id(m_pConnection);
    xcb_open_font(m_pConnection, font, 6, "cursor");
    result = xcb_generate_id(m_pConnection);
    const xcb_void_cookie_t cookie = xcb_create_glyph_cursor_checked(
        m_pConnection, result, font, font, shape, shape + 1, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    xcb_close_font(m_pConnection, font);
    if (XcbError error{xcb_request_check(m_pConnection, cookie)}) {
        Trace("cursor glyph %u unavailable (X error %u)", shape, error->error_code);
        result = XCB_NONE;
        return QRZ_ERR_BAD_CURSOR;
    }
    return QRZ_OK;
}

int CMouseHook::GrabPointer(xcb_cursor_t cursor) {
    constexpr uint16_t mask =
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    const auto deadline = std::chrono::steady_clock::now() + kGrabPatience;
    for (;;) {
        xcb_generic_error_t* pError = nullptr;
        XcbReply<xcb_grab_pointer_reply_t> reply(xcb_grab_pointer_reply(
            m_pConnection,
            xcb_grab_pointer(m_pConnection, 0, m_root, mask, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_NONE, cursor, XCB_CURRENT_TIME),
            &pError));
        XcbError error(pError);
        if (error) {
            Trace("pointer grab refused (X error %u)", error->error_code);
            return error->error_code == kBadCursor ? QRZ_ERR_BAD_CURSOR : QRZ_ERR_GRAB_FAILED;
        }
        if (!reply)
            return QRZ_ERR_NO_DISPLAY;
        if (reply->status == XCB_GRAB_STATUS_SUCCESS)
            return QRZ_OK;
        if (!Retryable(reply->status) || std::chrono::steady_clock::now() >= deadline) {
            Trace("pointer grab failed (status %u)", reply->status);
            return Retryable(reply->status) ? QRZ_ERR_ALREADY_GRABBED : QRZ_ERR_GRAB_FAILED;
        }
        std::this_thread::sleep_for(kGrabRetryPause);
    }
}

int CMouseHook::GrabKeyboard() {
    const auto deadline = std::chrono::steady_clock::now() + kGrabPatience;
    for (;;) {
        XcbReply<xcb_grab_keyboard_reply_t> reply(
            xcb_grab_keyboard_reply(m_pConnection,
                                    xcb_grab_keyboard(m_pConnection, 0, m_root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        if (!reply)
            return QRZ_ERR_NO_DISPLAY;
        if (reply->status == XCB_GRAB_STATUS_SUCCESS)
            return QRZ_OK;
        if (!Retryable(reply->status) || std::chrono::steady_clock::now() >= deadline) {
            Trace("keyboard grab failed (status %u)", reply->status);
            return Retryable(reply->status) ? QRZ_ERR_ALREADY_GRABBED : QRZ_ERR_GRAB_FAILED;
        }
        std::this_thread::sleep_for(kGrabRetryPause);
    }
}

void CMouseHook::FreeOwnedCursor(xcb_cursor_t cursor) {
    if (cursor != XCB_NONE)
        xcb_free_cursor(m_pConnection, cursor);
}

std::optional<HookMessage> CMouseHook::OnButton(const xcb_button_press_event_t& event, bool bPress,
                                                uint32_t nDoubleClickMs) {
    uint32_t code = 0;
    switch (event.detail) {
    case XCB_BUTTON_INDEX_1:
        if (!bPress)
            code = QRZ_MOUSE_LEFT_UP;
        else if (m_clicks.OnLeftPress(event.time, event.root_x, event.root_y, nDoubleClickMs))
            code = QRZ_MOUSE_LEFT_DOUBLE;
        else
            code = QRZ_MOUSE_LEFT_DOWN;
        break;
    case XCB_BUTTON_INDEX_2:
        code = bPress ? QRZ_MOUSE_MIDDLE_DOWN : QRZ_MOUSE_MIDDLE_UP;
        break;
    case XCB_BUTTON_INDEX_3:
        code = bPress ? QRZ_MOUSE_RIGHT_DOWN : QRZ_MOUSE_RIGHT_UP;
        break;
    default: // wheel and extra buttons
        return std::nullopt;
    }
    if (bPress && event.detail != XCB_BUTTON_INDEX_1)
        m_clicks.Reset();
    return HookMessage{QRZM_ForwardMouseMessage, code, PackPoint(event.root_x, event.root_y)};
}

std::optional<HookMessage> CMouseHook::OnMotion(const xcb_motion_notify_event_t& event) const {
    return HookMessage{QRZM_ForwardMouseMessage, QRZ_MOUSE_MOVE,
                       PackPoint(event.root_x, event.root_y)};
}

std::optional<HookMessage> CMouseHook::OnKeyPress(const xcb_key_press_event_t& event) const {
    uint32_t vk = 0;
    switch (m_keyboard.KeysymFor(event.detail, event.state)) {
    case XK_Shift_L:
    case XK_Shift_R:
        vk = QRZ_VK_SHIFT;
        break;
    case XK_Escape:
        vk = QRZ_VK_ESCAPE;
        break;
    case XK_Left:
    case XK_KP_Left:
        vk = QRZ_VK_LEFT;
        break;
    case XK_Up:
    case XK_KP_Up:
        vk = QRZ_VK_UP;
        break;
    case XK_Right:
    case XK_KP_Right:
        vk = QRZ_VK_RIGHT;
        break;
    case XK_Down:
    case XK_KP_Down:
        vk = QRZ_VK_DOWN;
        break;
    default:
        return std::nullopt;
    }
    return HookMessage{QRZM_ForwardKeyboardMessage, QRZ_PICKER_KEY, vk};
}

} // namespace hook
