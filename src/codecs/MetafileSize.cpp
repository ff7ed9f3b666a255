// SPDX-License-Identifier: MIT
// Metafile headers and output size, shared by both renderers.
#include "codecs/MetafileRender.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t U32LE(std::span<const std::uint8_t> d, std::size_t at) {
    return std::uint32_t(d[at]) | (std::uint32_t(d[at + 1]) << 8) |
           (std::uint32_t(d[at + 2]) << 16) | (std::uint32_t(d[at + 3]) << 24);
}

} // namespace

namespace codec {

void MetafileOutputSize(double widthInches, double heightInches, int& width, int& height) {
    double w = std::isfinite(widthInches) ? std::fabs(widthInches) * kMetafileDpi : 1.0;
    double h = std::isfinite(heightInches) ? std::fabs(heightInches) * kMetafileDpi : 1.0;
    const double longer = std::max(w, h);
    if (longer > kMaxMetafileSide) {
        w *= kMaxMetafileSide / longer;
        h *= kMaxMetafileSide / longer;
    }
    width = std::clamp(int(std::lround(w)), 1, kMaxMetafileSide);
    height = std::clamp(int(std::lround(h)), 1, kMaxMetafileSide);
}

bool LooksLikeWmf(std::span<const std::uint8_t> d) {
    if (d.size() >= 22 && U32LE(d, 0) == 0x9AC6CDD7u)
        return true; // placeable header
    // Standard header: type 1 (memory) or 2 (disk), header size 9 words, version 0x100/0x300.
    return d.size() >= 18 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0 &&
           (d[5] == 1 || d[5] == 3) && d[4] == 0;
}

bool LooksLikeEmf(std::span<const std::uint8_t> d) {
    // EMR_HEADER record with the " EMF" signature.
    return d.size() >= 88 && U32LE(d, 0) == 1 && U32LE(d, 40) == 0x464D4520u && U32LE(d, 4) >= 88 &&
           U32LE(d, 4) <= d.size();
}

} // namespace codec
