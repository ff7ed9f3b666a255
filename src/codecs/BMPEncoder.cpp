// SPDX-License-Identifier: MIT
// Windows bitmap writer.
#include "codecs/BMPEncoder.h"

#include "image/ImageBitmap.h"

#include <cstring>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// B, G, R of each pixel; 24-bpp sources are already packed that way.
void PackRow24(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst, int width,
               int depth) {
    if (depth == 24) {
        std::memcpy(dst, src, std::size_t(width) * 3);
        return;
    }
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

} // namespace

void CBMPEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    const int width = bitmap.Width(), height = bitmap.Height(), depth = bitmap.Depth();
    const bool deep = depth > 8;
    const int fileDepth = deep ? 24 : depth;
    const std::size_t paletteBytes = deep ? 0 : (std::size_t(1) << depth) * 4;
    const std::size_t stride = CImageBitmap::DibRowBytes(width, fileDepth);
    const std::size_t pixelOffset = 54 + paletteBytes;
    const std::size_t fileSize = pixelOffset + stride * std::size_t(height);

    out.reserve(out.size() + fileSize);
    img::AdviseLargePages(out.data() + out.size(), fileSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, std::uint32_t(fileSize));
    Put32(out, 0); // two reserved words
    Put32(out, std::uint32_t(pixelOffset));
    Put32(out, 40);
    Put32(out, std::uint32_t(width));
    Put32(out, std::uint32_t(height)); // positive: rows run bottom-up
    Put16(out, 1);
    Put16(out, std::uint32_t(fileDepth));
    for (int i = 0; i < 6; ++i)
        Put32(out, 0); // no compression, sizes, resolutions and colour counts left to readers
    if (!deep) {
        const auto palette = bitmap.PaletteSpan();
        for (const RGBQuad& q : palette) {
            out.push_back(q.blue);
            out.push_back(q.green);
            out.push_back(q.red);
            out.push_back(0); // reserved
        }
    }

    const std::size_t rowBytes = CImageBitmap::PackedRowBytes(width, fileDepth);
    out.resize(fileSize, 0); // padding bytes stay zero
    std::uint8_t* dst = out.data() + pixelOffset;
    for (int y = height - 1; y >= 0; --y, dst += stride) {
        if (deep)
            PackRow24(bitmap.Line(y), dst, width, depth);
        else
            std::memcpy(dst, bitmap.Line(y), rowBytes);
    }
}
