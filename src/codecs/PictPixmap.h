// SPDX-License-Identifier: MIT
// The bitmap opcodes of Mac PICT pictures: reading one BitsRect, BitsRgn, PackBitsRect,
// PackBitsRgn, DirectBitsRect or DirectBitsRgn record into memory.
#pragma once

#include "image/Pixel.h"

#include <array>
#include <cstdint>
#include <vector>

class CDataSource;

namespace codec::pict {

struct Rect {
    int top = 0, left = 0, bottom = 0, right = 0;
    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

Rect ReadRect(CDataSource& source);

// One decoded bitmap record: either 8-bit palette indexes or 32-bit pixels over its bounds, and
// the part (source rectangle) it draws into the destination rectangle of the picture.
struct Pixmap {
    Rect bounds, source, destination;
    int bitsPerPixel = 1; // as stored: 1, 2, 4, 8, 16 or 32
    bool indexed = true;  // pixels are indexes into palette
    std::array<RGBQuad, 256> palette{};
    std::vector<std::uint8_t> indexes; // width x height when indexed
    std::vector<RGBQuad> colors;       // width x height otherwise
};

// Opcodes 0x90, 0x91, 0x98, 0x99, 0x9A and 0x9B, from just after the opcode. Throws
// CTextException 7 for damaged records, 10 for sizes past pixelByteLimit, 11 at the end of data.
Pixmap ReadBitsRecord(CDataSource& source, int opcode, std::size_t pixelByteLimit);

// Opcodes 0x12, 0x13 and 0x14: a pattern, read only to be skipped.
void SkipPixPat(CDataSource& source);

// A region or polygon: a 16-bit size that counts itself, then the rest.
void SkipSizedRecord(CDataSource& source);

} // namespace codec::pict
