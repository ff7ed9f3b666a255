// SPDX-License-Identifier: MIT
// Warnings of the platform layer on stderr.
#include "platform/PlatformLog.h"

#include <cstdio>

namespace platform {

void Warn(std::string_view message) {
    std::fprintf(stderr, "quorvi: warning: %.*s\n", static_cast<int>(message.size()),
                 message.data());
}

} // namespace platform
