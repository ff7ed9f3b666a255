// SPDX-License-Identifier: MIT
// Bitmap classes: sizes and layouts, default palettes, depth conversions, packed DIBs, limits.
#include "image/DibBitmap.h"
#include "image/DibSectionBitmap.h"
#include "image/DisplayBitmap.h"
#include "image/MemoryBitmap.h"
#include "support/TestSupport.h"

#include <cstring>
#include <random>

namespace {

void SetPixel32(CImageBitmap& b, int x, int y, RGBQuad q) {
    b.Row<RGBQuad>(y)[x] = q;
}
RGBQuad Pixel32(const CImageBitmap& b, int x, int y) {
    return b.Row<RGBQuad>(y)[x];
}
int Bit(const CImageBitmap& b, int x, int y) {
    return (b.Line(y)[x / 8] >> (7 - x % 8)) & 1;
}

void FillRandom(CImageBitmap& b, unsigned seed) {
    std::mt19937 rng(seed);
    for (int y = 0; y < b.Height(); ++y)
        for (std::size_t i = 0; i < b.PixelBytesPerLine(); ++i)
            b.Line(y)[i] = std::uint8_t(rng());
}

template <class T> class BitmapClassTest : public ::testing::Test {};
using BitmapClasses =
    ::testing::Types<CDibBitmap, CDibSectionBitmap, CDisplayBitmap, CMemoryBitmap>;
TYPED_TEST_SUITE(BitmapClassTest, BitmapClasses);

TYPED_TEST(BitmapClassTest, NewBitmapIs16By16At8BppWithGreyRamp) {
    TypeParam b;
    EXPECT_EQ(b.Width(), 16);
    EXPECT_EQ(b.Height(), 16);
    EXPECT_EQ(b.Depth(), 8);
    EXPECT_FALSE(b.HasAlpha());
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(b.Palette()[i],
                  (RGBQuad{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 255}));
}

TYPED_TEST(BitmapClassTest, OneBppPaletteIsBlackThenWhite) {
    TypeParam b;
    b.Create(9, 3, 1);
    EXPECT_EQ(b.Palette()[0], (RGBQuad{0, 0, 0, 255}));
    EXPECT_EQ(b.Palette()[1], (RGBQuad{255, 255, 255, 255}));
    EXPECT_EQ(b.PixelBytesPerLine(), 2u);
}

TYPED_TEST(BitmapClassTest, LinesAreTopDownWhateverTheMemoryOrder) {
    TypeParam b;
    b.Create(5, 4, 32);
    for (int y = 0; y < 4; ++y) {
        const std::ptrdiff_t expected = b.IsBottomUp() ? 3 - y : y;
        EXPECT_EQ(b.Line(y) - b.Bits(), expected * std::ptrdiff_t(b.BytesPerLine()));
    }
}

TYPED_TEST(BitmapClassTest, SizesOutOfRangeThrowOutOfMemoryAndKeepTheImage) {
    TypeParam b;
    b.Create(7, 3, 32);
    SetPixel32(b, 6, 2, RGBQuad{1, 2, 3, 4});
    const char* text = "Out of memory creating bitmap.";
    EXPECT_TEXT_EXCEPTION(b.Create(0, 10, 32), 10, text);
    EXPECT_TEXT_EXCEPTION(b.Create(10, -1, 8), 10, text);
    EXPECT_TEXT_EXCEPTION(b.Create(2000000000, 2000000000, 32), 10,
                          "The picture is 2000000000x2000000000 pixels, larger than the limit of "
                          "32768 pixels a side.");
    EXPECT_TEXT_EXCEPTION(b.Create(32768, 32768, 32), 10, // 4 GiB of pixels
                          "The picture is 32768x32768 pixels, larger than the limit of 1 GiB at 32 "
                          "bits per pixel.");
    EXPECT_TEXT_EXCEPTION(b.Create(10, 10, 7), 10, text);
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(Pixel32(b, 6, 2), (RGBQuad{1, 2, 3, 4}));
}

TYPED_TEST(BitmapClassTest, LockAndUnlockOnlyCount) {
    TypeParam b;
    b.Lock();
    b.Lock();
    b.Unlock();
    EXPECT_EQ(b.LockCount(), 1);
}

TEST(BitmapSizes, RowBytesAndMemoryFollowTheLayout) {
    CDibBitmap dib;
    dib.Create(9, 10, 1);
    EXPECT_EQ(dib.BytesPerLine(), 4u); // 2 data bytes padded to 4
    EXPECT_EQ(dib.MemoryUsed(), 40 + 8 + 10 * 4 + sizeof(CDibBitmap));
    dib.Create(5, 3, 32);
    EXPECT_EQ(dib.BytesPerLine(), 20u);
    dib.Create(5, 3, 24);
    EXPECT_EQ(dib.BytesPerLine(), 16u); // 15 pixel bytes and one padding byte
    EXPECT_EQ(dib.MemoryUsed(), 40 + 3 * 16 + sizeof(CDibBitmap));

    CMemoryBitmap mem;
    mem.Create(9, 10, 1);
    EXPECT_EQ(mem.BytesPerLine(), 2u);
    EXPECT_EQ(mem.MemoryUsed(), 10 * 2 + 8 + sizeof(CMemoryBitmap));
    mem.Create(3, 2, 4); // two pixels per byte: a 3-pixel row needs 2 bytes, not 1
    EXPECT_EQ(mem.BytesPerLine(), 2u);
}

TEST(BitmapSizes, DibHeaderDescribesThePixels) {
    CDibSectionBitmap b;
    b.Create(33, 7, 8);
    EXPECT_EQ(b.Header().biSize, 40u);
    EXPECT_EQ(b.Header().biWidth, 33);
    EXPECT_EQ(b.Header().biHeight, 7);
    EXPECT_EQ(b.Header().biBitCount, 8);
    EXPECT_EQ(b.Header().biSizeImage, 36u * 7);
}

TEST(DepthConversion, ToOneBppUsesThe128Threshold) {
    CMemoryBitmap src;
    src.Create(4, 1, 32);
    SetPixel32(src, 0, 0, RGBQuad{127, 127, 127, 0});
    SetPixel32(src, 1, 0, RGBQuad{0, 0, 128, 0}); // red 128
    SetPixel32(src, 2, 0, RGBQuad{0, 0, 0, 0});
    SetPixel32(src, 3, 0, RGBQuad{128, 0, 0, 0});
    CDibBitmap one;
    one.CreateCopy(src, 1);
    EXPECT_EQ(one.Palette()[0], (RGBQuad{255, 255, 255, 255}));
    EXPECT_EQ(one.Palette()[1], (RGBQuad{0, 0, 0, 255}));
    EXPECT_EQ(Bit(one, 0, 0), 1);
    EXPECT_EQ(Bit(one, 1, 0), 0);
    EXPECT_EQ(Bit(one, 2, 0), 1);
    EXPECT_EQ(Bit(one, 3, 0), 0);
    EXPECT_EQ(one.Line(0)[0] & 0x0F, 0); // unused bits of the row stay clear
}

TEST(DepthConversion, EightToThirtyTwoTakesAllFourPaletteBytes) {
    CDisplayBitmap src;
    src.Create(3, 2, 8);
    src.Palette()[7] = RGBQuad{10, 20, 30, 40};
    std::memset(src.Line(0), 7, 3);
    std::memset(src.Line(1), 255, 3);
    CMemoryBitmap out;
    out.CreateCopy(src, 32);
    EXPECT_EQ(Pixel32(out, 2, 0), (RGBQuad{10, 20, 30, 40}));
    EXPECT_EQ(Pixel32(out, 0, 1), (RGBQuad{255, 255, 255, 255}));
    EXPECT_FALSE(out.HasAlpha());
}

TEST(DepthConversion, OneBppRoundTripsThroughEightAndThirtyTwo) {
    // Widths around the byte boundary exercise the partial last byte.
    for (int width : {1, 7, 8, 9, 17, 64}) {
        CDibBitmap one;
        one.Create(width, 3, 1);
        FillRandom(one, unsigned(width));
        CMemoryBitmap wide, eight;
        wide.CreateCopy(one, 32);
        eight.CreateCopy(one, 8);
        CDibBitmap back, back8;
        back.CreateCopy(wide, 1);
        back8.CreateCopy(eight, 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) {
                const int bit = Bit(one, x, y);
                // Default palette: 0 black, 1 white. The conversion back maps black to 1.
                EXPECT_EQ(Pixel32(wide, x, y).red, bit ? 255 : 0);
                EXPECT_EQ(eight.Line(y)[x], bit);
                EXPECT_EQ(Bit(back, x, y), 1 - bit);
                EXPECT_EQ(Bit(back8, x, y), 1 - bit);
            }
        EXPECT_EQ(eight.Palette()[1], (RGBQuad{255, 255, 255, 255}));
    }
}

TEST(DepthConversion, SameDepthCopyKeepsPaletteAndPixelsAcrossLayouts) {
    CDisplayBitmap src;
    src.Create(13, 5, 8);
    FillRandom(src, 3);
    src.Palette()[200] = RGBQuad{1, 2, 3, 4};
    CMemoryBitmap mem;
    mem.CreateCopy(src); // depth 0: the source's
    CDibBitmap dib;
    dib.CreateCopy(mem);
    EXPECT_EQ(dib.Depth(), 8);
    EXPECT_EQ(dib.Palette()[200], (RGBQuad{1, 2, 3, 4}));
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(std::memcmp(dib.Line(y), src.Line(y), 13), 0);
}

TEST(DepthConversion, CopyOntoItselfConvertsSafely) {
    CMemoryBitmap b;
    b.Create(3, 3, 8);
    std::memset(b.Line(1), 200, 3);
    b.CreateCopy(b); // same depth: nothing happens
    b.CreateCopy(b, 32);
    EXPECT_EQ(b.Depth(), 32);
    EXPECT_EQ(Pixel32(b, 1, 1), (RGBQuad{200, 200, 200, 255}));
}

TEST(DepthConversion, AlphaFlagSurvivesOnlyTo32Bpp) {
    CMemoryBitmap src;
    src.Create(2, 2, 32, true);
    FillRandom(src, 9);
    CDibBitmap a, b;
    a.CreateCopy(src, 32);
    b.CreateCopy(src, 24);
    EXPECT_TRUE(a.HasAlpha());
    EXPECT_FALSE(b.HasAlpha());
    EXPECT_EQ(std::memcmp(b.Line(1), src.Line(1), 3), 0);
}

TEST(Quantizer, FewColoursAreKeptExactly) { // 8 x 8 x 3 = 192 colours
    CMemoryBitmap src;
    src.Create(40, 30, 32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            SetPixel32(src, x, y,
                       RGBQuad{std::uint8_t(x % 8 * 30), std::uint8_t(y % 8 * 30),
                               std::uint8_t((x + y) % 3), 0});
    CDibBitmap eight, back;
    eight.CreateCopy(src, 8);
    back.CreateCopy(eight, 32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const RGBQuad a = Pixel32(src, x, y), b = Pixel32(back, x, y);
            EXPECT_EQ((RGBQuad{a.blue, a.green, a.red, 255}), b);
        }
}

TEST(Quantizer, ManyColoursStayClose) {
    CMemoryBitmap src;
    src.Create(256, 256, 32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            SetPixel32(src, x, y,
                       RGBQuad{std::uint8_t(x), std::uint8_t(y), std::uint8_t((x * y) >> 8), 0});
    for (int dither : {0, 1}) {
        src.SetDitherMode(dither);
        CMemoryBitmap eight, back;
        eight.CreateCopy(src, 8);
        back.CreateCopy(eight, 32);
        double error = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const RGBQuad a = Pixel32(src, x, y), b = Pixel32(back, x, y);
                error += std::abs(a.red - b.red) + std::abs(a.green - b.green) +
                         std::abs(a.blue - b.blue);
            }
        // A fixed 6x6x6 cube averages about 25 per pixel on this gradient; median cut does far
        // better.
        EXPECT_LT(error / (256.0 * 256.0), dither ? 24.0 : 12.0) << "dither " << dither;
    }
}

TEST(PackedDib, RoundTripsEveryDepth) {
    for (int depth : {1, 4, 8, 24, 32}) {
        CDisplayBitmap src;
        src.Create(11, 6, depth);
        FillRandom(src, unsigned(depth));
        if (depth <= 8)
            src.Palette()[1] = RGBQuad{9, 8, 7, 0};
        const std::vector<std::uint8_t> dib = src.ToPackedDib();
        CMemoryBitmap via;
        via.CreateFromPackedDib(dib);
        ASSERT_EQ(via.Depth(), depth);
        for (int y = 0; y < 6; ++y)
            EXPECT_EQ(std::memcmp(via.Line(y), src.Line(y), src.PixelBytesPerLine()), 0) << depth;
        if (depth <= 8) {
            EXPECT_EQ(via.Palette()[1], (RGBQuad{9, 8, 7, 0}));
        }
        // The generic packer and the DIB's own block agree byte for byte.
        EXPECT_EQ(via.ToPackedDib(), dib);
    }
}

TEST(PackedDib, ReplacementPaletteAndTopDownRows) {
    CDibBitmap src;
    src.Create(4, 2, 8);
    std::memset(src.Line(0), 1, 4);
    std::memset(src.Line(1), 2, 4);
    std::vector<std::uint8_t> dib = src.ToPackedDib();
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), 40);
    h.biHeight = -2; // top-down: the first stored row is the top one
    std::memcpy(dib.data(), &h, 40);
    const RGBQuad replacement[] = {{1, 1, 1, 1}, {50, 60, 70, 80}};
    CMemoryBitmap b;
    b.CreateFromPackedDib(dib, replacement);
    EXPECT_EQ(b.Line(0)[0], 2);
    EXPECT_EQ(b.Palette()[1], (RGBQuad{50, 60, 70, 0}));
    EXPECT_EQ(b.Palette()[2], (RGBQuad{2, 2, 2, 255}));
}

