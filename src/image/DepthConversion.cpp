// SPDX-License-Identifier: MIT
#include "image/DepthConversion.h"

#include "image/ColorQuantizer.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Lut = std::array<std::uint32_t, 256>;

std::uint32_t Word(RGBQuad q) noexcept {
    return std::bit_cast<std::uint32_t>(q);
}

Lut PaletteWords(const CImageBitmap& bitmap) {
    Lut lut{};
    const auto palette = bitmap.PaletteSpan();
    for (std::size_t i = 0; i < palette.size(); ++i)
        lut[i] = Word(palette[i]);
    return lut;
}

// A pixel is black in 1 bpp when blue, green and red are all below 128.
constexpr bool IsDark(std::uint32_t bgrx) noexcept {
    return (bgrx & 0x00808080u) == 0;
}

void CopySameDepth(const CImageBitmap& source, CImageBitmap& target) {
    const std::size_t rowBytes = source.PixelBytesPerLine();
    const bool sameLayout = source.BytesPerLine() == target.BytesPerLine() &&
                            source.IsBottomUp() == target.IsBottomUp();
    if (sameLayout) {
        std::memcpy(target.Bits(), source.Bits(),
                    target.BytesPerLine() * std::size_t(source.Height()));
    } else {
        for (int y = 0; y < source.Height(); ++y)
            std::memcpy(target.Line(y), source.Line(y), rowBytes);
    }
    std::copy(source.PaletteSpan().begin(), source.PaletteSpan().end(),
              target.PaletteSpan().begin());
}

// Every source byte expands to eight words; the table makes that one 32-byte copy.
struct ExpandTable {
    std::array<std::array<std::uint32_t, 8>, 256> words;
    explicit ExpandTable(const Lut& lut) noexcept {
        for (unsigned b = 0; b < 256; ++b)
            for (int k = 0; k < 8; ++k)
                words[b][std::size_t(k)] = lut[(b >> (7 - k)) & 1u];
    }
};

void Row1To32(const std::uint8_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst, int width,
              const ExpandTable& table) noexcept {
    int x = 0;
    for (; x + 8 <= width; x += 8, dst += 8)
        std::memcpy(dst, table.words[*src++].data(), 32);
    for (int k = 0; x < width; ++x, ++k)
        *dst++ = table.words[*src][std::size_t(k)];
}

void Row4To32(const std::uint8_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst, int width,
              const Lut& lut) noexcept {
    for (int x = 0; x < width; ++x) {
        const unsigned b = src[x >> 1];
        dst[x] = lut[(x & 1) ? (b & 0x0Fu) : (b >> 4)];
    }
}

void Row8To32(const std::uint8_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst, int width,
              const Lut& lut) noexcept {
    for (int x = 0; x < width; ++x)
        dst[x] = lut[src[x]];
}

void Row24To32(const std::uint8_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
               int width) noexcept {
    for (int x = 0; x < width; ++x, src += 3)
        dst[x] =
            std::uint32_t(src[0]) | (std::uint32_t(src[1]) << 8) | (std::uint32_t(src[2]) << 16);
}

void Row32To24(const std::uint32_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
               int width) noexcept {
    for (int x = 0; x < width; ++x, dst += 3) {
        const std::uint32_t p = src[x];
        dst[0] = std::uint8_t(p);
        dst[1] = std::uint8_t(p >> 8);
        dst[2] = std::uint8_t(p >> 16);
    }
}

// Packs one row of 1-bpp pixels, most significant bit first; isDark(x) decides each bit.
template <class IsDarkAt>
void PackBits(std::uint8_t* IMG_RESTRICT dst, int width, IsDarkAt isDark) noexcept {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte |= unsigned(isDark(x + k)) << (7 - k);
        *dst++ = std::uint8_t(byte);
    }
    if (x < width) {
        unsigned byte = 0;
        for (int k = 0; x < width; ++x, ++k)
            byte |= unsigned(isDark(x)) << (7 - k);
        *dst = std::uint8_t(byte);
    }
}

