// SPDX-License-Identifier: MIT
// WMF through libwmf's gd device, which draws into a true-colour raster in memory.
#include "codecs/MetafileRender.h"

#include "codecs/LibraryError.h"
#include "codecs/DecodeSupport.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <libwmf/api.h>
#include <libwmf/gd.h>
// libwmf's own gd, for the image it hands over (this include path is set for this file only).
#include <gd.h>

namespace {

struct ApiDeleter {
    void operator()(wmfAPI* api) const noexcept { wmf_api_destroy(api); }
};

// The library leaves its finished raster to the caller but exports no way to free it; it is
// allocated with malloc like the rest of its gd, in the layout of the installed header.
void FreeGdImage(void* image) noexcept {
    auto* im = static_cast<gdImage*>(image);
    if (!im)
        return;
    std::free(im->polyInts);
    std::free(im->style);
    if (im->clip) {
        std::free(im->clip->list);
        std::free(im->clip);
    }
    std::free(im->tpixels);
    std::free(im->_tpixels);
    std::free(im);
}

struct GdImageOwner {
    void* image = nullptr;
    ~GdImageOwner() { FreeGdImage(image); }
};

int OnStatus(void* context, float fraction) {
    if (auto* sink = static_cast<CProgressSink*>(context))
        sink->SetProgress(fraction < 0 ? 0.0 : fraction > 1 ? 1.0 : double(fraction));
    return 0;
}

[[noreturn]] void Fail() { throw CTextException(codec::kDamagedCode, codec::kMetafileFailedText); }

// gd pixels are 0xAARRGGBB with a 7-bit alpha where 0 is opaque.
void StoreRow(const int* IMG_RESTRICT in, RGBQuad* IMG_RESTRICT out, int width) noexcept {
    for (int x = 0; x < width; ++x) {
        const auto v = static_cast<std::uint32_t>(in[x]);
        const unsigned transparency = (v >> 24) & 0x7F;
        out[x] = RGBQuad{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                         std::uint8_t(255 - (transparency * 255 + 63) / 127)};
    }
}

// The library sizes its record buffer by the header's largest-record field: a lying header of a
// few hundred bytes made it allocate hundreds of megabytes. No record can be larger than the
// rest of the file, so the field is clamped to that.
std::vector<std::uint8_t> WithBoundedRecordSize(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    const std::size_t header = copy.size() >= 22 && copy[0] == 0xD7 && copy[1] == 0xCD && copy[2] == 0xC6 && copy[3] == 0x9A ? 22 : 0;
    const std::size_t field = header + 12; // type, header size, version, file size, objects
    if (copy.size() < field + 4)
        return copy;
    const std::uint32_t stated = std::uint32_t(copy[field]) | (std::uint32_t(copy[field + 1]) << 8) |
                                 (std::uint32_t(copy[field + 2]) << 16) | (std::uint32_t(copy[field + 3]) << 24);
    const std::uint32_t words = std::uint32_t(std::min<std::size_t>((copy.size() - header) / 2, 0xFFFFFFFFu));
    if (stated > words)
        for (int i = 0; i < 4; ++i)
            copy[field + std::size_t(i)] = std::uint8_t(words >> (8 * i));
    return copy;
}

} // namespace

namespace codec {

void RenderWmf(std::span<const std::uint8_t> data, CImageBitmap& bitmap, CProgressSink* pProgress,
               std::size_t pixelByteLimit) {
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    wmfAPI* raw = nullptr;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
        if (raw)
            wmf_api_destroy(raw);
        throw CTextException(10, kNoDeviceContextText);
    }
    std::unique_ptr<wmfAPI, ApiDeleter> api(raw);
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    wmf_status_function(api.get(), pProgress, OnStatus);

    // The library reads only this copy, whose header cannot make it allocate past the file.
    std::vector<std::uint8_t> copy = WithBoundedRecordSize(data);
    if (wmf_mem_open(api.get(), copy.data(), long(copy.size())) != wmf_E_None)
        Fail();
    wmfD_Rect box{};
    unsigned int w = 0, h = 0;
    if (wmf_scan(api.get(), 0, &box) != wmf_E_None || wmf_display_size(api.get(), &w, &h, kMetafileDpi, kMetafileDpi) != wmf_E_None)
        Fail();
    int width = 0, height = 0;
    MetafileOutputSize(w / kMetafileDpi, h / kMetafileDpi, width, height);
    CheckImageSize(width, height, 32, pixelByteLimit);
    device->bbox = box;
    device->width = unsigned(width);
    device->height = unsigned(height);
    GdImageOwner image;
    const wmf_error_t played = wmf_play(api.get(), 0, &box);
    image.image = device->gd_image;
    const auto* im = static_cast<const gdImage*>(image.image);
    if (played != wmf_E_None || !im || !im->trueColor || !im->tpixels || im->sx != width || im->sy != height)
        Fail();

    bitmap.Create(width, height, 32, true);
    for (int y = 0; y < height; ++y)
        StoreRow(im->tpixels[y], bitmap.Row<RGBQuad>(y), width);
}

} // namespace codec
