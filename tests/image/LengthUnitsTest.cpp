// SPDX-License-Identifier: MIT
// Lengths and resolutions between pixels, inches and centimetres.
#include "image/LengthUnits.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using img::ConvertLength;
using img::ConvertResolution;
using img::LengthUnit;
using img::ResolutionUnit;

constexpr auto kPx = LengthUnit::Pixels;
constexpr auto kIn = LengthUnit::Inches;
constexpr auto kCm = LengthUnit::Centimeters;
constexpr auto kPerIn = ResolutionUnit::PerInch;
constexpr auto kPerCm = ResolutionUnit::PerCentimeter;

TEST(LengthUnits, CentimetresAndInchesBecomeWholePixelsRoundedUp) {
    // 10 cm at 72 pixels per inch: 283.46 rounded up.
    EXPECT_DOUBLE_EQ(ConvertLength(10, kCm, kPx, 72, kPerIn, img::kWidthRoundUp), 284);
    EXPECT_DOUBLE_EQ(ConvertLength(2, kIn, kPx, 72, kPerIn, img::kWidthRoundUp), 144);
    EXPECT_DOUBLE_EQ(ConvertLength(144, kPx, kIn, 72, kPerIn, img::kWidthRoundUp), 2);
    EXPECT_NEAR(ConvertLength(1, kIn, kCm, 72, kPerIn, img::kHeightRoundUp), 2.54, 1e-9);
    // A resolution given per centimetre.
    EXPECT_DOUBLE_EQ(ConvertLength(3, kCm, kPx, 40, kPerCm, img::kHeightRoundUp), 120);
    // 1 in at 40 per cm is 101.6 pixels: whole pixels only, with the rounding-up allowance.
    EXPECT_DOUBLE_EQ(ConvertLength(1, kIn, kPx, 40, kPerCm, 0), 101);
    EXPECT_DOUBLE_EQ(ConvertLength(1, kIn, kPx, 40, kPerCm, img::kHeightRoundUp), 102);
    EXPECT_DOUBLE_EQ(ConvertLength(5, kPx, kPx, 40, kPerCm, 0.9), 5);
}

TEST(LengthUnits, OnlyRepresentationErrorAboveAWholePixelIsDropped) {
    // 2.54 cm at 100 per inch is 100 pixels give or take the last bit: never 101.
    EXPECT_DOUBLE_EQ(ConvertLength(2.54, kCm, kPx, 100, kPerIn, img::kWidthRoundUp), 100);
    EXPECT_DOUBLE_EQ(ConvertLength(2.54, kCm, kPx, 100, kPerIn, img::kHeightRoundUp), 100);
    // At one pixel per inch the inches are the pixels: the height forgives up to a millionth
    // over a whole pixel, the width only a billionth.
    EXPECT_DOUBLE_EQ(ConvertLength(100.0000005, kIn, kPx, 1, kPerIn, img::kHeightRoundUp), 100);
    EXPECT_DOUBLE_EQ(ConvertLength(100.000002, kIn, kPx, 1, kPerIn, img::kHeightRoundUp), 101);
    EXPECT_DOUBLE_EQ(ConvertLength(100.0000005, kIn, kPx, 1, kPerIn, img::kWidthRoundUp), 101);
    EXPECT_DOUBLE_EQ(ConvertLength(100.0000000005, kIn, kPx, 1, kPerIn, img::kWidthRoundUp), 100);
}

TEST(LengthUnits, ResolutionsAndLengthsRoundTrip) {
    EXPECT_NEAR(ConvertResolution(72, kPerIn, kPerCm), 28.346456692913385, 1e-12);
    EXPECT_NEAR(ConvertResolution(28.346456692913385, kPerCm, kPerIn), 72, 1e-12);
    for (double dRes : {72.0, 96.0, 300.0, 600.0})
        EXPECT_NEAR(ConvertResolution(ConvertResolution(dRes, kPerIn, kPerCm), kPerCm, kPerIn),
                    dRes, 1e-9);
    for (const auto resUnit : {kPerIn, kPerCm}) {
        for (double dValue : {0.5, 1.0, 7.25, 21.0, 29.7}) {
            for (const auto unit : {kIn, kCm}) {
                const auto other = unit == kIn ? kCm : kIn;
                const double dThere = ConvertLength(dValue, unit, other, 96, resUnit, 0);
                EXPECT_NEAR(ConvertLength(dThere, other, unit, 96, resUnit, 0), dValue, 1e-9);
            }
            // Whole pixels back to a length and to pixels again give the same count.
            const double dPixels = ConvertLength(dValue, kCm, kPx, 96, resUnit, 0.999999);
            const double dLength = ConvertLength(dPixels, kPx, kCm, 96, resUnit, 0);
            EXPECT_DOUBLE_EQ(ConvertLength(dLength, kCm, kPx, 96, resUnit, 0.999999), dPixels)
                << dValue;
        }
    }
}

} // namespace

TEST(LengthUnits, LayoutLengthsShowInWholeHundredthsAndStoreBack) {
    // Hundredths of a centimetre shown in centimetres and in inches.
    EXPECT_DOUBLE_EQ(img::LayoutLengthShown(120, kCm), 1.2);
    EXPECT_DOUBLE_EQ(img::LayoutLengthShown(120, kIn), 0.47);
    EXPECT_DOUBLE_EQ(img::LayoutLengthShown(2970, kIn), 11.69);
    // One inch typed stores 254 and shows as one inch again, not 0.99.
    EXPECT_EQ(img::LayoutLengthStored(1, kIn), 254);
    EXPECT_DOUBLE_EQ(img::LayoutLengthShown(254, kIn), 1.0);
    // Decimal input whose binary product falls just short of the whole number.
    EXPECT_EQ(img::LayoutLengthStored(0.29, kCm), 29);
    EXPECT_EQ(img::LayoutLengthStored(1.2, kCm), 120);
    EXPECT_EQ(img::LayoutLengthStored(0.47, kIn), 119);
    // Out of the record's range: clamped, never undefined.
    EXPECT_EQ(img::LayoutLengthStored(1e12, kCm), 0x7FFFFFFF);
    EXPECT_EQ(img::LayoutLengthStored(std::nan(""), kCm), 0);
}
