// SPDX-License-Identifier: MIT
// Library failures as CTextException.
#include "codecs/LibraryError.h"

#include "image/TextException.h"

namespace codec {

void ThrowLibraryError(const std::string& text) {
    throw CTextException(kLibraryErrorCode,
                         text.empty() ? std::string("The image library failed.") : text);
}

} // namespace codec
