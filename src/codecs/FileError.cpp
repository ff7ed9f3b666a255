// SPDX-License-Identifier: MIT
// File access failures as CTextException.
#include "codecs/FileError.h"

#include "image/TextException.h"

#include <cerrno>
#include <cstring>

namespace codec {

void ThrowFileError(const char* action, const std::string& path, int error) {
    // A failure that set no errno still has to read as one.
    if (error == 0)
        error = EIO;
    throw CTextException(error,
                         std::string(action) + " " + path + " failed: " + std::strerror(error));
}

} // namespace codec
