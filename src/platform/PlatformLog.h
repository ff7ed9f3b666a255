// SPDX-License-Identifier: MIT
// Warnings of the platform layer: one line on stderr. The user-facing program stays silent about
// settings problems; this is for whoever runs it from a terminal.
#pragma once

#include <string_view>

namespace platform {

void Warn(std::string_view message);

} // namespace platform
