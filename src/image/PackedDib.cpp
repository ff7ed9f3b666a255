// SPDX-License-Identifier: MIT
// Reading packed DIBs (clipboard blocks): the header is checked against the block before any
// byte of palette or pixels is read.
#include "image/ImageBitmap.h"
#include "image/TextException.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

[[noreturn]] void ThrowShort() {
    throw CTextException(img::err::kOutOfMemory, img::err::kOutOfMemoryCreatingBitmap);
}

std::uint32_t ReadU32(const std::uint8_t* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Channel extraction for bit-field pixels: value & mask, shifted down and scaled to 0..255.
struct FieldReader {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit FieldReader(std::uint32_t m) : mask(m) {
        if (!m)
            return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    std::uint8_t operator()(std::uint32_t pixel) const noexcept {
        if (!max)
            return 0;
        return std::uint8_t((std::uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

struct DibLayout {
    BitmapInfoHeader header;
    int width = 0, height = 0, depth = 0;
    bool topDown = false;
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t paletteOffset = 0, paletteCount = 0, bitsOffset = 0, stride = 0;
};

DibLayout ParseLayout(std::span<const std::uint8_t> dib) {
    DibLayout l;
    if (dib.size() < sizeof(BitmapInfoHeader))
        ThrowShort();
    std::memcpy(&l.header, dib.data(), sizeof l.header);
    const BitmapInfoHeader& h = l.header;
    const bool bitfields =
        h.biCompression == kBiBitfields && (h.biBitCount == 16 || h.biBitCount == 32);
    if (h.biSize < 40 || h.biSize > dib.size() || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN || (h.biCompression != kBiRgb && !bitfields))
        ThrowShort();
    l.width = h.biWidth;
    l.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    l.topDown = h.biHeight < 0;
    l.depth = h.biBitCount;
    if (l.depth != 1 && l.depth != 4 && l.depth != 8 && l.depth != 16 && l.depth != 24 &&
        l.depth != 32)
        ThrowShort();
    std::size_t offset = h.biSize;
    if (bitfields) {
        // Version 1 headers put the masks after the header; later ones inside it.
        const std::size_t at = h.biSize == 40 ? offset : 40;
        if (at + 12 > dib.size())
            ThrowShort();
        for (int k = 0; k < 3; ++k)
            l.masks[k] = ReadU32(dib.data() + at + std::size_t(k) * 4);
        if (h.biSize == 40)
            offset += 12;
    } else if (l.depth == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    } else if (l.depth == 32) {
        l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;
    }
    const std::size_t maxEntries = l.depth <= 8 ? std::size_t(1) << l.depth : 0;
    l.paletteCount = h.biClrUsed
                         ? std::min<std::size_t>(h.biClrUsed, std::max<std::size_t>(maxEntries, 1))
                         : maxEntries;
    l.paletteOffset = offset;
    // Colour tables of true-colour DIBs are optimisation hints only: skip them.
    const std::size_t tableEntries =
        l.depth <= 8 ? l.paletteCount : std::min<std::size_t>(h.biClrUsed, 256);
    l.bitsOffset = offset + tableEntries * 4;
    l.stride = CImageBitmap::DibRowBytes(l.width, l.depth);
    CImageBitmap::CheckSize(l.width, l.height, l.depth == 16 ? 32 : l.depth, l.stride);
    if (l.bitsOffset > dib.size() || (dib.size() - l.bitsOffset) / l.stride < std::size_t(l.height))
        ThrowShort();
    return l;
}

void CopyMaskedRows(const DibLayout& l, const std::uint8_t* bits, CImageBitmap& target) {
    const FieldReader red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    const bool masksAreBgrx =
        l.depth == 32 && l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 && l.masks[2] == 0xFF;
    for (int y = 0; y < l.height; ++y) {
        const std::uint8_t* src = bits + std::size_t(l.topDown ? y : l.height - 1 - y) * l.stride;
        auto* dst = target.Row<RGBQuad>(y);
        if (masksAreBgrx) {
            std::memcpy(dst, src, std::size_t(l.width) * 4);
            continue;
        }
        for (int x = 0; x < l.width; ++x) {
            std::uint32_t v = 0;
            if (l.depth == 16)
                v = std::uint32_t(src[2 * x]) | (std::uint32_t(src[2 * x + 1]) << 8);
            else
                v = ReadU32(src + 4 * std::size_t(x));
            dst[x] = RGBQuad{blue(v), green(v), red(v), 0};
        }
    }
}

} // namespace

void CImageBitmap::CreateFromPackedDib(std::span<const std::uint8_t> dib,
                                       std::span<const RGBQuad> replacementPalette) {
    const DibLayout l = ParseLayout(dib);
    const std::uint8_t* bits = dib.data() + l.bitsOffset;
    if (l.depth == 16 || l.depth == 32) {
        Create(l.width, l.height, 32);
        CopyMaskedRows(l, bits, *this);
        return;
    }
    Create(l.width, l.height, l.depth);
    const std::size_t rowBytes = PixelBytesPerLine();
    for (int y = 0; y < l.height; ++y)
        std::memcpy(Line(y), bits + std::size_t(l.topDown ? y : l.height - 1 - y) * l.stride,
                    rowBytes);
    if (l.depth > 8)
        return;
    std::memcpy(m_pPalette, dib.data() + l.paletteOffset, l.paletteCount * sizeof(RGBQuad));
    const std::size_t n =
        std::min<std::size_t>(replacementPalette.size(), std::size_t(PaletteSize()));
    for (std::size_t i = 0; i < n; ++i)
        m_pPalette[i] = RGBQuad{replacementPalette[i].blue, replacementPalette[i].green,
                                replacementPalette[i].red, 0};
}
