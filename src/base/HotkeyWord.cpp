// SPDX-License-Identifier: MIT
// The key-name and modifier tables of hotkey words.
#include "base/HotkeyWord.h"

#include "hook/TavixHook.h"

#include <array>
#include <utility>

namespace base {

namespace {

struct NamedKey {
    std::uint8_t vk;
    std::string_view name;
};

// Keys outside the letter, digit, keypad-digit and F1-F12 ranges that have a name.
constexpr NamedKey kNamedKeys[] = {
    {8, "Backspace"}, {9, "Tab"},           {13, "Enter"},  {27, "Escape"}, {32, "Space"},
    {35, "End"},      {36, "Home"},         {37, "Left"},   {38, "Up"},     {39, "Right"},
    {40, "Down"},     {44, "Print Screen"}, {45, "Insert"}, {46, "Delete"}, {106, "*"},
    {107, "+"},       {109, "-"},           {111, "/"},
};

// In the order the texts name them.
constexpr std::array<std::pair<std::uint16_t, std::string_view>, 3> kModifiers{{
    {QRZ_HOTKEY_CTRL, "Ctrl"},
    {QRZ_HOTKEY_SHIFT, "Shift"},
    {QRZ_HOTKEY_ALT, "Alt"},
}};

bool SameLetters(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::uint8_t> ParseKey(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    for (int vk = 0; vk < 256; ++vk)
        if (SameLetters(KeyName(static_cast<std::uint8_t>(vk)), text))
            return static_cast<std::uint8_t>(vk);
    return std::nullopt;
}

} // namespace

std::string KeyName(std::uint8_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return "Num " + std::to_string(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x7B)
        return "F" + std::to_string(vk - 0x6F);
    for (const NamedKey& key : kNamedKeys)
        if (key.vk == vk)
            return std::string(key.name);
    return {};
}

std::string HotkeyText(std::uint16_t word) {
    std::string text;
    for (const auto& [bit, name] : kModifiers)
        if (word & bit)
            text.append(text.empty() ? "" : "+").append(name);
    const std::string key = KeyName(static_cast<std::uint8_t>(word & 0xFF));
    if (!key.empty())
        text.append(text.empty() ? "" : "+").append(key);
    return text;
}

std::optional<std::uint16_t> ParseHotkeyText(std::string_view text) {
    std::uint16_t modifiers = 0;
    // The key itself may contain '+' ("+", "Ctrl++"), so modifiers are taken from the front only.
    for (bool found = true; found;) {
        found = false;
        for (const auto& [bit, name] : kModifiers) {
            if (text.size() > name.size() && SameLetters(text.substr(0, name.size()), name) &&
                text[name.size()] == '+') {
                modifiers |= bit;
                text.remove_prefix(name.size() + 1);
                found = true;
            }
        }
    }
    const auto key = ParseKey(text);
    if (!key)
        return std::nullopt;
    return static_cast<std::uint16_t>(modifiers | *key);
}

} // namespace base
