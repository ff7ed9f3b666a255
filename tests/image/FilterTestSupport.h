// SPDX-License-Identifier: MIT
// Helpers for the filter tests: pixel access at any depth, random images, a progress recorder.
#pragma once

#include "image/ImageBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/ProgressSink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace filtertest {

// The pixel's value: a palette index below 16 bpp, else the bytes in memory order as a
// little-endian word (24 bpp: blue, green, red).
inline std::uint32_t Get(const CImageBitmap& b, int x, int y) {
    const std::uint8_t* row = b.Line(y);
    switch (b.Depth()) {
    case 32:
        return std::uint32_t(row[4 * x]) | std::uint32_t(row[4 * x + 1]) << 8 |
               std::uint32_t(row[4 * x + 2]) << 16 | std::uint32_t(row[4 * x + 3]) << 24;
    case 24:
        return std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 |
               std::uint32_t(row[3 * x + 2]) << 16;
    case 8:
        return row[x];
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
    default:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    }
}

inline void Set(CImageBitmap& b, int x, int y, std::uint32_t v) {
    std::uint8_t* row = b.Line(y);
    switch (b.Depth()) {
    case 32:
        for (int i = 0; i < 4; ++i)
            row[4 * x + i] = std::uint8_t(v >> (8 * i));
        return;
    case 24:
        for (int i = 0; i < 3; ++i)
            row[3 * x + i] = std::uint8_t(v >> (8 * i));
        return;
    case 8:
        row[x] = std::uint8_t(v);
        return;
    case 4: {
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = std::uint8_t((row[x / 2] & ~(0xF << shift)) | ((v & 0xF) << shift));
        return;
    }
    default:
        row[x / 8] =
            std::uint8_t((row[x / 8] & ~(0x80 >> (x % 8))) | ((v & 1) ? 0x80 >> (x % 8) : 0));
        return;
    }
}

inline std::uint32_t MaxValue(int depth) {
    return depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1u;
}

// A bitmap of the given class filled with random pixels (and a random palette below 16 bpp).
template <class Bitmap = CMemoryBitmap>
void FillRandom(Bitmap& b, int width, int height, int depth, unsigned seed, bool alpha = false) {
    b.Create(width, height, depth, alpha);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            Set(b, x, y, std::uint32_t(rng()) & MaxValue(depth));
    for (auto& entry : b.PaletteSpan())
        entry = RGBQuad{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()),
                        std::uint8_t(rng())};
}

// Colour of a pixel (blue, green, red, fourth byte) through the palette where there is one.
inline RGBQuad ColourAt(const CImageBitmap& b, int x, int y) {
    const std::uint32_t v = Get(b, x, y);
    if (b.Depth() <= 8)
        return b.Palette()[v];
    return RGBQuad{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                   std::uint8_t(b.Depth() == 32 ? v >> 24 : 0)};
}

inline bool SamePixels(const CImageBitmap& a, const CImageBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Depth() != b.Depth())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (Get(a, x, y) != Get(b, x, y))
                return false;
    return true;
}

class CProgressRecorder : public CProgressSink {
public:
    void SetProgress(double fraction) override { values.push_back(fraction); }
    std::vector<double> values;
};

// Depth parameters for typed tests.
template <int D> struct Depth { static constexpr int value = D; };
using AllDepths = ::testing::Types<Depth<1>, Depth<8>, Depth<24>, Depth<32>>;

} // namespace filtertest
