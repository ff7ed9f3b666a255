// SPDX-License-Identifier: MIT
// The virtual-key table: letters, digits, function keys, navigation, keypad and punctuation.
#include "base/VirtualKeys.h"

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <array>

namespace base {
namespace {

struct VirtualKey {
    uint8_t vk;
    uint32_t keysym;
};

// Punctuation follows the US layout, as the stored words were recorded on one. Keypad keys map
// to their NumLock-on keysyms; their grabs cover both NumLock states anyway.
constexpr VirtualKey kListedKeys[] = {
    {0x03, XK_Break},        {0x08, XK_BackSpace},   {0x09, XK_Tab},          {0x0C, XK_Clear},
    {0x0D, XK_Return},       {0x13, XK_Pause},       {0x1B, XK_Escape},       {0x20, XK_space},
    {0x21, XK_Prior},        {0x22, XK_Next},        {0x23, XK_End},          {0x24, XK_Home},
    {0x25, XK_Left},         {0x26, XK_Up},          {0x27, XK_Right},        {0x28, XK_Down},
    {0x29, XK_Select},       {0x2A, XK_Print},       {0x2B, XK_Execute},      {0x2C, XK_Print},
    {0x2D, XK_Insert},       {0x2E, XK_Delete},      {0x2F, XK_Help},         {0x5B, XK_Super_L},
    {0x5C, XK_Super_R},      {0x5D, XK_Menu},        {0x6A, XK_KP_Multiply},  {0x6B, XK_KP_Add},
    {0x6C, XK_KP_Separator}, {0x6D, XK_KP_Subtract}, {0x6E, XK_KP_Decimal},   {0x6F, XK_KP_Divide},
    {0x91, XK_Scroll_Lock},  {0xBA, XK_semicolon},   {0xBB, XK_equal},        {0xBC, XK_comma},
    {0xBD, XK_minus},        {0xBE, XK_period},      {0xBF, XK_slash},        {0xC0, XK_grave},
    {0xDB, XK_bracketleft},  {0xDC, XK_backslash},   {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
    {0xE2, XK_less},
};

// Code ranges map arithmetically: 0-9, A-Z, Num 0-9, F1-F24.
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
    for (const VirtualKey& key : kListedKeys)
        table[key.vk] = key.keysym;
    return table;
}();

} // namespace

uint32_t KeysymForVirtualKey(uint8_t vk) noexcept {
    return kKeysyms[vk];
}

} // namespace base
