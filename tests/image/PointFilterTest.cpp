// SPDX-License-Identifier: MIT
// Point operations (brightness, contrast, intensity, grayscale, invert) against plain double
// references written in the tests: every channel value, and every 24-bit colour where the
// operation mixes channels.
#include "FilterTestSupport.h"

#include "image/BrightnessFilter.h"
#include "image/ChannelMap.h"
#include "image/ContrastFilter.h"
#include "image/DisplayBitmap.h"
#include "image/FilterSupport.h"
#include "image/GrayscaleFilter.h"
#include "image/IntensityFilter.h"
#include "image/InvertFilter.h"

#include <algorithm>
#include <cmath>

using namespace filtertest;

namespace {

constexpr double kSlack = 1e-9;

int RefClamp(double v) {
    v += kSlack;
    if (v >= 255)
        return 255;
    if (v < 0)
        return 0;
    return int(v);
}

// One row in which blue, green and red each take all 256 values, in different orders, and the
// fourth byte varies too.
std::unique_ptr<CMemoryBitmap> AllChannelValues(int depth) {
    auto p = std::make_unique<CMemoryBitmap>();
    CMemoryBitmap& b = *p;
    b.Create(256, 1, depth);
    for (int x = 0; x < 256; ++x)
        Set(b, x, 0,
            std::uint32_t(x) | std::uint32_t(255 - x) << 8 | std::uint32_t((x * 7) & 255) << 16 |
                std::uint32_t((x * 13) & 255) << 24);
    return p;
}

template <class Ref>
void ExpectChannelMapping(const CImageBitmap& source, const CImageBitmap& result, Ref ref,
                          const char* what) {
    ASSERT_EQ(result.Depth(), source.Depth());
    for (int x = 0; x < source.Width(); ++x) {
        const std::uint32_t in = Get(source, x, 0);
        const std::uint32_t out = Get(result, x, 0);
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(int((out >> (8 * c)) & 255), ref(int((in >> (8 * c)) & 255)))
                << what << " value " << ((in >> (8 * c)) & 255);
        }
        if (source.Depth() == 32) {
            ASSERT_EQ(out >> 24, in >> 24) << "the fourth byte is kept";
        }
    }
}

TEST(Brightness, EveryAmountAndValueMatchesTheFormula) {
    const auto sourcePtr = AllChannelValues(32);
    const CMemoryBitmap& source = *sourcePtr;
    for (int amount = -255; amount <= 255; ++amount) {
        CBrightnessFilter filter(amount);
        CMemoryBitmap result;
        filter.Apply(source, result);
        ExpectChannelMapping(
            source, result, [&](int v) { return RefClamp(v + amount * 2.55); }, "brightness");
    }
}

