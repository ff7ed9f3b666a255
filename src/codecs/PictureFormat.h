// SPDX-License-Identifier: MIT
// The file formats the loader knows and how it tells them apart: metafiles by name, everything
// else by its first bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

enum class PictureFormat {
    Unknown,
    Bmp,
    Pict,
    Tga,
    Tiff,
    Jpeg,
    Png,
    Wmf,
    Emf,
    EpsTiff, // the TIFF preview inside a DOS EPS file
    Pcx,
    Pgm,
    Gif,
};

namespace codec {

// Wmf when the upper-cased path contains ".WMF", else Emf when it contains ".EMF", else Unknown.
PictureFormat RecognizeByName(std::string_view path);
// The first matching test of the recognition order on the leading bytes of data (data.size()
// is the file's length); Unknown when none matches. Never throws.
PictureFormat RecognizeByContent(std::span<const std::uint8_t> data);
// Short upper-case name for listings ("JPEG", "TIFF in EPS", ...).
const char* FormatName(PictureFormat format) noexcept;
// The debug trace line written when the format is recognised.
const char* RecognizedTrace(PictureFormat format) noexcept;

} // namespace codec
