// SPDX-License-Identifier: MIT
// PNG writer: the bitmap's rows go to libpng as they are, with the library stripping the
// filler byte and swapping B and R.
#include "codecs/PNGEncoder.h"

#include "codecs/LibraryError.h"
#include "codecs/PngBands.h"
#include "codecs/PngLibraryError.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <thread>

#include <png.h>

namespace {

struct PngWriteState {
    codec::PngError error;
    std::vector<std::uint8_t>* out;
    CPictureEncoder* encoder;
};

void OnWrite(png_structp png, png_bytep data, png_size_t count) {
    auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
    if (!state->encoder->Append(*state->out, data, count))
        png_error(png, "Error writting file");
}

void OnFlush(png_structp) {}

struct PngLayout {
    int width;
    int height;
    int bitDepth;
    int colorType;
    bool stripFiller;
    bool bgr;
    bool alpha;
    int paletteSize;
    png_color palette[256];
    png_byte trans[256];
    int transCount;
};

// A 1-bpp image is grey only when its palette is black then white; any other pair of colours
// needs the palette, or the picture would come out with the wrong colours.
bool IsBlackWhite(const CImageBitmap& b) {
    const RGBQuad* p = b.Palette();
    return p[0] == RGBQuad{0, 0, 0, p[0].reserved} && p[1] == RGBQuad{255, 255, 255, p[1].reserved};
}

PngLayout ChooseLayout(const CImageBitmap& b) {
    PngLayout l{};
    l.width = b.Width();
    l.height = b.Height();
    const int depth = b.Depth();
    if (depth > 8) {
        l.bitDepth = 8;
        l.alpha = depth == 32 && b.HasAlpha();
        l.colorType = l.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        l.stripFiller = depth == 32 && !l.alpha;
        l.bgr = true;
        return l;
    }
    l.bitDepth = depth;
    l.colorType = depth == 1 && IsBlackWhite(b) ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE;
    if (l.colorType == PNG_COLOR_TYPE_PALETTE) {
        l.paletteSize = b.PaletteSize();
        for (int i = 0; i < l.paletteSize; ++i) {
            const RGBQuad q = b.Palette()[i];
            l.palette[i] = png_color{q.red, q.green, q.blue};
            l.trans[i] = q.reserved;
            if (b.HasAlpha() && q.reserved != 255)
                l.transCount = i + 1; // tRNS may stop after the last transparent entry
        }
    }
    return l;
}

void WriteHeader(png_structp png, png_infop info, const PngLayout& l) {
    png_set_IHDR(png, info, png_uint_32(l.width), png_uint_32(l.height), l.bitDepth, l.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (l.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, l.palette, l.paletteSize);
        if (l.transCount > 0)
            png_set_tRNS(png, info, l.trans, l.transCount, nullptr);
    }
    png_color_8 bits{};
    const png_byte channel = png_byte(l.colorType == PNG_COLOR_TYPE_PALETTE ? 8 : l.bitDepth);
    bits.red = bits.green = bits.blue = channel;
    bits.gray = png_byte(l.bitDepth);
    bits.alpha = l.alpha ? 8 : 0;
    png_set_sBIT(png, info, &bits);
    png_write_info(png, info);
    if (l.stripFiller)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    if (l.bgr)
        png_set_bgr(png);
}

enum class Step { Header, WriteRow, Finish };

// The only place a library error lands: trivially destructible locals, nothing throws.
bool RunStep(png_structp png, png_infop info, PngWriteState& state, Step step,
             const PngLayout* layout, const std::uint8_t* row) noexcept {
    if (setjmp(state.error.jump))
        return false;
    switch (step) {
    case Step::Header:
        WriteHeader(png, info, *layout);
        break;
    case Step::WriteRow:
        png_write_row(png, row);
        break;
    case Step::Finish:
        png_write_end(png, nullptr);
        break;
    }
    return true;
}

struct PngWriter {
    PngWriteState state{};
    png_structp png = nullptr;
    png_infop info = nullptr;

    PngWriter(std::vector<std::uint8_t>& out, CPictureEncoder& encoder) {
        state.out = &out;
        state.encoder = &encoder;
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state.error, codec::OnPngError,
                                      codec::OnPngWarning);
        if (png)
            info = png_create_info_struct(png);
        if (!png || !info)
            throw CTextException(img::err::kOutOfMemory, "Out of memory while encoding.");
        png_set_write_fn(png, &state, OnWrite, OnFlush);
    }
    ~PngWriter() { png_destroy_write_struct(&png, info ? &info : nullptr); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    void Run(Step step, const PngLayout* layout = nullptr, const std::uint8_t* row = nullptr) {
        if (!RunStep(png, info, state, step, layout, row))
            codec::ThrowLibraryError(state.error.text);
    }
};

} // namespace

void CPNGEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    const unsigned threads =
        m_threads != 0 ? m_threads : std::max(1u, std::thread::hardware_concurrency());
    if (codec::CanWritePngInBands(bitmap, threads)) {
        codec::WritePngInBands(bitmap, threads, [&](const std::uint8_t* data, std::size_t size) {
            return Append(out, data, size);
        });
        return;
    }
    const PngLayout layout = ChooseLayout(bitmap);
    PngWriter w(out, *this);
    w.Run(Step::Header, &layout);
    for (int y = 0; y < bitmap.Height(); ++y)
        w.Run(Step::WriteRow, nullptr, bitmap.Line(y));
    w.Run(Step::Finish);
}
