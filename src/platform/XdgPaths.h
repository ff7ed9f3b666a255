// SPDX-License-Identifier: MIT
// The XDG base and user directories the settings, autostart entry and output folder live in.
#pragma once

#include <filesystem>
#include <vector>

namespace platform::xdg {

// $HOME, else the password database's home directory.
std::filesystem::path HomeDir();
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path ConfigHome();
// The absolute entries of $XDG_CONFIG_DIRS, else /etc/xdg; most important first.
std::vector<std::filesystem::path> ConfigDirs();
// XDG_PICTURES_DIR from $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures.
std::filesystem::path PicturesDir();

} // namespace platform::xdg