TEST(PackedDib, BitfieldPixelsBecome32Bpp) {
    // 16-bit 5-6-5 with explicit masks after the header.
    std::vector<std::uint8_t> dib(40 + 12 + 4);
    BitmapInfoHeader h;
    h.biWidth = 2;
    h.biHeight = 1;
    h.biBitCount = 16;
    h.biCompression = 3;
    std::memcpy(dib.data(), &h, 40);
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(dib.data() + 40, masks, 12);
    const std::uint16_t pixels[2] = {0xF800, 0x07FF};
    std::memcpy(dib.data() + 52, pixels, 4);
    CMemoryBitmap b;
    b.CreateFromPackedDib(dib);
    EXPECT_EQ(b.Depth(), 32);
    EXPECT_EQ(Pixel32(b, 0, 0), (RGBQuad{0, 0, 255, 0}));
    EXPECT_EQ(Pixel32(b, 1, 0), (RGBQuad{255, 255, 0, 0}));
}

TEST(PackedDib, LyingHeadersAreRejected) {
    CDibBitmap src;
    src.Create(8, 8, 8);
    const std::vector<std::uint8_t> good = src.ToPackedDib();
    auto withHeader = [&](auto change) {
        std::vector<std::uint8_t> dib = good;
        BitmapInfoHeader h;
        std::memcpy(&h, dib.data(), 40);
        change(h);
        std::memcpy(dib.data(), &h, 40);
        return dib;
    };
    const char* text = "Out of memory creating bitmap.";
    CMemoryBitmap b;
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(std::span(good).first(good.size() - 1)), 10, text);
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(std::span(good).first(20)), 10, text);
    EXPECT_TEXT_EXCEPTION(
        b.CreateFromPackedDib(withHeader([](auto& h) { h.biHeight = 100000; })), 10,
        "The picture is 8x100000 pixels, larger than the limit of 32768 pixels a side.");
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(withHeader([](auto& h) { h.biWidth = -8; })), 10,
                          text);
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(withHeader([](auto& h) { h.biSize = 1u << 31; })),
                          10, text);
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(withHeader([](auto& h) { h.biBitCount = 7; })), 10,
                          text);
    EXPECT_TEXT_EXCEPTION(b.CreateFromPackedDib(withHeader([](auto& h) { h.biCompression = 1; })),
                          10, text);
    EXPECT_TEXT_EXCEPTION(
        b.CreateFromPackedDib(withHeader([](auto& h) { h.biHeight = INT32_MIN; })), 10, text);
}

TEST(SwapStorage, ExchangesImagesButKeepsIdentity) {
    CDisplayBitmap a;
    a.Create(3, 2, 32);
    a.Lock();
    SetPixel32(a, 0, 0, RGBQuad{1, 1, 1, 1});
    auto b = a.CreateEmptyLike();
    b->Create(5, 7, 8);
    b->Line(6)[4] = 77;
    a.SwapStorage(*b);
    EXPECT_EQ(a.Width(), 5);
    EXPECT_EQ(a.Depth(), 8);
    EXPECT_EQ(a.Line(6)[4], 77);
    EXPECT_EQ(a.LockCount(), 1);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(Pixel32(*b, 0, 0), (RGBQuad{1, 1, 1, 1}));
}

} // namespace
