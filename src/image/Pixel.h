// SPDX-License-Identifier: MIT
// Pixel and palette entry layouts shared by bitmaps, kernels and codecs.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define IMG_RESTRICT __restrict
#else
#define IMG_RESTRICT
#endif

// One palette entry or one 32-bpp pixel, in memory order blue, green, red, fourth byte
// (alpha when the bitmap's alpha flag is set).
struct RGBQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const RGBQuad&, const RGBQuad&) = default;
};
static_assert(sizeof(RGBQuad) == 4);

namespace img {

// A COLORREF is 0x00BBGGRR; a 32-bpp pixel read as a little-endian word is 0xAARRGGBB.
constexpr RGBQuad QuadFromColorRef(std::uint32_t colorRef, std::uint8_t fourth = 0) {
    return RGBQuad{static_cast<std::uint8_t>(colorRef >> 16),
                   static_cast<std::uint8_t>(colorRef >> 8), static_cast<std::uint8_t>(colorRef),
                   fourth};
}

constexpr std::uint32_t ColorRefFromQuad(RGBQuad q) {
    return std::uint32_t(q.red) | (std::uint32_t(q.green) << 8) | (std::uint32_t(q.blue) << 16);
}

} // namespace img
