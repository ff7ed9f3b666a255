// SPDX-License-Identifier: MIT
// Names of hotkey words, as the option pages and the settings listing show them.
#include "platform/HotkeyWord.h"

#include "platform/RegistryHive.h"

#include <cstdio>

namespace platform {

namespace {

struct KeyName {
    std::uint8_t vk;
    std::string_view name;
};

// The program's key-name map; virtual-key codes are the stored form (the hook library maps them
// to X keysyms).
constexpr KeyName kKeyNames[] = {
    {8, "Backspace"}, {9, "Tab"},           {13, "Enter"},  {27, "Escape"}, {32, "Space"},
    {35, "End"},      {36, "Home"},         {37, "Left"},   {38, "Up"},     {39, "Right"},
    {40, "Down"},     {44, "Print Screen"}, {45, "Insert"}, {46, "Delete"}, {106, "*"},
    {107, "+"},       {109, "-"},           {111, "/"},
};

constexpr std::pair<std::uint16_t, std::string_view> kModifiers[] = {
    {kHotkeyCtrl, "Ctrl"}, {kHotkeyShift, "Shift"}, {kHotkeyAlt, "Alt"}};

std::string KeyText(std::uint8_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return "Num " + std::to_string(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x7B)
        return "F" + std::to_string(vk - 0x6F);
    for (const auto& key : kKeyNames)
        if (key.vk == vk)
            return std::string(key.name);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "Key 0x%02X", vk);
    return buffer;
}

std::optional<std::uint8_t> ParseKey(std::string_view text) {
    for (int vk = 0; vk < 256; ++vk)
        if (NamesEqual(KeyText(static_cast<std::uint8_t>(vk)), text))
            return static_cast<std::uint8_t>(vk);
    return std::nullopt;
}

} // namespace

std::string HotkeyText(std::uint16_t word) {
    if (word == 0)
        return "None";
    std::string text;
    for (const auto& [bit, name] : kModifiers)
        if (word & bit)
            text.append(name).append("+");
    if (word & 0x1F00) { // bits no modifier uses: show the word as it is
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "+0x%04X", word & 0x1F00);
        text.append(buffer + 1).append("+");
    }
    return text + KeyText(static_cast<std::uint8_t>(word & 0xFF));
}

std::optional<std::uint16_t> ParseHotkeyText(std::string_view text) {
    if (NamesEqual(text, "None"))
        return std::uint16_t{0};
    std::uint16_t modifiers = 0;
    // The key itself may contain '+' ("Num +"), so modifiers are taken from the front only.
    for (bool found = true; found;) {
        found = false;
        for (const auto& [bit, name] : kModifiers) {
            if (text.size() > name.size() && NamesEqual(text.substr(0, name.size()), name) &&
                text[name.size()] == '+') {
                modifiers |= bit;
                text.remove_prefix(name.size() + 1);
                found = true;
            }
        }
    }
    auto key = ParseKey(text);
    if (!key)
        return std::nullopt;
    return static_cast<std::uint16_t>(modifiers | *key);
}

} // namespace platform
