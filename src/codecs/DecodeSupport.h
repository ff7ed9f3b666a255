// SPDX-License-Identifier: MIT
// Checks shared by the format readers: checked size arithmetic, the depth rule and the size
// limit that every reader applies right after parsing a header, before it allocates.
#pragma once

#include <cstddef>
#include <cstdint>

class CDataSource;

namespace codec {

// Code 10 "Out of memory creating bitmap.": the answer to size arithmetic that overflows.
[[noreturn]] void ThrowTooLarge();

// a * b and a + b, or code 10 when the result does not fit a size_t.
std::size_t CheckedMul(std::size_t a, std::size_t b);
std::size_t CheckedAdd(std::size_t a, std::size_t b);

// The depth rule of the readers: 32 requested gives 32 bpp; otherwise files of 8 bits per
// pixel or less give 8 bpp and deeper ones 32 bpp.
constexpr int ResultDepth(int requested, int fileBitsPerPixel) noexcept {
    return requested == 32 || fileBitsPerPixel > 8 ? 32 : 8;
}

// Throws code 10 unless a width x height bitmap of depth bpp (both sides at least 1) fits the
// bitmap's limits and pixelByteLimit; the text then gives the size and the limit (see
// img::ThrowPictureTooLarge). Readers check for zero and negative sizes themselves first, with
// their own messages.
void CheckImageSize(std::int64_t width, std::int64_t height, int depth, std::size_t pixelByteLimit);

// Throws code 11 "End of file reached while decoding.\n" when fewer than bytes remain: lets a
// reader reject a file that cannot hold its pixels before allocating for them.
void RequireRemaining(const CDataSource& source, std::size_t bytes);

} // namespace codec
