// SPDX-License-Identifier: MIT
#include "image/GrayscaleFilter.h"

#include "image/FilterSupport.h"
#include "image/PixelKernels.h"

#include <array>

void CGrayscaleFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    const int width = source.Width();
    const int height = source.Height();
    const int depth = source.Depth();
    destination.Create(width, height, 8, false);
    const img::CRowProgress progress(ProgressSink(), 0.01, 0.99, height);

    std::array<std::uint8_t, 256> greyOfIndex{};
    const auto palette = source.PaletteSpan();
    for (std::size_t i = 0; i < palette.size(); ++i)
        greyOfIndex[i] = img::GreyOf(palette[i].red, palette[i].green, palette[i].blue);

    for (int y = 0; y < height; ++y) {
        std::uint8_t* dst = destination.Line(y);
        if (depth == 32) {
            img::GreyRow32(source.Row<std::uint32_t>(y), dst, width);
        } else if (depth == 24) {
            img::GreyRow24(source.Line(y), dst, width);
        } else if (depth == 8) {
            const std::uint8_t* src = source.Line(y);
            for (int x = 0; x < width; ++x)
                dst[x] = greyOfIndex[src[x]];
        } else {
            for (int x = 0; x < width; ++x)
                dst[x] = greyOfIndex[img::GetPackedIndex(source.Line(y), x, depth)];
        }
        progress.Row(y);
    }
    ReportProgress(1.0);
}