TEST(Brightness, AmountHundredReachesWhiteFromBlackAndZeroChangesNothing) {
    CMemoryBitmap b;
    b.Create(2, 1, 32);
    Set(b, 0, 0, 0x00C8C8C8);
    Set(b, 1, 0, 0x00000000);
    CBrightnessFilter(100).ApplyInPlace(b);
    EXPECT_EQ(Get(b, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Get(b, 1, 0) & 0xFFFFFF, 0xFFFFFFu) << "0 + 100 x 2.55 is 255, not 254";

    const auto sourcePtr = AllChannelValues(32);
    const CMemoryBitmap& source = *sourcePtr;
    CMemoryBitmap same;
    CBrightnessFilter(0).Apply(source, same);
    EXPECT_TRUE(SamePixels(source, same));
}

TEST(Brightness, TwentyFourBitAndPaletteImages) {
    const auto source24Ptr = AllChannelValues(24);
    const CMemoryBitmap& source24 = *source24Ptr;
    CMemoryBitmap result24;
    CBrightnessFilter(-17).Apply(source24, result24);
    ExpectChannelMapping(
        source24, result24, [](int v) { return RefClamp(v - 17 * 2.55); }, "24 bpp");

    CMemoryBitmap source8;
    FillRandom(source8, 9, 4, 8, 5);
    CMemoryBitmap result8;
    CBrightnessFilter(30).Apply(source8, result8);
    ASSERT_EQ(result8.Depth(), 8);
    for (int i = 0; i < 256; ++i) {
        const RGBQuad in = source8.Palette()[i];
        const RGBQuad out = result8.Palette()[i];
        EXPECT_EQ(out.blue, RefClamp(in.blue + 30 * 2.55));
        EXPECT_EQ(out.red, RefClamp(in.red + 30 * 2.55));
        EXPECT_EQ(out.reserved, in.reserved);
    }
    EXPECT_TRUE(std::equal(source8.Bits(), source8.Bits() + 9 * 4, result8.Bits()))
        << "indices are kept";
}

TEST(Contrast, EveryDialogFactorAndOffsetMatchesTheFormula) {
    const auto sourcePtr = AllChannelValues(32);
    const CMemoryBitmap& source = *sourcePtr;
    for (int slider = 1; slider <= 100; ++slider) {
        for (int offset = 0; offset <= 255; ++offset) {
            const double k = slider * 0.1;
            CContrastFilter filter(k, std::uint8_t(offset));
            CMemoryBitmap result;
            filter.Apply(source, result);
            const double stored = offset - 125.0;
            const double base = (stored - 125.0) * k + 125.0;
            ExpectChannelMapping(
                source, result, [&](int v) { return RefClamp(base + k * v); }, "contrast");
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(Contrast, FactorOneOffset125IsTheIdentityAndOtherFactorsWork) {
    const auto sourcePtr = AllChannelValues(24);
    const CMemoryBitmap& source = *sourcePtr;
    CMemoryBitmap result;
    CContrastFilter(1.0, 125).Apply(source, result);
    EXPECT_TRUE(SamePixels(source, result));
    for (double k : {0.0, 0.37, 1.7777, 12.5, -2.0}) {
        CContrastFilter(k, 77).Apply(source, result);
        const double base = (77 - 125.0 - 125.0) * k + 125.0;
        ExpectChannelMapping(
            source, result, [&](int v) { return RefClamp(base + k * v); }, "odd factor");
    }
}

TEST(ChannelMap, UsesTheVectorFormOnlyWhereItEqualsTheTable) {
    img::ByteLut lut;
    for (int v = 0; v < 256; ++v)
        lut[std::size_t(v)] = std::uint8_t(std::min(255, v + 3));
    EXPECT_TRUE(img::CChannelMap(lut, 3.5f, 1.0f).IsLinear());
    lut[200] = 0;
    const img::CChannelMap odd(lut, 3.5f, 1.0f);
    EXPECT_FALSE(odd.IsLinear());
    std::uint8_t in[2] = {200, 10}, out[2] = {};
    odd.MapBytes(in, out, 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 13);
}

int RefGrey(int r, int g, int b) {
    return int(0.212671 * r + 0.71516 * g + 0.072169 * b + kSlack);
}

TEST(Grayscale, EveryColourMatchesTheFormula) {
    CMemoryBitmap source;
    source.Create(4096, 4096, 32);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x)
            source.Row<std::uint32_t>(y)[x] =
                std::uint32_t(y) << 12 | std::uint32_t(x) | 0xAB000000u;
    CMemoryBitmap result;
    CGrayscaleFilter().Apply(source, result);
    ASSERT_EQ(result.Depth(), 8);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x) {
            const std::uint32_t c = std::uint32_t(y) << 12 | std::uint32_t(x);
            ASSERT_EQ(result.Line(y)[x], RefGrey(int(c >> 16), int((c >> 8) & 255), int(c & 255)))
                << std::hex << c;
        }
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(result.Palette()[i],
                  (RGBQuad{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 255}));
}

TEST(Grayscale, GreysStayThemselvesAndPureRedIs54) {
    CMemoryBitmap source;
    source.Create(257, 1, 24);
    for (int g = 0; g < 256; ++g)
        Set(source, g, 0, std::uint32_t(g) * 0x010101u);
    Set(source, 256, 0, 0xFF0000); // red, in memory order 0, 0, 255
    CMemoryBitmap result;
    CGrayscaleFilter().Apply(source, result);
    for (int g = 0; g < 256; ++g)
        EXPECT_EQ(result.Line(0)[g],
                  g); // 19, 31, 38, 62, 76, 124, ... lose a unit without the slack
    EXPECT_EQ(result.Line(0)[256], 54);
}

TEST(Grayscale, PaletteImagesAreReadThroughThePalette) {
    for (int depth : {1, 4, 8}) {
        CMemoryBitmap source;
        FillRandom(source, 13, 3, depth, 9);
        CMemoryBitmap result;
        CGrayscaleFilter().Apply(source, result);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x) {
                const RGBQuad c = ColourAt(source, x, y);
                EXPECT_EQ(result.Line(y)[x], RefGrey(c.red, c.green, c.blue)) << depth;
            }
    }
}

// The Part's HSV round trip, literally.
struct RefIntensity {
    double T, e, q;
    RefIntensity(double intensity, int offset, double exponent)
        : T(offset), e(exponent), q((intensity - 20) * 0.25 / std::pow(255.0, exponent)) {}

    void operator()(int R, int G, int B, int out[3]) const {
        const int V = std::max({R, G, B});
        const int m = std::min({R, G, B});
        double H = 0, S = 0;
        if (V != 0)
            S = (V - m) * 255.0 / V;
        if (S != 0) {
            const double d = V - m;
            if (R == V)
                H = (G - B) / d;
            else if (G == V)
                H = (B - R) / d + 2;
            else
                H = (R - G) / d + 4;
            H = H * 42.5;
            if (H < 0)
                H += 255;
            if (H > 255)
                H -= 255;
        }
        double Vd = V;
        if (Vd >= T)
            Vd = Vd * (q * std::pow(Vd - T, e) + 1);
        double r, g, b;
        if (int(S + kSlack) == 0) {
            r = g = b = Vd;
        } else {
            const double h = H * 6 / 255;
            const int n = int(h);
            const double f = h - n, v = Vd / 255, s = S / 255;
            const double P = (1 - s) * v * 255, Q = v * (1 - s * f) * 255,
                         U = v * (1 - s * (1 - f)) * 255, C = v * 255;
            switch (n) {
            case 0:
                r = C, g = U, b = P;
                break;
            case 1:
                r = Q, g = C, b = P;
                break;
            case 2:
                r = P, g = C, b = U;
                break;
            case 3:
                r = P, g = Q, b = C;
                break;
            case 4:
                r = U, g = P, b = C;
                break;
            case 5:
                r = C, g = P, b = Q;
                break;
            default:
                r = H, g = S, b = Vd;
                break;
            }
        }
        out[0] = RefClamp(r);
        out[1] = RefClamp(g);
        out[2] = RefClamp(b);
    }
};

void ExpectIntensityOnEveryColour(double intensity, int offset, double exponent, bool identity) {
    CMemoryBitmap source;
    source.Create(4096, 4096, 32);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x)
            source.Row<std::uint32_t>(y)[x] =
                std::uint32_t(y) << 12 | std::uint32_t(x) | 0x5A000000u;
    CMemoryBitmap result;
    CIntensityFilter(intensity, std::uint8_t(offset), exponent).Apply(source, result);
    const RefIntensity ref(intensity, offset, exponent);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x) {
            const std::uint32_t in = source.Row<std::uint32_t>(y)[x];
            const std::uint32_t out = result.Row<std::uint32_t>(y)[x];
            int rgb[3];
            ref(int((in >> 16) & 255), int((in >> 8) & 255), int(in & 255), rgb);
            const std::uint32_t expected = std::uint32_t(rgb[0]) << 16 |
                                           std::uint32_t(rgb[1]) << 8 | std::uint32_t(rgb[2]) |
                                           0x5A000000u;
            ASSERT_EQ(out, expected) << std::hex << "colour " << in;
            if (identity) {
                ASSERT_EQ(out, in) << std::hex << "the reference itself changes " << in;
            }
        }
}

