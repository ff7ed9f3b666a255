// SPDX-License-Identifier: MIT
// Image lengths in pixels, inches or centimetres and resolutions per inch or per centimetre, as
// the size dialogs and the print layout show them.
#pragma once

namespace img {

// In the order the dialogs list them.
enum class LengthUnit { Pixels = 0, Inches = 1, Centimeters = 2 };
enum class ResolutionUnit { PerInch = 0, PerCentimeter = 1 };

inline constexpr double kCentimetersPerInch = 2.54;
inline constexpr double kInchesPerCentimeter = 0.39370078740157477;

// Allowances for representation error when a length becomes whole pixels (trunc(x + allowance)):
// a value a hair above a whole number still rounds up. Widths allow a little less than heights.
inline constexpr double kWidthRoundUp = 0.999999999;
inline constexpr double kHeightRoundUp = 0.999999;

// A resolution in the other unit (72 per inch is 28.35 per centimetre).
double ConvertResolution(double dValue, ResolutionUnit from, ResolutionUnit to);

// dValue in `from` units as `to` units, at dResolution pixels per resUnit. A result in pixels is
// whole: trunc(pixels + dRoundUp), so a dRoundUp just under 1 rounds up and 0 rounds down.
// dResolution must be greater than 0 unless both units are pixels or from == to.
double ConvertLength(double dValue, LengthUnit from, LengthUnit to, double dResolution,
                     ResolutionUnit resUnit, double dRoundUp);

} // namespace img
