// SPDX-License-Identifier: MIT
// Other programs the tests run as independent references (ImageMagick, netpbm, poppler) or
// need (Xvfb, openbox).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Runs argv (no shell; looked up in PATH) and returns its standard output, or nothing when it
// fails to start or exits non-zero. stdinData, when given, is its standard input; its error
// stream is dropped.
std::optional<std::string> RunProgram(const std::vector<std::string>& argv,
                                      const std::string* stdinData = nullptr);

// True when a program of that name is found in PATH.
bool HaveProgram(const std::string& name);

} // namespace testsupport