TEST(Intensity, TwentyChangesNoColour) {
    ExpectIntensityOnEveryColour(20, 128, 1.0, true);
}
TEST(Intensity, EveryColourMatchesTheRoundTripBrighter) {
    ExpectIntensityOnEveryColour(255, 100, 2.5, false);
}
TEST(Intensity, EveryColourMatchesTheRoundTripDarker) {
    ExpectIntensityOnEveryColour(0, 0, 0.1, false);
}

TEST(Intensity, RandomColoursOverManyParameters) {
    std::mt19937 rng(77);
    CMemoryBitmap source;
    FillRandom(source, 64, 16, 24, 3);
    for (int round = 0; round < 200; ++round) {
        const double intensity = double(rng() % 256);
        const int offset = int(rng() % 256);
        const double exponent = double(1 + rng() % 100) * 0.1;
        CMemoryBitmap result;
        CIntensityFilter(intensity, std::uint8_t(offset), exponent).Apply(source, result);
        ASSERT_EQ(result.Depth(), 24);
        const RefIntensity ref(intensity, offset, exponent);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x) {
                const std::uint32_t in = Get(source, x, y);
                int rgb[3];
                ref(int(in >> 16), int((in >> 8) & 255), int(in & 255), rgb);
                ASSERT_EQ(Get(result, x, y), std::uint32_t(rgb[0]) << 16 |
                                                 std::uint32_t(rgb[1]) << 8 | std::uint32_t(rgb[2]))
                    << intensity << " " << offset << " " << exponent;
            }
    }
}

