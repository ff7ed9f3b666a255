// SPDX-License-Identifier: MIT
// PNG writing for large 32-bpp images on several cores: the rows are cut into bands, each band
// is filtered and deflated by its own thread (primed with the end of the band above, so the
// file is as small as from one stream), and the pieces are joined into one zlib stream. The
// file says what libpng's writer would say: same chunks, the same adaptive row filters, zlib
// level 6 with the filtered-data strategy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class CImageBitmap;

namespace codec {

// Below this many pixels one thread is as quick (a screenshot of a small window).
inline constexpr std::size_t kPngBandsMinPixels = 1u << 18;

// True when bitmap is 32 bpp, large enough, and there is more than one thread to use.
bool CanWritePngInBands(const CImageBitmap& bitmap, unsigned threads);

// Writes the whole file (signature to IEND) through append, RGB, or RGBA when the bitmap's
// alpha flag is set. Throws CTextException 6 "Error writting file" when append fails.
void WritePngInBands(const CImageBitmap& bitmap, unsigned threads,
                     const std::function<bool(const std::uint8_t*, std::size_t)>& append);

// The filter libpng's adaptive choice gives a row (0 none .. 4 Paeth: the smallest sum of the
// filtered bytes taken as signed magnitudes, the first on a tie), and the filtered row written
// into out (row.size() bytes). prev is the row above, all zeros for the first row.
int FilterPngRow(const std::uint8_t* row, const std::uint8_t* prev, std::size_t bytes,
                 std::size_t pixelBytes, std::uint8_t* out, std::uint8_t* scratch) noexcept;

} // namespace codec
