// SPDX-License-Identifier: MIT
// ImageMagick as the independent reference: making test files and decoding them to raw RGBA.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CImageBitmap;

namespace magick {

// True when ImageMagick's `convert` runs here.
bool Available();

// `convert args...`; fails the test (and returns false) when convert fails.
bool Convert(const std::vector<std::string>& args);

struct RawImage {
    int width = 0;
    int height = 0;
    int channelBits = 8;             // 8 or 16
    std::vector<std::uint16_t> rgba; // width * height * 4 samples
};

// The first image of path as ImageMagick decodes it, 8- or 16-bit samples.
std::optional<RawImage> Decode(const std::filesystem::path& path, int channelBits = 8);

// Compares bitmap (any depth; 8-bpp and 1-bpp through their palette) with reference, channel by
// channel. 16-bit references are rounded to 8 bits first. Alpha is compared when checkAlpha;
// otherwise the bitmap's fourth byte is ignored. With premultiplied, colour may also be off by
// the precision that premultiplying by alpha leaves (255 / alpha). Returns an empty string when
// they match, else a description of the first difference and the count.
std::string Compare(const CImageBitmap& bitmap, const RawImage& reference, int tolerance,
                    bool checkAlpha, bool premultiplied = false);

} // namespace magick

#define SKIP_WITHOUT_MAGICK()                                                                      \
    do {                                                                                           \
        if (!magick::Available())                                                                  \
            GTEST_SKIP() << "ImageMagick (convert) is not installed";                              \
    } while (0)
