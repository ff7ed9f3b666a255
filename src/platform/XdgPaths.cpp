// SPDX-License-Identifier: MIT
// XDG base and user directories, read from the environment by the freedesktop.org base-directory
// rules.
#include "platform/XdgPaths.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace platform::xdg {

namespace {

std::filesystem::path AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return {};
    return value;
}

// The value of one line of user-dirs.dirs: "$HOME/Pictures" or "/abs/path", with \-escapes.
std::filesystem::path UserDirValue(std::string_view quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return {};
    quoted = quoted.substr(1, quoted.size() - 2);
    std::string path;
    if (quoted.starts_with("$HOME")) {
        path = HomeDir().string();
        quoted.remove_prefix(5);
    } else if (!quoted.starts_with("/")) {
        return {};
    }
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size())
            ++i;
        path += quoted[i];
    }
    return path;
}

} // namespace

std::filesystem::path HomeDir() {
    if (auto home = AbsoluteEnv("HOME"); !home.empty())
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

std::filesystem::path ConfigHome() {
    if (auto dir = AbsoluteEnv("XDG_CONFIG_HOME"); !dir.empty())
        return dir;
    return HomeDir() / ".config";
}

std::vector<std::filesystem::path> ConfigDirs() {
    std::vector<std::filesystem::path> dirs;
    if (const char* value = std::getenv("XDG_CONFIG_DIRS")) {
        std::string_view list(value);
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string_view entry = list.substr(0, colon);
            if (entry.starts_with('/'))
                dirs.emplace_back(entry);
            list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
        }
    }
    if (dirs.empty())
        dirs.emplace_back("/etc/xdg");
    return dirs;
}

std::filesystem::path PicturesDir() {
    std::ifstream in(ConfigHome() / "user-dirs.dirs");
    std::string line;
    std::filesystem::path found;
    while (std::getline(in, line)) {
        constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || std::string_view(line).substr(start).rfind(kKey, 0) != 0)
            continue;
        std::string_view value = std::string_view(line).substr(start + kKey.size());
        while (!value.empty() &&
               (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.remove_suffix(1);
        found = UserDirValue(value);
    }
    return found.empty() ? HomeDir() / "Pictures" : found;
}

} // namespace platform::xdg
