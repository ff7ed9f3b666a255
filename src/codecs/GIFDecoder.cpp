// SPDX-License-Identifier: MIT
// GIF reader: giflib's low-level record API from memory, stopping after the first image.
#include "codecs/GIFDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/IndexedOutput.h"
#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace {

struct GifInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
    bool truncated;
};

int OnRead(GifFileType* gif, GifByteType* out, int count) {
    auto* in = static_cast<GifInput*>(gif->UserData);
    const std::size_t wanted = count > 0 ? std::size_t(count) : 0;
    const std::size_t n = std::min(wanted, in->size - in->position);
    std::memcpy(out, in->data + in->position, n);
    in->position += n;
    if (n < wanted)
        in->truncated = true;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const noexcept { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(const GifInput& input, int error) {
    if (input.truncated)
        throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
    const char* text = GifErrorString(error);
    codec::ThrowLibraryError(text ? text : "");
}

// Reads records up to the first image descriptor, remembering the transparent colour of the
// graphic control block in front of it (-1 when none).
int SeekFirstImage(GifFileType* gif, const GifInput& input) {
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            Fail(input, gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                Fail(input, gif->Error);
            return transparent;
        }
        if (type == TERMINATE_RECORD_TYPE)
            throw CTextException(codec::kDamagedCode, "The GIF file contains no image.");
        if (type != EXTENSION_RECORD_TYPE)
            continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            Fail(input, gif->Error);
        GraphicsControlBlock gcb{};
        if (code == GRAPHICS_EXT_FUNC_CODE && block &&
            DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                Fail(input, gif->Error);
        }
    }
}

void InstallPalette(const ColorMapObject* map, int transparent, CImageBitmap& target) {
    RGBQuad* out = target.Palette();
    if (map && map->Colors) {
        // Indexes past the file's map show black.
        std::fill(out, out + 256, RGBQuad{0, 0, 0, 255});
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
            out[i] = RGBQuad{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 255};
    }
    if (transparent >= 0 && transparent < 256)
        out[transparent].reserved = 0;
}

// Row of the frame read at position i of an interlaced image (four passes).
int InterlacedRow(int i, int height) {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (i < rows)
            return kStart[pass] + i * kStep[pass];
        i -= rows;
    }
    return height - 1;
}

} // namespace

void CGIFDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    const auto bytes = source.All().subspan(source.Position());
    GifInput input{bytes.data(), bytes.size(), 0, false};
    int error = 0;
    GifHandle gif(DGifOpen(&input, OnRead, &error));
    if (!gif)
        Fail(input, error);
    const int transparent = SeekFirstImage(gif.get(), input);
    const GifImageDesc frame = gif->Image;
    if (frame.Width < 0 || frame.Height < 0 || frame.Left < 0 || frame.Top < 0)
        throw CTextException(codec::kDamagedCode, "The GIF image has a negative size or position.");
    // A screen of size 0 is taken from the frame; frame parts outside the screen are cut off.
    const int width = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
    const int height = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
    codec::CheckImageSize(width, height, depth == 32 ? 32 : 8, PixelByteLimit());
    if (frame.Width > 0 && frame.Height > 0)
        codec::CheckImageSize(frame.Width, frame.Height, 8, PixelByteLimit());

    CIndexedOutput output(bitmap, depth);
    CImageBitmap& target = output.Create(width, height, transparent >= 0);
    InstallPalette(frame.ColorMap ? frame.ColorMap : gif->SColorMap, transparent, target);
    const int fill = transparent >= 0 ? transparent : std::clamp(gif->SBackGroundColor, 0, 255);
    for (int y = 0; y < height; ++y)
        std::memset(target.Line(y), fill, std::size_t(width));

    std::vector<GifPixelType> line(std::size_t(std::max(frame.Width, 1)));
    const int visible = std::max(0, std::min(frame.Width, width - frame.Left));
    CProgressSink* sink = source.ProgressSink();
    for (int i = 0; frame.Width > 0 && i < frame.Height; ++i) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
            Fail(input, gif->Error);
        const int y = frame.Top + (frame.Interlace ? InterlacedRow(i, frame.Height) : i);
        if (y < height && visible > 0)
            std::memcpy(target.Line(y) + frame.Left, line.data(), std::size_t(visible));
        if (sink && (i & 15) == 0)
            sink->SetProgress(double(i) / double(frame.Height));
    }
    output.Finish();
}
