// SPDX-License-Identifier: MIT
// The end of the options and the shell-quoted form of unusual names.
#include "CommandLine.h"

#include <cstdio>

namespace cli {

namespace {

bool NeedsQuoting(const std::string& name) {
    if (name.starts_with("$'"))
        return true;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

void AppendEscaped(std::string& out, char c) {
    switch (c) {
    case '\n':
        out += "\\n";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\\':
    case '\'':
        out += '\\';
        out += c;
        return;
    default:
        break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
        out += c; // bytes of UTF-8 characters too: the name stays readable
        return;
    }
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

} // namespace

std::string UnknownOptionText(const std::string& arg) {
    return "unknown option '" + arg + "' (a file name that starts with - goes after --)";
}

std::string ShownName(const std::string& name) {
    if (!NeedsQuoting(name))
        return name;
    std::string shown = "$'";
    for (const char c : name)
        AppendEscaped(shown, c);
    return shown + "'";
}

std::string WithShownName(std::string text, const std::string& name) {
    const std::string shown = ShownName(name);
    if (shown == name)
        return text;
    for (std::size_t at = text.find(name); at != std::string::npos;
         at = text.find(name, at + shown.size()))
        text.replace(at, name.size(), shown);
    return text;
}

} // namespace cli
