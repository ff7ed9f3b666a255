// SPDX-License-Identifier: MIT
// The virtual-key table: letters, digits, function keys, navigation, keypad and punctuation.
#include "VirtualKeys.h"

#include "TavixHook.h"

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <array>
#include <cstdio>

namespace hook {
namespace {

struct VirtualKey {
    uint8_t vk;
    uint32_t keysym;
    const char* name;
};

// Punctuation follows the US layout, as the stored words were recorded on one. Keypad keys map
// to their NumLock-on keysyms; their grabs cover both NumLock states anyway.
constexpr VirtualKey kNamedKeys[] = {
    {0x03, XK_Break, "Break"},
    {0x08, XK_BackSpace, "Backspace"},
    {0x09, XK_Tab, "Tab"},
    {0x0C, XK_Clear, "Clear"},
    {0x0D, XK_Return, "Enter"},
    {0x13, XK_Pause, "Pause"},
    {0x1B, XK_Escape, "Esc"},
    {0x20, XK_space, "Space"},
    {0x21, XK_Prior, "Page Up"},
    {0x22, XK_Next, "Page Down"},
    {0x23, XK_End, "End"},
    {0x24, XK_Home, "Home"},
    {0x25, XK_Left, "Left"},
    {0x26, XK_Up, "Up"},
    {0x27, XK_Right, "Right"},
    {0x28, XK_Down, "Down"},
    {0x29, XK_Select, "Select"},
    {0x2A, XK_Print, "Print"},
    {0x2B, XK_Execute, "Execute"},
    {0x2C, XK_Print, "Print Screen"},
    {0x2D, XK_Insert, "Insert"},
    {0x2E, XK_Delete, "Delete"},
    {0x2F, XK_Help, "Help"},
    {0x5B, XK_Super_L, "Left Windows"},
    {0x5C, XK_Super_R, "Right Windows"},
    {0x5D, XK_Menu, "Applications"},
    {0x6A, XK_KP_Multiply, "Num *"},
    {0x6B, XK_KP_Add, "Num +"},
    {0x6C, XK_KP_Separator, "Num Separator"},
    {0x6D, XK_KP_Subtract, "Num -"},
    {0x6E, XK_KP_Decimal, "Num Del"},
    {0x6F, XK_KP_Divide, "Num /"},
    {0x91, XK_Scroll_Lock, "Scroll Lock"},
    {0xBA, XK_semicolon, ";"},
    {0xBB, XK_equal, "="},
    {0xBC, XK_comma, ","},
    {0xBD, XK_minus, "-"},
    {0xBE, XK_period, "."},
    {0xBF, XK_slash, "/"},
    {0xC0, XK_grave, "`"},
    {0xDB, XK_bracketleft, "["},
    {0xDC, XK_backslash, "\\"},
    {0xDD, XK_bracketright, "]"},
    {0xDE, XK_apostrophe, "'"},
    {0xE2, XK_less, "<"},
};

// Code ranges that map arithmetically: 0-9, A-Z, Num 0-9, F1-F24.
constexpr bool InRange(uint8_t vk, uint8_t first, uint8_t last) noexcept {
    return vk >= first && vk <= last;
}

const std::array<uint32_t, 256> kKeysyms = [] {
    std::array<uint32_t, 256> table{};
    for (int vk = '0'; vk <= '9'; ++vk)
        table[vk] = XK_0 + (vk - '0');
    for (int vk = 'A'; vk <= 'Z'; ++vk)
        table[vk] = XK_a + (vk - 'A');
    for (int vk = 0x60; vk <= 0x69; ++vk)
        table[vk] = XK_KP_0 + (vk - 0x60);
    for (int vk = 0x70; vk <= 0x87; ++vk)
        table[vk] = XK_F1 + (vk - 0x70);
    for (const VirtualKey& key : kNamedKeys)
        table[key.vk] = key.keysym;
    return table;
}();

std::string KeyName(uint8_t vk) {
    char text[16];
    if (InRange(vk, '0', '9') || InRange(vk, 'A', 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (InRange(vk, 0x60, 0x69)) {
        std::snprintf(text, sizeof text, "Num %d", vk - 0x60);
        return text;
    }
    if (InRange(vk, 0x70, 0x87)) {
        std::snprintf(text, sizeof text, "F%d", vk - 0x70 + 1);
        return text;
    }
    for (const VirtualKey& key : kNamedKeys)
        if (key.vk == vk)
            return key.name;
    std::snprintf(text, sizeof text, "0x%02X", vk);
    return text;
}

} // namespace

uint32_t KeysymForVirtualKey(uint8_t vk) noexcept {
    return kKeysyms[vk];
}

std::string HotKeyText(uint16_t word) {
    std::string text;
    if (word & QRZ_HOTKEY_CTRL)
        text += "Ctrl+";
    if (word & QRZ_HOTKEY_SHIFT)
        text += "Shift+";
    if (word & QRZ_HOTKEY_ALT)
        text += "Alt+";
    return text + KeyName(static_cast<uint8_t>(word & 0xFF));
}

} // namespace hook
