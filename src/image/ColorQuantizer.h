// SPDX-License-Identifier: MIT
// Median-cut colour quantiser for 32 -> 8 bpp conversion.
#pragma once

class CImageBitmap;

namespace img {

// target: an 8-bpp bitmap of the source's size. Images with at most 256 colours keep them
// exactly; others get a median-cut palette. ditherMode != 0 adds Floyd-Steinberg error
// diffusion. source is 24 or 32 bpp.
void QuantizeTo8(const CImageBitmap& source, CImageBitmap& target, int ditherMode);

} // namespace img
