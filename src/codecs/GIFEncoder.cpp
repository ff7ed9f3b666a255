// SPDX-License-Identifier: MIT
// GIF writer: split into colour planes, quantise, write one image.
#include "codecs/GIFEncoder.h"

#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/Trace.h"

#include <memory>
#include <string>

#include <gif_lib.h>

namespace {

struct GifOutput {
    std::vector<std::uint8_t>* out;
    CPictureEncoder* encoder;
};

int OnWrite(GifFileType* gif, const GifByteType* data, int count) {
    auto* output = static_cast<GifOutput*>(gif->UserData);
    // A short count makes the library report its write error.
    return count > 0 && output->encoder->Append(*output->out, data, std::size_t(count)) ? count : 0;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const noexcept { GifFreeMapObject(map); }
};

// Closes the file once; the encoder closes explicitly to see the result of the final write.
struct GifWriter {
    GifFileType* gif = nullptr;
    ~GifWriter() {
        if (gif)
            EGifCloseFile(gif, nullptr);
    }
};

[[noreturn]] void Fail(int error) {
    const char* text = GifErrorString(error);
    img::Trace("GIF-LIB error: %s.\n", text ? text : "");
    codec::ThrowLibraryError(text ? text : "");
}

struct Planes {
    std::vector<GifByteType> red, green, blue, index;
};

Planes Split(const CImageBitmap& b) {
    const std::size_t count = std::size_t(b.Width()) * std::size_t(b.Height());
    Planes p;
    p.red.resize(count);
    p.green.resize(count);
    p.blue.resize(count);
    p.index.resize(count);
    std::size_t i = 0;
    for (int y = 0; y < b.Height(); ++y) {
        const RGBQuad* row = b.Row<RGBQuad>(y);
        for (int x = 0; x < b.Width(); ++x, ++i) {
            p.red[i] = row[x].red;
            p.green[i] = row[x].green;
            p.blue[i] = row[x].blue;
        }
    }
    return p;
}

} // namespace

void CGIFEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    CMemoryBitmap expanded;
    if (bitmap.Depth() != 32)
        expanded.CreateCopy(bitmap, 32);
    const CImageBitmap& source = bitmap.Depth() == 32 ? bitmap : expanded;
    const int width = source.Width(), height = source.Height();

    Planes p = Split(source);
    GifColorType colors[256] = {};
    int colorCount = 256;
    if (GifQuantizeBuffer(unsigned(width), unsigned(height), &colorCount, p.red.data(),
                          p.green.data(), p.blue.data(), p.index.data(), colors) == GIF_ERROR)
        Fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    // A GIF colour map has a power-of-two size; the unused entries stay black.
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, colors));
    if (!map)
        Fail(E_GIF_ERR_NOT_ENOUGH_MEM);

    int error = 0;
    GifOutput output{&out, this};
    GifWriter w;
    w.gif = EGifOpen(&output, OnWrite, &error);
    if (!w.gif)
        Fail(error);
    if (EGifPutScreenDesc(w.gif, width, height, 8, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(w.gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
        Fail(w.gif->Error);
    for (int y = 0; y < height; ++y)
        if (EGifPutLine(w.gif, p.index.data() + std::size_t(y) * std::size_t(width), width) ==
            GIF_ERROR)
            Fail(w.gif->Error);
    GifFileType* gif = w.gif;
    w.gif = nullptr;
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        Fail(error);
}
