// SPDX-License-Identifier: MIT
// TIFF reader: libtiff from memory; low-colour images keep their palette, others come through
// the RGBA interface.
#include "codecs/TIFFDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/IndexedOutput.h"
#include "codecs/LibraryError.h"
#include "codecs/PixelRows.h"
#include "codecs/TiffMemoryStream.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"

#include <algorithm>
#include <vector>

namespace {

struct TiffShape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t photometric = 0;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t extraSamples = 0;
    std::uint16_t firstExtraType = EXTRASAMPLE_UNSPECIFIED;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    bool tiled = false;
};

TiffShape ReadShape(TIFF* tif, CTiffMemoryStream& stream) {
    TiffShape s;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &s.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &s.height))
        codec::ThrowLibraryError(stream.ErrorText().empty() ? "TIFF image without width or length."
                                                            : stream.ErrorText());
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &s.photometric))
        s.photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &s.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &s.samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &s.planar);
    std::uint16_t* types = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &s.extraSamples, &types);
    if (s.extraSamples > 0 && types)
        s.firstExtraType = types[0];
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &s.orientation);
    s.tiled = TIFFIsTiled(tif) != 0;
    return s;
}

bool IsLoColor(const TiffShape& s) {
    const bool layoutOk = !s.tiled && s.samplesPerPixel == 1 && s.planar == PLANARCONFIG_CONTIG;
    const int b = s.bitsPerSample;
    const bool palette =
        s.photometric == PHOTOMETRIC_PALETTE && (b == 1 || b == 2 || b == 4 || b == 8);
    const bool bilevel =
        (s.photometric == PHOTOMETRIC_MINISWHITE || s.photometric == PHOTOMETRIC_MINISBLACK) &&
        b == 1;
    return layoutOk && (palette || bilevel);
}

// 8-bit RGBA or grey-alpha strips with straight alpha, upright. The library's RGBA reading
// would premultiply them, losing most of the colour of nearly transparent pixels.
bool IsStraightAlpha(const TiffShape& s) {
    const bool layoutOk = !s.tiled && s.planar == PLANARCONFIG_CONTIG && s.bitsPerSample == 8 &&
                          s.orientation == ORIENTATION_TOPLEFT && s.extraSamples == 1 &&
                          s.firstExtraType == EXTRASAMPLE_UNASSALPHA;
    return layoutOk && ((s.photometric == PHOTOMETRIC_RGB && s.samplesPerPixel == 4) ||
                        (s.photometric == PHOTOMETRIC_MINISBLACK && s.samplesPerPixel == 2));
}

void StraightRowToBgra(const std::uint8_t* IMG_RESTRICT in, RGBQuad* IMG_RESTRICT out, int width,
                       bool grey) noexcept {
    if (grey) {
        for (int x = 0; x < width; ++x, in += 2)
            out[x] = RGBQuad{in[0], in[0], in[0], in[1]};
        return;
    }
    for (int x = 0; x < width; ++x, in += 4)
        out[x] = RGBQuad{in[2], in[1], in[0], in[3]};
}

// Colour maps are 16-bit, but some writers store 8-bit values unscaled; a map with nothing
// above 255 is taken as such.
void InstallColorMap(TIFF* tif, CTiffMemoryStream& stream, int bits, CImageBitmap& target) {
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b)
        codec::ThrowLibraryError(stream.ErrorText().empty() ? "Palette image without a colour map."
                                                            : stream.ErrorText());
    const int count = 1 << bits;
    const bool eightBit =
        std::max({*std::max_element(r, r + count), *std::max_element(g, g + count),
                  *std::max_element(b, b + count)}) < 256;
    auto scale = [eightBit](std::uint16_t v) {
        return std::uint8_t(eightBit ? v : (v + 128u) / 257u);
    };
    RGBQuad* out = target.Palette();
    std::fill(out, out + 256, RGBQuad{0, 0, 0, 255});
    for (int i = 0; i < count; ++i)
        out[i] = RGBQuad{scale(b[i]), scale(g[i]), scale(r[i]), 255};
}

