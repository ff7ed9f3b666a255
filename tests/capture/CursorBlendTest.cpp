// SPDX-License-Identifier: MIT
// Cursor blending and server pixel conversion against references computed per pixel.
#include "capture/x11/CursorImage.h"
#include "capture/x11/ScreenGrabber.h"
#include "image/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

using capture::Point;

namespace {

RGBQuad ReferenceBlend(RGBQuad dst, std::uint32_t argb) {
    const double a = double(argb >> 24);
    auto channel = [&](int shift, std::uint8_t d) {
        const double v = double((argb >> shift) & 0xFF) + double(d) * (255.0 - a) / 255.0;
        return std::uint8_t(std::min(255L, std::lround(v)));
    };
    return RGBQuad{channel(0, dst.blue), channel(8, dst.green), channel(16, dst.red), dst.reserved};
}

CursorImage RandomCursor(std::mt19937& rng, int w, int h) {
    CursorImage c;
    c.nWidth = w;
    c.nHeight = h;
    c.argb.resize(std::size_t(w * h));
    for (auto& px : c.argb) {
        const std::uint32_t a =
            std::array<std::uint32_t, 4>{0, 255, 128, std::uint32_t(rng() % 256)}[rng() % 4];
        auto ch = [&] { return a ? std::uint32_t(rng() % (a + 1)) : 0u; }; // premultiplied
        px = (a << 24) | (ch() << 16) | (ch() << 8) | ch();
    }
    return c;
}

} // namespace

TEST(BlendCursor, MatchesPremultipliedReferenceAndClipsAtEdges) {
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        CMemoryBitmap b;
        b.Create(1 + int(rng() % 60), 1 + int(rng() % 60), 32);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                b.Row<RGBQuad>(y)[x] =
                    RGBQuad{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0};
        CMemoryBitmap before;
        before.CreateCopy(b);
        CursorImage c = RandomCursor(rng, 1 + int(rng() % 40), 1 + int(rng() % 40));
        c.ptHotSpot = {int(rng() % unsigned(c.nWidth)), int(rng() % unsigned(c.nHeight))};
        const Point origin{int(rng() % 1000), int(rng() % 1000)};
        // Pointer anywhere from well left/above the bitmap to well past it.
        c.ptPointer = origin + Point{int(rng() % 120) - 40, int(rng() % 120) - 40};
        ASSERT_TRUE(capture::BlendCursor(b, origin, c));
        const Point at = c.TopLeft() - origin;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const int cx = x - at.x, cy = y - at.y;
                const RGBQuad old = before.Row<RGBQuad>(y)[x];
                const bool covered = cx >= 0 && cy >= 0 && cx < c.nWidth && cy < c.nHeight;
                const RGBQuad want =
                    covered ? ReferenceBlend(old, c.argb[std::size_t(cy * c.nWidth + cx)]) : old;
                ASSERT_EQ(b.Row<RGBQuad>(y)[x], want)
                    << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(BlendCursor, MalformedImagesNeitherWrapNorOverrun) {
    CMemoryBitmap b;
    b.Create(4, 4, 32);
    for (int y = 0; y < 4; ++y)
        std::fill(b.Row<RGBQuad>(y), b.Row<RGBQuad>(y) + 4, RGBQuad{200, 200, 200, 0});
    CursorImage c;
    c.nWidth = c.nHeight = 2;
    c.argb = {0x40FFFFFFu, 0x40FFFFFFu, 0x40FFFFFFu, 0x40FFFFFFu}; // colour above its alpha
    EXPECT_TRUE(capture::BlendCursor(b, {0, 0}, c));
    EXPECT_EQ(b.Row<RGBQuad>(0)[0], (RGBQuad{255, 255, 255, 0}));
    c.nWidth = 3; // claims more pixels than it carries
    EXPECT_FALSE(capture::BlendCursor(b, {0, 0}, c));
    CMemoryBitmap eight;
    eight.Create(4, 4, 8);
    c.nWidth = 2;
    EXPECT_FALSE(capture::BlendCursor(eight, {0, 0}, c));
}

TEST(ConvertServerRows, NativeAndMaskedFormats) {
    std::mt19937 rng(5);
    const int w = 37, h = 5;
    struct Case {
        ServerPixelFormat f;
        int bytes;
    };
    const Case cases[] = {
        {{24, 32, 32, 0xFF0000, 0xFF00, 0xFF, true}, 4},     // the usual one
        {{24, 32, 32, 0xFF0000, 0xFF00, 0xFF, false}, 4},    // big-endian server
        {{24, 32, 32, 0xFF, 0xFF00, 0xFF0000, true}, 4},     // R and B swapped
        {{24, 24, 32, 0xFF0000, 0xFF00, 0xFF, true}, 3},     // packed 24-bit
        {{16, 16, 32, 0xF800, 0x7E0, 0x1F, true}, 2},        // 5-6-5
        {{15, 16, 32, 0x7C00, 0x3E0, 0x1F, false}, 2},       // 5-5-5, big-endian
        {{30, 32, 32, 0x3FF00000, 0xFFC00, 0x3FF, true}, 4}, // 10 bits a channel
    };
    for (const Case& k : cases) {
        const std::size_t stride = k.f.RowBytes(w);
        std::vector<std::uint8_t> src(stride * h);
        for (auto& v : src)
            v = std::uint8_t(rng());
        CMemoryBitmap out;
        out.Create(w + 4, h + 2, 32);
        capture::ConvertServerRows(src.data(), stride, w, h, k.f, out, {3, 1});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t pixel = 0;
                for (int i = 0; i < k.bytes; ++i) {
                    const std::uint32_t byte =
                        src[std::size_t(y) * stride + std::size_t(x * k.bytes + i)];
                    pixel |= byte << (8 * (k.f.bLsbFirst ? i : k.bytes - 1 - i));
                }
                auto channel = [&](std::uint32_t mask) {
                    int shift = 0;
                    while (!((mask >> shift) & 1))
                        ++shift;
                    const double max = double(mask >> shift);
                    return std::uint8_t(
                        std::lround(double((pixel & mask) >> shift) * 255.0 / max - 0.0));
                };
                RGBQuad want{channel(k.f.blueMask), channel(k.f.greenMask), channel(k.f.redMask),
                             0};
                const RGBQuad got = out.Row<RGBQuad>(y + 1)[x + 3];
                // Channels wider than 8 bits are truncated rather than rounded: allow 1.
                const int slack = k.f.nDepth == 30 ? 1 : 0;
                ASSERT_LE(std::abs(got.red - want.red), slack)
                    << k.f.nDepth << " at " << x << "," << y;
                ASSERT_LE(std::abs(got.green - want.green), slack);
                ASSERT_LE(std::abs(got.blue - want.blue), slack);
                ASSERT_EQ(got.reserved, 0);
            }
    }
}
