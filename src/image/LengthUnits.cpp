// SPDX-License-Identifier: MIT
// Length and resolution unit conversions.
#include "image/LengthUnits.h"

#include <cmath>

namespace img {

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

} // namespace img
