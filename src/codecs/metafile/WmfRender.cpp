// SPDX-License-Identifier: MIT
// WMF through libwmf's gd device, which draws into a true-colour raster in memory.
#include "codecs/MetafileRender.h"

#include "codecs/LibraryError.h"
#include "codecs/metafile/MetafileDraw.h"
#include "image/TextException.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>
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
    static_cast<codec::IMetafileCanvas*>(context)->SetProgress(fraction < 0   ? 0.0
                                                               : fraction > 1 ? 1.0
                                                                              : double(fraction));
    return 0;
}

[[noreturn]] void Fail() {
    throw CTextException(codec::kDamagedCode, codec::kMetafileFailedText);
}

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
    const std::size_t header = copy.size() >= 22 && copy[0] == 0xD7 && copy[1] == 0xCD &&
                                       copy[2] == 0xC6 && copy[3] == 0x9A
                                   ? 22
                                   : 0;
    const std::size_t field = header + 12; // type, header size, version, file size, objects
    if (copy.size() < field + 4)
        return copy;
    const std::uint32_t stated =
        std::uint32_t(copy[field]) | (std::uint32_t(copy[field + 1]) << 8) |
        (std::uint32_t(copy[field + 2]) << 16) | (std::uint32_t(copy[field + 3]) << 24);
    const std::uint32_t words =
        std::uint32_t(std::min<std::size_t>((copy.size() - header) / 2, 0xFFFFFFFFu));
    if (stated > words)
        for (int i = 0; i < 4; ++i)
            copy[field + std::size_t(i)] = std::uint8_t(words >> (8 * i));
    return copy;
}

// The library draws a wide pen by stamping a pen-sized square at every pixel of an outline
// (ellipses and arcs as 360 short lines), so an outline costs about width x height x stamps
// pixel writes, some 25 ns each. A file of a few records with pens as wide as the picture kept
// it busy for minutes. Every outline is priced before it is drawn; once the picture would take
// more than kStrokeBudget writes the rest is refused and the load fails. Ordinary drawings stay
// far below it: a 4096-pixel line with a 50-pixel pen costs 1e7, and the budget is spent in
// two to four seconds.
constexpr double kStrokeBudget = 1.5e8;
constexpr int kArcSegments = 360;