// libtiff's RGBA pixels are R, G, B, A in memory with colour premultiplied by alpha; ours are
// B, G, R, A with straight alpha.
void RgbaRowToBgra(RGBQuad* row, int width, bool alpha) noexcept {
    for (int x = 0; x < width; ++x) {
        RGBQuad p = row[x];
        std::swap(p.red, p.blue);
        if (alpha && p.reserved != 0 && p.reserved != 255) {
            const unsigned a = p.reserved, half = a / 2;
            p.red = std::uint8_t(std::min(255u, (p.red * 255u + half) / a));
            p.green = std::uint8_t(std::min(255u, (p.green * 255u + half) / a));
            p.blue = std::uint8_t(std::min(255u, (p.blue * 255u + half) / a));
        }
        row[x] = p;
    }
}

} // namespace

void CTIFFDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    CTiffMemoryStream stream(source.All().subspan(source.Position()));
    TiffHandle tif = stream.Open("r", PixelByteLimit());
    if (!tif)
        codec::ThrowLibraryError(stream.ErrorText());
    const TiffShape shape = ReadShape(tif.get(), stream);
    const bool lo = IsLoColor(shape);
    codec::CheckImageSize(shape.width, shape.height, lo && depth != 32 ? 8 : 32, PixelByteLimit());
    if (lo)
        DoLoColor(tif.get(), stream, bitmap, depth);
    else if (IsStraightAlpha(shape))
        DoStraightAlpha(tif.get(), stream, bitmap);
    else
        DoRgba(tif.get(), stream, bitmap);
    if (CProgressSink* sink = source.ProgressSink())
        sink->SetProgress(1.0);
}

void CTIFFDecoder::DoLoColor(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap,
                             int depth) {
    const TiffShape s = ReadShape(tif, stream);
    const int w = int(s.width), h = int(s.height), bits = s.bitsPerSample;
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes < tmsize_t((std::size_t(w) * std::size_t(bits) + 7) / 8))
        codec::ThrowLibraryError(stream.ErrorText().empty() ? "Bad TIFF scanline size."
                                                            : stream.ErrorText());
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));

    CIndexedOutput output(bitmap, depth);
    CImageBitmap& target = output.Create(w, h, false);
    if (s.photometric == PHOTOMETRIC_PALETTE) {
        InstallColorMap(tif, stream, bits, target);
    } else {
        const bool minIsWhite = s.photometric == PHOTOMETRIC_MINISWHITE;
        target.Palette()[0] = minIsWhite ? RGBQuad{255, 255, 255, 255} : RGBQuad{0, 0, 0, 255};
        target.Palette()[1] = minIsWhite ? RGBQuad{0, 0, 0, 255} : RGBQuad{255, 255, 255, 255};
    }
    for (int y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, line.data(), std::uint32_t(y), 0) < 0)
            codec::ThrowLibraryError(stream.ErrorText());
        codec::UnpackIndexes(line.data(), bits, w, target.Line(y));
    }
    output.Finish();
}

void CTIFFDecoder::DoStraightAlpha(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap) {
    const TiffShape s = ReadShape(tif, stream);
    const int w = int(s.width), h = int(s.height);
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes < tmsize_t(std::size_t(w) * s.samplesPerPixel))
        codec::ThrowLibraryError(stream.ErrorText().empty() ? "Bad TIFF scanline size."
                                                            : stream.ErrorText());
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    bitmap.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, line.data(), std::uint32_t(y), 0) < 0)
            codec::ThrowLibraryError(stream.ErrorText());
        StraightRowToBgra(line.data(), bitmap.Row<RGBQuad>(y), w, s.samplesPerPixel == 2);
    }
}

void CTIFFDecoder::DoRgba(TIFF* tif, CTiffMemoryStream& stream, CImageBitmap& bitmap) {
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        codec::ThrowLibraryError(message);
    const TiffShape s = ReadShape(tif, stream);
    const int w = int(s.width), h = int(s.height);
    const bool alpha = s.extraSamples > 0;
    bitmap.Create(w, h, 32, alpha);
    // 32-bpp rows are unpadded, so the pixels are one block the library can fill in the
    // bitmap's own row order.
    const int orientation = bitmap.IsBottomUp() ? ORIENTATION_BOTLEFT : ORIENTATION_TOPLEFT;
    if (!TIFFReadRGBAImageOriented(tif, s.width, s.height,
                                   reinterpret_cast<std::uint32_t*>(bitmap.Bits()), orientation, 1))
        codec::ThrowLibraryError(stream.ErrorText().empty() ? "The TIFF image could not be read."
                                                            : stream.ErrorText());
    for (int y = 0; y < h; ++y)
        RgbaRowToBgra(bitmap.Row<RGBQuad>(y), w, alpha);
}