void ConvertTo32(const CImageBitmap& source, CImageBitmap& target) {
    const int w = source.Width();
    const Lut lut = PaletteWords(source);
    const auto expand = std::make_unique<ExpandTable>(lut);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* src = source.Line(y);
        auto* dst = target.Row<std::uint32_t>(y);
        switch (source.Depth()) {
        case 1:
            Row1To32(src, dst, w, *expand);
            break;
        case 4:
            Row4To32(src, dst, w, lut);
            break;
        case 8:
            Row8To32(src, dst, w, lut);
            break;
        default:
            Row24To32(src, dst, w);
            break;
        }
    }
}

void ConvertTo24(const CImageBitmap& source, CImageBitmap& target) {
    img::CRowReader32 rows(source);
    for (int y = 0; y < source.Height(); ++y)
        Row32To24(rows.Row(y), target.Line(y), source.Width());
}

void ConvertTo1(const CImageBitmap& source, CImageBitmap& target) {
    RGBQuad* palette = target.Palette();
    palette[0] = RGBQuad{255, 255, 255, 255};
    palette[1] = RGBQuad{0, 0, 0, 255};
    const int w = source.Width();
    if (source.Depth() == 8) {
        std::array<bool, 256> dark{};
        const auto srcPalette = source.PaletteSpan();
        for (std::size_t i = 0; i < srcPalette.size(); ++i)
            dark[i] = IsDark(Word(srcPalette[i]));
        for (int y = 0; y < source.Height(); ++y) {
            const std::uint8_t* src = source.Line(y);
            PackBits(target.Line(y), w, [&](int x) { return dark[src[x]]; });
        }
        return;
    }
    img::CRowReader32 rows(source);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint32_t* src = rows.Row(y);
        PackBits(target.Line(y), w, [&](int x) { return IsDark(src[x]); });
    }
}

void ConvertIndexedTo8(const CImageBitmap& source, CImageBitmap& target) {
    const auto srcPalette = source.PaletteSpan();
    RGBQuad* palette = target.Palette();
    for (std::size_t i = 0; i < srcPalette.size(); ++i)
        palette[i] = RGBQuad{srcPalette[i].blue, srcPalette[i].green, srcPalette[i].red, 255};
    const int w = source.Width();
    const int shift = source.Depth() == 1 ? 3 : 1;
    const int bits = source.Depth();
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* src = source.Line(y);
        std::uint8_t* dst = target.Line(y);
        for (int x = 0; x < w; ++x) {
            const int bitOffset = (8 - bits) - (x & ((1 << shift) - 1)) * bits;
            dst[x] = std::uint8_t((src[x >> shift] >> bitOffset) & mask);
        }
    }
}

} // namespace

namespace img {

struct CRowReader32::Tables {
    explicit Tables(const CImageBitmap& source) : lut(PaletteWords(source)), expand(lut) {}
    Lut lut;
    ExpandTable expand;
};

CRowReader32::CRowReader32(const CImageBitmap& source)
    : m_source(source), m_pTables(std::make_unique<Tables>(source)),
      m_row(std::size_t(source.Width())) {}

CRowReader32::~CRowReader32() = default;

const std::uint32_t* CRowReader32::Row(int y) {
    const int w = m_source.Width();
    const std::uint8_t* src = m_source.Line(y);
    switch (m_source.Depth()) {
    case 1:
        Row1To32(src, m_row.data(), w, m_pTables->expand);
        break;
    case 4:
        Row4To32(src, m_row.data(), w, m_pTables->lut);
        break;
    case 8:
        Row8To32(src, m_row.data(), w, m_pTables->lut);
        break;
    case 24:
        Row24To32(src, m_row.data(), w);
        break;
    default:
        return reinterpret_cast<const std::uint32_t*>(src);
    }
    return m_row.data();
}

void ConvertPixels(const CImageBitmap& source, CImageBitmap& target) {
    const int from = source.Depth();
    const int to = target.Depth();
    if (from == to)
        return CopySameDepth(source, target);
    switch (to) {
    case 32:
        return ConvertTo32(source, target);
    case 24:
        return ConvertTo24(source, target);
    case 1:
        return ConvertTo1(source, target);
    case 8:
        if (from < 8)
            return ConvertIndexedTo8(source, target);
        return QuantizeTo8(source, target, source.DitherMode());
    default:
        throw CTextException(6, "Unsupported bitmap depth conversion.");
    }
}

} // namespace img
