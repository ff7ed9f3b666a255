// SPDX-License-Identifier: MIT
// The program's own path, the "Output" folder beside it, and the help pages shipped with it.
#pragma once

#include "platform/RegistryStore.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Longest program path the settings accept, in characters.
inline constexpr std::size_t kMaxProgramPath = 259;

// The running executable's full path (empty if the system will not say).
std::string RunningModulePath();

// The program path: "InstallPath" from the read-only machine root (the application key itself)
// when it exists and is an absolute path of at most kMaxProgramPath characters, else modulePath.
std::string ResolveProgramPath(std::string modulePath, const HiveLocations& locations);

// Everything before the last '/' of the program path ("/" for a program in the root).
std::filesystem::path ProgramDirectory(std::string_view programPath);

// Where automatic saves go by default: the program directory + "Output" when the program
// directory is writable (a portable copy or the build tree), else the pictures folder +
// "Quorvi Studio".
std::filesystem::path DefaultOutputDirectory(std::string_view programPath);

// Creates dir when it is missing. False with a reason in *pError.
bool EnsureOutputDirectory(const std::filesystem::path& dir, std::string* pError = nullptr);

// Help topic numbers of the dialogs' Help buttons.
enum HelpTopic : int {
    HelpGeneralOption = 1,
    HelpResizeDialog = 2,
    HelpRotateDialog = 3,
    HelpPrintLayout = 4,
    HelpContrastDialog = 5,
    HelpBrightnessDialog = 6,
    HelpWindowsManage = 7,
    HelpIntensityDialog = 8,
};

// "dialog.htm#generaloption" ... ; "index.htm" for any other number.
std::string_view HelpTopicName(int nTopic);

struct HelpPage {
    std::filesystem::path file; // the page under the program's "help" folder
    std::string anchor;         // without '#'; may be empty
    // file:// URL with the anchor, for the browser.
    std::string Url() const;
};
HelpPage HelpTopicPage(std::string_view programPath, int nTopic);

} // namespace platform
