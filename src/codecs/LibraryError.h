// SPDX-License-Identifier: MIT
// How a codec library's failure reaches the user: code 6 with the library's own text.
#pragma once

#include <string>

namespace codec {

// Codes of the readers and writers (the numbers users see in messages).
inline constexpr int kNotThisFormatCode = 1;
inline constexpr int kDamagedCode = 7;
inline constexpr int kLibraryErrorCode = 6;
inline constexpr const char* kNotCompiledText = "Library not compiled for this file type.";
inline constexpr int kUnknownTypeCode = 8;
inline constexpr const char* kUnknownTypeText = "Unknown file type.";

// Throws CTextException 6 with text (or a generic text when the library gave none).
[[noreturn]] void ThrowLibraryError(const std::string& text);

} // namespace codec
