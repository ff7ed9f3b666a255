// SPDX-License-Identifier: MIT
// Windows bitmap writer.
#include "codecs/BMPEncoder.h"

#include "image/Avx2Kernels.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>

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
#if defined(IMG_HAVE_AVX2_KERNELS)
    if (img::avx2::Available()) {
        img::avx2::BgraToBgr(src, std::size_t(width), dst);
        return;
    }
#endif
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

} // namespace

namespace {

struct BmpLayout {
    int fileDepth = 24;
    std::size_t paletteBytes = 0;
    std::size_t stride = 0; // bytes per stored row, padded to 4
    std::size_t pixelOffset = 0;
    std::size_t fileSize = 0;
};

BmpLayout LayoutOf(const CImageBitmap& bitmap) {
    BmpLayout layout;
    const int depth = bitmap.Depth();
    layout.fileDepth = depth > 8 ? 24 : depth;
    layout.paletteBytes = depth > 8 ? 0 : (std::size_t(1) << depth) * 4;
    layout.stride = CImageBitmap::DibRowBytes(bitmap.Width(), layout.fileDepth);
    layout.pixelOffset = 54 + layout.paletteBytes;
    layout.fileSize = layout.pixelOffset + layout.stride * std::size_t(bitmap.Height());
    return layout;
}

std::vector<std::uint8_t> Headers(const CImageBitmap& bitmap, const BmpLayout& layout) {
    std::vector<std::uint8_t> out;
    out.reserve(layout.pixelOffset);
    out.push_back('B');
    out.push_back('M');
    Put32(out, std::uint32_t(layout.fileSize));
    Put32(out, 0); // two reserved words
    Put32(out, std::uint32_t(layout.pixelOffset));
    Put32(out, 40);
    Put32(out, std::uint32_t(bitmap.Width()));
    Put32(out, std::uint32_t(bitmap.Height())); // positive: rows run bottom-up
    Put16(out, 1);
    Put16(out, std::uint32_t(layout.fileDepth));
    for (int i = 0; i < 6; ++i)
        Put32(out, 0); // no compression, sizes, resolutions and colour counts left to readers
    for (const RGBQuad& q : bitmap.PaletteSpan()) {
        out.push_back(q.blue);
        out.push_back(q.green);
        out.push_back(q.red);
        out.push_back(0); // reserved
    }
    return out;
}

// Rows are packed into a block that stays in the cache and handed on a block at a time: a few
// large writes, and no file-sized buffer of fresh memory. The block is left uncleared (only row
// padding must be zero), so that its pages are touched once.
constexpr std::size_t kStreamBlock = std::size_t(256) << 10;

} // namespace

void CBMPEncoder::Stream(const CImageBitmap& bitmap, const ByteSink& put) {
    const BmpLayout layout = LayoutOf(bitmap);
    put(Headers(bitmap, layout));
    const int width = bitmap.Width(), depth = bitmap.Depth();
    const std::size_t rowBytes = CImageBitmap::PackedRowBytes(width, layout.fileDepth);
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kStreamBlock / layout.stride);
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(rowsPerBlock * layout.stride);
    for (int y = bitmap.Height() - 1; y >= 0;) {
        std::uint8_t* dst = block.get();
        for (std::size_t n = 0; n < rowsPerBlock && y >= 0; ++n, --y, dst += layout.stride) {
            if (depth > 8)
                PackRow24(bitmap.Line(y), dst, width, depth);
            else
                std::memcpy(dst, bitmap.Line(y), rowBytes);
            std::memset(dst + rowBytes, 0, layout.stride - rowBytes);
        }
        put({block.get(), std::size_t(dst - block.get())});
    }
}

void CBMPEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    out.reserve(out.size() + LayoutOf(bitmap).fileSize);
    Stream(bitmap, [&out](std::span<const std::uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    });
}
