// SPDX-License-Identifier: MIT
// Image lengths in pixels, inches or centimetres and resolutions per inch or per centimetre, as
// the size dialogs and the print layout show them.
#pragma once

#include <cstdint>

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

// The print layout keeps its lengths in hundredths of a centimetre (tenths of a millimetre) and
// shows them in centimetres or in inches, both in whole hundredths.
inline constexpr double kLayoutUnitsPerInch = 254.0;
inline constexpr double kLayoutUnitsPerCentimeter = 100.0;

// A stored layout length as the layout dialog shows it in unit (Inches or Centimeters): inches
// are cut to whole hundredths, so 120 (1.2 cm) shows as 0.47 in.
double LayoutLengthShown(std::int32_t nStored, LengthUnit unit);
// A shown length stored again, cut to whole hundredths of a centimetre (1 in is 254). A value
// typed as 0.29 cm stores 29, not the 28 its binary product 28.999... would cut to. Values
// beyond what the record holds are clamped to its range.
std::int32_t LayoutLengthStored(double dShown, LengthUnit unit);

} // namespace img
