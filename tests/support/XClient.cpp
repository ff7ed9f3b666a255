// SPDX-License-Identifier: MIT
// The tests' X client: XTest input and competing grabs.
#include "support/XClient.h"

#include <xcb/xtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace testsupport {
namespace {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

CXClient::CXClient(const std::string& displayName) {
    int screenNumber = 0;
    m_pConnection = xcb_connect(displayName.c_str(), &screenNumber);
    if (xcb_connection_has_error(m_pConnection)) {
        xcb_disconnect(m_pConnection);
        throw std::runtime_error("cannot connect to " + displayName);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_pConnection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    m_pSymbols = xcb_key_symbols_alloc(m_pConnection);
    Reply<xcb_test_get_version_reply_t> version(xcb_test_get_version_reply(
        m_pConnection, xcb_test_get_version(m_pConnection, 2, 2), nullptr));
    if (!version) {
        xcb_key_symbols_free(m_pSymbols);
        xcb_disconnect(m_pConnection);
        throw std::runtime_error("the X server has no XTest");
    }
}

CXClient::~CXClient() {
    xcb_key_symbols_free(m_pSymbols);
    xcb_disconnect(m_pConnection);
}

xcb_keycode_t CXClient::Keycode(uint32_t keysym) const {
    Reply<xcb_keycode_t> list(xcb_key_symbols_get_keycode(m_pSymbols, keysym));
    return list && list.get()[0] != XCB_NO_SYMBOL ? list.get()[0] : 0;
}

void CXClient::Fake(uint8_t type, uint8_t detail, uint32_t delayMs, int x, int y) {
    xcb_test_fake_input(m_pConnection, type, detail, delayMs, m_root, static_cast<int16_t>(x),
                        static_cast<int16_t>(y), 0);
    xcb_flush(m_pConnection);
}

void CXClient::KeyDown(uint32_t keysym, uint32_t delayMs) {
    const xcb_keycode_t keycode = Keycode(keysym);
    if (!keycode)
        throw std::runtime_error("no key for keysym " + std::to_string(keysym));
    Fake(XCB_KEY_PRESS, keycode, delayMs);
}

void CXClient::KeyUp(uint32_t keysym, uint32_t delayMs) {
    Fake(XCB_KEY_RELEASE, Keycode(keysym), delayMs);
}

void CXClient::Tap(uint32_t keysym) {
    KeyDown(keysym);
    KeyUp(keysym);
}

void CXClient::TapKeycode(xcb_keycode_t keycode) {
    Fake(XCB_KEY_PRESS, keycode, 0);
    Fake(XCB_KEY_RELEASE, keycode, 0);
}

void CXClient::Chord(std::initializer_list<uint32_t> keysyms) {
    for (uint32_t keysym : keysyms)
        KeyDown(keysym);
    for (auto it = std::rbegin(keysyms); it != std::rend(keysyms); ++it)
        KeyUp(*it);
}

void CXClient::MoveTo(int x, int y, uint32_t delayMs) {
    Fake(XCB_MOTION_NOTIFY, 0, delayMs, x, y);
}

void CXClient::ButtonDown(int button, uint32_t delayMs) {
    Fake(XCB_BUTTON_PRESS, static_cast<uint8_t>(button), delayMs);
}

void CXClient::ButtonUp(int button, uint32_t delayMs) {
    Fake(XCB_BUTTON_RELEASE, static_cast<uint8_t>(button), delayMs);
}

void CXClient::Click(int button, uint32_t delayMs) {
    ButtonDown(button, delayMs);
    ButtonUp(button);
}

std::pair<int, int> CXClient::PointerPosition() const {
    Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(m_pConnection, xcb_query_pointer(m_pConnection, m_root), nullptr));
    return reply ? std::pair<int, int>(reply->root_x, reply->root_y) : std::pair<int, int>(-1, -1);
}

uint16_t CXClient::ModifierState() const {
    Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(m_pConnection, xcb_query_pointer(m_pConnection, m_root), nullptr));
    return reply ? reply->mask : 0;
}

void CXClient::Sync() const {
    Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(m_pConnection, xcb_get_input_focus(m_pConnection), nullptr));
}

bool CXClient::GrabKey(uint32_t keysym, uint16_t modifiers) const {
    Reply<xcb_generic_error_t> error(xcb_request_check(
        m_pConnection, xcb_grab_key_checked(m_pConnection, 0, m_root, modifiers, Keycode(keysym),
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    return !error;
}

void CXClient::UngrabKey(uint32_t keysym, uint16_t modifiers) const {
    xcb_ungrab_key(m_pConnection, Keycode(keysym), m_root, modifiers);
    Sync();
}

uint8_t CXClient::GrabPointer() const {
    Reply<xcb_grab_pointer_reply_t> reply(xcb_grab_pointer_reply(
        m_pConnection,
        xcb_grab_pointer(m_pConnection, 0, m_root, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                         XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
        nullptr));
    return reply ? reply->status : 0xFF;
}

uint8_t CXClient::GrabKeyboard() const {
    Reply<xcb_grab_keyboard_reply_t> reply(
        xcb_grab_keyboard_reply(m_pConnection,
                                xcb_grab_keyboard(m_pConnection, 0, m_root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    return reply ? reply->status : 0xFF;
}

void CXClient::UngrabPointer() const {
    xcb_ungrab_pointer(m_pConnection, XCB_CURRENT_TIME);
    Sync();
}

void CXClient::UngrabKeyboard() const {
    xcb_ungrab_keyboard(m_pConnection, XCB_CURRENT_TIME);
    Sync();
}

} // namespace testsupport
