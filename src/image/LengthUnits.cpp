// SPDX-License-Identifier: MIT
// Length and resolution unit conversions.
#include "image/LengthUnits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace img {

namespace {

// A product of decimal inputs lands a hair below the whole number it stands for (254 x 0.3937...
// is 99.999...); cutting must not lose that hundredth.
constexpr double kCutAllowance = 1e-6;

double Cut(double dValue) {
    return std::trunc(dValue + (dValue >= 0 ? kCutAllowance : -kCutAllowance));
}

} // namespace

double ConvertResolution(double dValue, ResolutionUnit from, ResolutionUnit to) {
    if (from == to)
        return dValue;
    return to == ResolutionUnit::PerCentimeter ? dValue * kInchesPerCentimeter
                                               : dValue * kCentimetersPerInch;
}

double ConvertLength(double dValue, LengthUnit from, LengthUnit to, double dResolution,
                     ResolutionUnit resUnit, double dRoundUp) {
    if (from == to)
        return dValue;
    const double dPerInch = ConvertResolution(dResolution, resUnit, ResolutionUnit::PerInch);
    const double dPerCm = ConvertResolution(dResolution, resUnit, ResolutionUnit::PerCentimeter);
    auto pixelsPer = [&](LengthUnit unit) {
        return unit == LengthUnit::Pixels ? 1.0 : unit == LengthUnit::Inches ? dPerInch : dPerCm;
    };
    const double dPixels = pixelsPer(from) * dValue;
    switch (to) {
    case LengthUnit::Pixels:
        return std::trunc(dPixels + dRoundUp);
    case LengthUnit::Inches:
        return dPixels / dPerInch;
    case LengthUnit::Centimeters:
        break;
    }
    return dPixels / dPerCm;
}

double LayoutLengthShown(std::int32_t nStored, LengthUnit unit) {
    if (unit == LengthUnit::Inches)
        return Cut(nStored * kInchesPerCentimeter) / 100.0;
    return nStored / kLayoutUnitsPerCentimeter;
}

std::int32_t LayoutLengthStored(double dShown, LengthUnit unit) {
    const double dFactor =
        unit == LengthUnit::Inches ? kLayoutUnitsPerInch : kLayoutUnitsPerCentimeter;
    const double dStored = Cut(dShown * dFactor);
    if (std::isnan(dStored))
        return 0;
    constexpr double dMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(dStored, -dMax, dMax));
}

} // namespace img
