// SPDX-License-Identifier: MIT
#include "image/ChannelMap.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"

#include <cstring>

namespace img {

CChannelMap::CChannelMap(const ByteLut& lut, float offset, float factor) noexcept
    : m_lut(lut), m_fOffset(offset), m_fFactor(factor) {
    ByteLut ramp;
    for (int v = 0; v < 256; ++v)
        ramp[std::size_t(v)] = static_cast<std::uint8_t>(v);
    ByteLut linear;
    LinearBytes(ramp.data(), linear.data(), ramp.size(), offset, factor);
    m_bLinear = linear == lut;
}

void CChannelMap::MapBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
                           std::size_t count) const noexcept {
    if (m_bLinear)
        LinearBytes(src, dst, count, m_fOffset, m_fFactor);
    else
        LutBytes(src, dst, count, m_lut);
}

void CChannelMap::Apply(const CImageBitmap& source, CImageBitmap& destination,
                        const CRowProgress& progress) const {
    const int width = source.Width();
    const int height = source.Height();
    destination.Create(width, height, source.Depth(), source.HasAlpha());
    const std::size_t rowBytes = source.PixelBytesPerLine();
    if (source.Depth() <= 8) {
        const auto from = source.PaletteSpan();
        const auto to = destination.PaletteSpan();
        for (std::size_t i = 0; i < from.size(); ++i)
            to[i] = RGBQuad{m_lut[from[i].blue], m_lut[from[i].green], m_lut[from[i].red],
                            from[i].reserved};
        for (int y = 0; y < height; ++y) {
            std::memcpy(destination.Line(y), source.Line(y), rowBytes);
            progress.Row(y);
        }
        return;
    }
    for (int y = 0; y < height; ++y) {
        MapBytes(source.Line(y), destination.Line(y), rowBytes);
        if (source.Depth() == 32)
            KeepFourthByte(source.Row<std::uint32_t>(y), destination.Row<std::uint32_t>(y), width);
        progress.Row(y);
    }
}

} // namespace img