double Distance(const wmfD_Coord& a, const wmfD_Coord& b) noexcept {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

double PathLength(const wmfD_Coord* points, std::size_t count, bool closed) noexcept {
    if (!points || count == 0)
        return 0;
    double length = closed ? Distance(points[count - 1], points[0]) : 0;
    for (std::size_t i = 1; i < count; ++i)
        length += Distance(points[i - 1], points[i]);
    return length;
}

double EllipseLength(const wmfD_Coord& tl, const wmfD_Coord& br) noexcept {
    return std::numbers::pi * (std::abs(double(br.x) - tl.x) + std::abs(double(br.y) - tl.y)) / 2;
}

double RectangleLength(const wmfD_Coord& tl, const wmfD_Coord& br) noexcept {
    return 2 * (std::abs(double(br.x) - tl.x) + std::abs(double(br.y) - tl.y));
}

// An outline to be priced: its length in the library's device units and the number of
// straight pieces it is drawn with (each costs at least one stamp).
struct Outline {
    double length;
    double pieces;
};

class CStrokeBudget {
public:
    CStrokeBudget(const wmfD_Rect& box, int width, int height) noexcept
        : m_scaleX(width / std::max(1e-9, double(box.BR.x) - box.TL.x)),
          m_scaleY(height / std::max(1e-9, double(box.BR.y) - box.TL.y)) {}

    // True when the outline may still be drawn with the pen of dc.
    bool Afford(const wmfDC* dc, Outline outline) noexcept {
        if (m_exceeded)
            return false;
        const wmfPen* pen = dc ? dc->pen : nullptr;
        if (!pen || (pen->lopnStyle & PS_STYLE_MASK) == PS_NULL)
            return true;
        const double stampX = std::max(1.0, std::abs(pen->width) * m_scaleX);
        const double stampY = std::max(1.0, std::abs(pen->height) * m_scaleY);
        const double stamps = outline.pieces + outline.length * std::max(m_scaleX, m_scaleY);
        const double cost = stampX * stampY * stamps;
        if (!(cost <= kStrokeBudget - m_spent)) { // also refuses NaN
            m_exceeded = true;
            return false;
        }
        m_spent += cost;
        return true;
    }

    bool Exceeded() const noexcept { return m_exceeded; }

private:
    double m_scaleX;
    double m_scaleY;
    double m_spent = 0;
    bool m_exceeded = false;
};

// The device's drawing functions wrapped so that each outline is priced first. The library
// calls them through one table per wmfAPI with no room for our data, and a load runs on one
// thread, so the active guard is found through a thread-local pointer.
class CStrokeGuard {
public:
    CStrokeGuard(wmfAPI* api, const wmfD_Rect& box, int width, int height) noexcept
        : m_table(static_cast<wmfFunctionReference*>(api->function_reference)),
          m_original(*m_table), m_budget(box, width, height), m_previous(s_active) {
        s_active = this;
        Wrap<&wmfFunctionReference::draw_pie>(&DrawArc<&wmfFunctionReference::draw_pie, true>);
        Wrap<&wmfFunctionReference::draw_chord>(&DrawArc<&wmfFunctionReference::draw_chord, true>);
        Wrap<&wmfFunctionReference::draw_arc>(&DrawArc<&wmfFunctionReference::draw_arc, false>);
        Wrap<&wmfFunctionReference::draw_ellipse>(
            &DrawArc<&wmfFunctionReference::draw_ellipse, false>);
        Wrap<&wmfFunctionReference::draw_line>(&DrawLine);
        Wrap<&wmfFunctionReference::poly_line>(&DrawPath<&wmfFunctionReference::poly_line, false>);
        Wrap<&wmfFunctionReference::draw_polygon>(
            &DrawPath<&wmfFunctionReference::draw_polygon, true>);
        Wrap<&wmfFunctionReference::draw_polypolygon>(&DrawPolyPolygon);
        Wrap<&wmfFunctionReference::draw_rectangle>(&DrawRectangle);
    }
    ~CStrokeGuard() {
        *m_table = m_original;
        s_active = m_previous;
    }
    CStrokeGuard(const CStrokeGuard&) = delete;
    CStrokeGuard& operator=(const CStrokeGuard&) = delete;

    bool Exceeded() const noexcept { return m_budget.Exceeded(); }

private:
    // A function the device leaves out stays out: the player then falls back on others (a
    // polypolygon drawn as polygons), which are priced themselves.
    template <auto Member, typename Function> void Wrap(Function wrapper) noexcept {
        if (m_table->*Member)
            m_table->*Member = wrapper;
    }
    template <auto Member, typename Draw>
    static void Forward(wmfAPI* api, Draw* draw, Outline outline) {
        if (s_active && s_active->m_budget.Afford(draw->dc, outline))
            (s_active->m_original.*Member)(api, draw);
    }
    template <auto Member, bool WithRadii> static void DrawArc(wmfAPI* api, wmfDrawArc_t* draw) {
        const double radii = WithRadii ? Distance(draw->TL, draw->BR) : 0;
        Forward<Member>(
            api, draw, {EllipseLength(draw->TL, draw->BR) + radii, kArcSegments + 2.0 * WithRadii});
    }
    static void DrawLine(wmfAPI* api, wmfDrawLine_t* draw) {
        Forward<&wmfFunctionReference::draw_line>(api, draw, {Distance(draw->from, draw->to), 1});
    }
    template <auto Member, bool Closed> static void DrawPath(wmfAPI* api, wmfPolyLine_t* draw) {
        Forward<Member>(api, draw,
                        {PathLength(draw->pt, draw->count, Closed), double(draw->count)});
    }
    static void DrawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* draw) {
        Outline outline{0, 0};
        for (unsigned i = 0; draw->pt && draw->count && i < draw->npoly; ++i) {
            outline.length += PathLength(draw->pt[i], draw->count[i], true);
            outline.pieces += draw->count[i];
        }
        Forward<&wmfFunctionReference::draw_polypolygon>(api, draw, outline);
    }
    static void DrawRectangle(wmfAPI* api, wmfDrawRectangle_t* draw) {
        const double corners = draw->width > 0 || draw->height > 0 ? kArcSegments : 4;
        Forward<&wmfFunctionReference::draw_rectangle>(
            api, draw, {RectangleLength(draw->TL, draw->BR), corners});
    }

    static thread_local CStrokeGuard* s_active;
    wmfFunctionReference* m_table;
    wmfFunctionReference m_original;
    CStrokeBudget m_budget;
    CStrokeGuard* m_previous;
};

thread_local CStrokeGuard* CStrokeGuard::s_active = nullptr;

} // namespace

namespace codec {

void DrawWmf(std::span<const std::uint8_t> data, IMetafileCanvas& canvas) {
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    wmfAPI* raw = nullptr;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
        if (raw)
            wmf_api_destroy(raw);
        throw CTextException(10, kNoDeviceContextText);
    }
    std::unique_ptr<wmfAPI, ApiDeleter> api(raw);
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    wmf_status_function(api.get(), &canvas, OnStatus);

    // The library reads only this copy, whose header cannot make it allocate past the file.
    std::vector<std::uint8_t> copy = WithBoundedRecordSize(data);
    if (wmf_mem_open(api.get(), copy.data(), long(copy.size())) != wmf_E_None)
        Fail();
    wmfD_Rect box{};
    unsigned int w = 0, h = 0;
    if (wmf_scan(api.get(), 0, &box) != wmf_E_None ||
        wmf_display_size(api.get(), &w, &h, kMetafileDpi, kMetafileDpi) != wmf_E_None)
        Fail();
    int width = 0, height = 0;
    MetafileOutputSize(w / kMetafileDpi, h / kMetafileDpi, width, height);
    canvas.CheckSize(width, height);
    device->bbox = box;
    device->width = unsigned(width);
    device->height = unsigned(height);
    GdImageOwner image;
    wmf_error_t played = wmf_E_None;
    bool tooCostly = false;
    {
        CStrokeGuard guard(api.get(), box, width, height);
        played = wmf_play(api.get(), 0, &box);
        tooCostly = guard.Exceeded();
    }
    image.image = device->gd_image;
    const auto* im = static_cast<const gdImage*>(image.image);
    if (played != wmf_E_None || tooCostly || !im || !im->trueColor || !im->tpixels ||
        im->sx != width || im->sy != height)
        Fail();

    canvas.Create(width, height);
    for (int y = 0; y < height; ++y)
        StoreRow(im->tpixels[y], canvas.Row(y), width);
}

} // namespace codec
