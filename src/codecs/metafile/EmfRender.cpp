// SPDX-License-Identifier: MIT
// EMF through libemf2svg, whose SVG librsvg draws with cairo.
#include "codecs/MetafileRender.h"

#include "codecs/LibraryError.h"
#include "codecs/metafile/MetafileDraw.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>
#include <emf2svg.h>
#include <librsvg/rsvg.h>

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const noexcept { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const noexcept { cairo_destroy(c); }
};
struct HandleDeleter {
    void operator()(RsvgHandle* h) const noexcept { g_object_unref(h); }
};

[[noreturn]] void Fail() {
    throw CTextException(codec::kDamagedCode, codec::kMetafileFailedText);
}

std::int32_t I32LE(std::span<const std::uint8_t> d, std::size_t at) {
    return std::int32_t(std::uint32_t(d[at]) | (std::uint32_t(d[at + 1]) << 8) |
                        (std::uint32_t(d[at + 2]) << 16) | (std::uint32_t(d[at + 3]) << 24));
}

// What the header says about placing the picture: the frame (in 0.01 mm) is the picture; the
// reference device's size in pixels and millimetres converts it to the recording's pixels.
struct EmfPlacement {
    double frameLeftPx, frameTopPx, frameWidthPx, frameHeightPx; // in recording pixels
    double boundsLeft, boundsTop;                                // recording pixels
    double widthInches, heightInches;
};

EmfPlacement ReadPlacement(std::span<const std::uint8_t> d) {
    EmfPlacement p{};
    const double frame[4] = {double(I32LE(d, 24)), double(I32LE(d, 28)), double(I32LE(d, 32)),
                             double(I32LE(d, 36))};
    const double devicePx[2] = {double(I32LE(d, 72)), double(I32LE(d, 76))};
    const double deviceMm[2] = {double(I32LE(d, 80)), double(I32LE(d, 84))};
    if (frame[2] <= frame[0] || frame[3] <= frame[1] || devicePx[0] <= 0 || devicePx[1] <= 0 ||
        deviceMm[0] <= 0 || deviceMm[1] <= 0)
        Fail();
    const double pxPerHundredthX = devicePx[0] / (deviceMm[0] * 100.0);
    const double pxPerHundredthY = devicePx[1] / (deviceMm[1] * 100.0);
    p.frameLeftPx = frame[0] * pxPerHundredthX;
    p.frameTopPx = frame[1] * pxPerHundredthY;
    p.frameWidthPx = (frame[2] - frame[0]) * pxPerHundredthX;
    p.frameHeightPx = (frame[3] - frame[1]) * pxPerHundredthY;
    p.boundsLeft = I32LE(d, 8);
    p.boundsTop = I32LE(d, 12);
    p.widthInches = (frame[2] - frame[0]) / 2540.0;
    p.heightInches = (frame[3] - frame[1]) / 2540.0;
    return p;
}

std::string ConvertToSvg(std::span<const std::uint8_t> data) {
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.emfplus = true;
    char* svg = nullptr;
    std::size_t length = 0;
    // The converter trusts the header's description count and offset and reads past the end of
    // the data when they lie. The description plays no part in the drawing, so the converter gets
    // a copy without one.
    std::vector<std::uint8_t> input(data.begin(), data.end());
    constexpr std::size_t kDescriptionFieldsEnd = 68; // nDescription at 60, offDescription at 64
    if (input.size() >= kDescriptionFieldsEnd)
        std::fill(input.begin() + 60, input.begin() + kDescriptionFieldsEnd, std::uint8_t(0));
    const int ok =
        emf2svg(reinterpret_cast<char*>(input.data()), input.size(), &svg, &length, &options);
    std::unique_ptr<char, decltype(&std::free)> owned(svg, &std::free);
    if (!ok || !svg || length == 0)
        Fail();
    return std::string(svg, length);
}

// cairo's ARGB32 is premultiplied B, G, R, A in memory on this (little-endian) machine.
void StoreRow(const std::uint8_t* IMG_RESTRICT in, RGBQuad* IMG_RESTRICT out, int width) noexcept {
    for (int x = 0; x < width; ++x, in += 4) {
        const unsigned a = in[3];
        if (a == 0) {
            out[x] = RGBQuad{0, 0, 0, 0};
            continue;
        }
        auto straight = [a](unsigned c) {
            return std::uint8_t(std::min(255u, (c * 255u + a / 2) / a));
        };
        out[x] = RGBQuad{straight(in[0]), straight(in[1]), straight(in[2]), std::uint8_t(a)};
    }
}

} // namespace

// libemf2svg finalises fontconfig after matching a font for text. librsvg's text layout keeps
// fontconfig's caches alive for the whole process, so that finalisation aborts the program on
// the next metafile with text (fontconfig asserts). Nothing here needs fontconfig torn down
// before exit, so this definition, which takes the place of fontconfig's for the libraries
// that call it, does nothing.
extern "C" void FcFini(void) {}

namespace codec {

void DrawEmf(std::span<const std::uint8_t> data, IMetafileCanvas& canvas) {
    const EmfPlacement place = ReadPlacement(data);
    int width = 0, height = 0;
    MetafileOutputSize(place.widthInches, place.heightInches, width, height);
    canvas.CheckSize(width, height);
    const std::string svg = ConvertToSvg(data);
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, HandleDeleter> handle(rsvg_handle_new_from_data(
        reinterpret_cast<const guint8*>(svg.data()), gsize(svg.size()), &error));
    if (error)
        g_error_free(error);
    if (!handle)
        Fail();
    gdouble svgWidth = 0, svgHeight = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &svgWidth, &svgHeight) ||
        svgWidth <= 0 || svgHeight <= 0)
        Fail();

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw CTextException(10, kNoDeviceContextText);
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    // The converter draws recording pixels shifted by the bounds' top-left corner; the frame,
    // which is the picture, is stretched over the output.
    cairo_scale(cr.get(), width / place.frameWidthPx, height / place.frameHeightPx);
    cairo_translate(cr.get(), place.boundsLeft - place.frameLeftPx,
                    place.boundsTop - place.frameTopPx);
    const RsvgRectangle viewport{0, 0, svgWidth, svgHeight};
    const bool drawn = rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error);
    if (error)
        g_error_free(error);
    if (!drawn || cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        Fail();
    cairo_surface_flush(surface.get());

    canvas.Create(width, height);
    const std::uint8_t* pixels = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y)
        StoreRow(pixels + std::size_t(y) * std::size_t(stride), canvas.Row(y), width);
}

} // namespace codec
