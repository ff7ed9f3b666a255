// SPDX-License-Identifier: MIT
// PNG reader: libpng from memory through a read callback; transforms chosen so that rows come
// out as palette indexes or B, G, R, A.
#include "codecs/PNGDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/IndexedOutput.h"
#include "codecs/LibraryError.h"
#include "codecs/PngLibraryError.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include <png.h>

namespace {

struct PngReadState {
    codec::PngError error;
    bool truncated;
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void OnRead(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (count > state->size - state->position) {
        state->truncated = true;
        png_error(png, "Read past the end of the data.");
    }
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
}

// The shape of the rows after the transforms.
enum class Layout { Indexed, Bgra };

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int colorType;
    int bitDepth;
    int passes;
    bool hasTrns;
    Layout layout;
    bool alpha; // 32 bpp: the fourth byte is alpha; indexed: the palette carries transparency
};

// Transforms for every colour type: 16-bit samples rounded to 8, small samples unpacked to one
// byte each, colour in B, G, R order with a fourth byte.
void ChooseTransforms(png_structp png, png_infop info, PngHeader& h) {
    png_set_scale_16(png);
    const bool grey = (h.colorType & PNG_COLOR_MASK_COLOR) == 0;
    const bool palette = h.colorType == PNG_COLOR_TYPE_PALETTE;
    // A transparent grey value at 16 bits may share its 8-bit value with opaque pixels, so
    // only narrower grey keeps one palette entry for it.
    const bool indexed = palette || (grey && !(h.colorType & PNG_COLOR_MASK_ALPHA) &&
                                     !(h.hasTrns && h.bitDepth == 16));
    h.layout = indexed ? Layout::Indexed : Layout::Bgra;
    if (indexed) {
        h.alpha = h.hasTrns;
        if (palette)
            png_set_packing(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
    } else {
        h.alpha = h.hasTrns || (h.colorType & PNG_COLOR_MASK_ALPHA);
        if (h.hasTrns)
            png_set_tRNS_to_alpha(png);
        if (grey)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
        if (!h.alpha)
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    h.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

enum class Step { ReadInfo, ReadRow, Finish };

// The only place a library error lands: trivially destructible locals, nothing throws.
bool RunStep(png_structp png, png_infop info, PngReadState& state, Step step, PngHeader& h,
             std::uint8_t* row) noexcept {
    if (setjmp(state.error.jump))
        return false;
    switch (step) {
    case Step::ReadInfo:
        png_read_info(png, info);
        png_get_IHDR(png, info, &h.width, &h.height, &h.bitDepth, &h.colorType, nullptr, nullptr,
                     nullptr);
        h.hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        ChooseTransforms(png, info, h);
        break;
    case Step::ReadRow:
        png_read_row(png, row, nullptr);
        break;
    case Step::Finish:
        png_read_end(png, nullptr);
        break;
    }
    return true;
}

struct PngReader {
    PngReadState state{};
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngHeader header{};

    PngReader() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.error, codec::OnPngError,
                                     codec::OnPngWarning);
        if (png)
            info = png_create_info_struct(png);
        if (!png || !info)
            throw CTextException(img::err::kOutOfMemory, img::err::kOutOfMemoryCreatingBitmap);
    }
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    void Run(Step step, std::uint8_t* row = nullptr) {
        if (RunStep(png, info, state, step, header, row))
            return;
        if (state.truncated)
            throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
        codec::ThrowLibraryError(state.error.text);
    }
};

void InstallPalette(png_structp png, png_infop info, const PngHeader& h, CImageBitmap& target) {
    RGBQuad* out = target.Palette();
    if (h.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp colors = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &colors, &count);
        // Indexes past the file's palette show black rather than reading outside it.
        std::fill(out, out + 256, RGBQuad{0, 0, 0, 255});
        for (int i = 0; i < std::min(count, 256); ++i)
            out[i] = RGBQuad{colors[i].blue, colors[i].green, colors[i].red, 255};
    }
    if (!h.hasTrns)
        return;
    png_bytep alpha = nullptr;
    int count = 0;
    png_color_16p grey = nullptr;
    png_get_tRNS(png, info, &alpha, &count, &grey);
    if (h.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; alpha && i < std::min(count, 256); ++i)
            out[i].reserved = alpha[i];
    } else if (grey) {
        const int maxValue = (1 << h.bitDepth) - 1;
        if (grey->gray <= maxValue)
            out[grey->gray * 255 / maxValue].reserved = 0;
    }
}

void Report(CProgressSink* sink, int row, int height) {
    if (sink && (row & 15) == 0)
        sink->SetProgress(double(row) / double(height));
}

} // namespace

void CPNGDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    PngReader r;
    const auto input = source.All().subspan(source.Position());
    r.state.data = input.data();
    r.state.size = input.size();
    png_set_read_fn(r.png, &r.state, OnRead);
    png_set_user_limits(r.png, png_uint_32(CImageBitmap::kMaxSide),
                        png_uint_32(CImageBitmap::kMaxSide));
    // Text, colour profiles and the like are never used; skipping them keeps a compressed
    // chunk from inflating to gigabytes, and other chunks are bounded too.
    static constexpr png_byte kIgnored[] =
        "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0tIME\0pCAL\0sCAL\0hIST\0";
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, kIgnored, int(sizeof kIgnored / 5));
    png_set_chunk_malloc_max(r.png, 8 << 20);
    r.Run(Step::ReadInfo);

    const PngHeader& h = r.header;
    const bool indexed = h.layout == Layout::Indexed;
    codec::CheckImageSize(h.width, h.height, indexed && depth != 32 ? 8 : 32, PixelByteLimit());
    const int w = int(h.width), ht = int(h.height);
    CIndexedOutput output(bitmap, depth);
    CImageBitmap& target = indexed ? output.Create(w, ht, h.alpha) : bitmap;
    if (indexed)
        InstallPalette(r.png, r.info, h, target);
    else
        target.Create(w, ht, 32, h.alpha);

    CProgressSink* sink = source.ProgressSink();
    for (int pass = 0; pass < h.passes; ++pass)
        for (int y = 0; y < ht; ++y) {
            r.Run(Step::ReadRow, target.Line(y));
            if (pass == h.passes - 1)
                Report(sink, y, ht);
        }
    r.Run(Step::Finish);
    if (indexed)
        output.Finish();
}