TEST(Invert, ComplementsColourKeepsTheFourthByteAndDropsAlpha) {
    CMemoryBitmap source;
    FillRandom(source, 31, 7, 32, 11, true);
    CDisplayBitmap result;
    CInvertFilter().Apply(source, result);
    ASSERT_EQ(result.Depth(), 32);
    EXPECT_FALSE(result.HasAlpha());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 31; ++x)
            ASSERT_EQ(Get(result, x, y), Get(source, x, y) ^ 0x00FFFFFFu);

    CMemoryBitmap paletted;
    FillRandom(paletted, 5, 5, 8, 12);
    CInvertFilter().Apply(paletted, result);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const RGBQuad c = ColourAt(paletted, x, y);
            const RGBQuad r = ColourAt(result, x, y);
            EXPECT_EQ(r.red, 255 - c.red);
            EXPECT_EQ(r.green, 255 - c.green);
            EXPECT_EQ(r.blue, 255 - c.blue);
        }
}

// Start, one report per row, end: the fractions of the point operations.
std::vector<double> RowFractions(double start, int rows) {
    std::vector<double> v{start};
    for (int i = 0; i < rows; ++i)
        v.push_back(start + (1.0 - start) * i / rows);
    v.push_back(1.0);
    return v;
}

TEST(PointProgress, ReportsStartEveryRowAndEnd) {
    CMemoryBitmap source;
    FillRandom(source, 4, 5, 32, 1);
    CProgressRecorder progress;
    auto check = [&](CImageFilter&& filter, double start) {
        progress.values.clear();
        CMemoryBitmap result;
        filter.Apply(source, result);
        const auto expected = RowFractions(start, 5);
        ASSERT_EQ(progress.values.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_DOUBLE_EQ(progress.values[i], expected[i]) << i;
    };
    check(CBrightnessFilter(5, &progress), 0.01);
    check(CContrastFilter(2.0, 100, &progress), 0.01);
    check(CIntensityFilter(40, 100, 1.0, &progress), 0.01);
    check(CGrayscaleFilter(&progress), 0.01);
    check(CInvertFilter(&progress), 0.05);
}

TEST(PointInPlace, KeepsTheBitmapObjectAndGivesTheResult) {
    CDisplayBitmap image;
    FillRandom(image, 6, 6, 32, 4);
    CMemoryBitmap expected;
    CContrastFilter(2.0, 90).Apply(image, expected);
    const CImageBitmap* identity = &image;
    CContrastFilter(2.0, 90).ApplyInPlace(image);
    EXPECT_EQ(identity, &image);
    EXPECT_TRUE(SamePixels(image, expected));
}

} // namespace
