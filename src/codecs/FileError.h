// SPDX-License-Identifier: MIT
// How a failed file access of the readers and writers reaches the user: what was done to which
// file, then the system's reason.
#pragma once

#include <string>

namespace codec {

// Throws CTextException with errno error as the code and "<action> <path> failed: <reason>",
// e.g. "Opening /x/y.png failed: Permission denied".
[[noreturn]] void ThrowFileError(const char* action, const std::string& path, int error);

} // namespace codec
