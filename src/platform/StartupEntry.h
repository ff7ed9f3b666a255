// SPDX-License-Identifier: MIT
// The start-up entry: an XDG autostart file that starts the program when the user logs in.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// $XDG_CONFIG_HOME/autostart/QuorviStudio.desktop
std::filesystem::path StartupEntryPath();

// On: writes the entry (atomically) to run programPath. Off: removes it; an entry that is already
// gone counts as done. False with a reason in *pError when the file cannot be written or removed.
bool SetStartupEntry(bool bOn, std::string_view programPath, std::string* pError = nullptr);

// True when the entry exists, can be read and is not switched off by the desktop (Hidden=true).
bool QueryStartupEntry();

// The program path as one argument of a desktop entry's Exec key, quoted and escaped.
std::string DesktopExecArgument(std::string_view path);

} // namespace platform
