// SPDX-License-Identifier: MIT
// TIFF writer: basic tags and one scanline at a time into memory.
#include "codecs/TIFFEncoder.h"

#include "codecs/LibraryError.h"
#include "codecs/TiffMemoryStream.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Bilevel images are min-is-black when entry 0 is darker than entry 1 in each of red, green and
// blue; otherwise min-is-white.
std::uint16_t BilevelPhotometric(const CImageBitmap& b) {
    const RGBQuad p0 = b.Palette()[0], p1 = b.Palette()[1];
    const bool darker = p0.red < p1.red && p0.green < p1.green && p0.blue < p1.blue;
    return darker ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
}

void SetTags(TIFF* tif, const CImageBitmap& b, std::array<std::vector<std::uint16_t>, 3>& map) {
    const int depth = b.Depth();
    const bool deep = depth > 8;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(b.Width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(b.Height()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(deep ? 8 : depth));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(deep ? 3 : 1));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, std::uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, std::uint16_t(COMPRESSION_NONE));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (deep) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, std::uint16_t(PHOTOMETRIC_RGB));
    } else if (depth == 1) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, BilevelPhotometric(b));
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, std::uint16_t(PHOTOMETRIC_PALETTE));
        // Colour maps hold 16-bit intensities: 255 must become 65535, or readers show the
        // image nearly black.
        const auto palette = b.PaletteSpan();
        for (auto& channel : map)
            channel.resize(palette.size());
        for (std::size_t i = 0; i < palette.size(); ++i) {
            map[0][i] = std::uint16_t(palette[i].red * 257);
            map[1][i] = std::uint16_t(palette[i].green * 257);
            map[2][i] = std::uint16_t(palette[i].blue * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
    }
}

void RowToRgb(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst, int width,
              int bytesPerPixel) {
    for (int x = 0; x < width; ++x, src += bytesPerPixel, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

[[noreturn]] void Fail(const CTiffMemoryStream& stream) {
    codec::ThrowLibraryError(stream.ErrorText().empty() ? "The TIFF file could not be written."
                                                        : stream.ErrorText());
}

} // namespace

void CTIFFEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    CTiffMemoryStream stream;
    TiffHandle tif = stream.Open("w", CImageBitmap::kMaxPixelBytes);
    if (!tif)
        Fail(stream);
    std::array<std::vector<std::uint16_t>, 3> map;
    SetTags(tif.get(), bitmap, map);

    const bool deep = bitmap.Depth() > 8;
    const std::size_t rowBytes = bitmap.PixelBytesPerLine();
    const std::size_t outRowBytes = deep ? std::size_t(bitmap.Width()) * 3 : rowBytes;
    // The pixels plus tags, strip tables and colour map.
    stream.ReserveOutput(outRowBytes * std::size_t(bitmap.Height()) + (std::size_t(64) << 10));
    // libtiff may work on the row it is given in place, so it gets a copy.
    std::vector<std::uint8_t> scratch(outRowBytes);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.Line(y);
        if (deep)
            RowToRgb(row, scratch.data(), bitmap.Width(), bitmap.Depth() / 8);
        else
            std::copy(row, row + rowBytes, scratch.begin());
        if (TIFFWriteScanline(tif.get(), scratch.data(), std::uint32_t(y), 0) < 0)
            Fail(stream);
    }
    if (!TIFFWriteDirectory(tif.get()))
        Fail(stream);
    tif.reset();
    if (stream.HasError())
        Fail(stream);
    out = std::move(stream.Output());
}
