// SPDX-License-Identifier: MIT
// Span filling for ellipse and polygon capture shapes, exact in integer arithmetic.
#include "capture/RegionMask.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace capture {
namespace {

// Coordinates are doubled so that pixel centres (2x + 1) and vertices (2X) are both integers
// and a centre can never lie on a vertex row.

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

void FillSpan(RGBQuad* IMG_RESTRICT row, int x0, int x1, RGBQuad fill) {
    std::fill(row + x0, row + x1, fill);
}

// Fills [0, x0) and [x1, width) of a row: everything but one inside span.
void FillAround(RGBQuad* row, int width, std::int64_t x0, std::int64_t x1, RGBQuad fill) {
    x0 = std::clamp<std::int64_t>(x0, 0, width);
    x1 = std::clamp<std::int64_t>(x1, x0, width);
    FillSpan(row, 0, int(x0), fill);
    FillSpan(row, int(x1), width, fill);
}

struct Edge {
    std::int64_t x0, y0, x1, y1; // doubled, y0 < y1
    int dir;                     // +1 downwards, -1 upwards
};

struct Crossing {
    std::int64_t x; // first pixel whose centre is at or right of the edge
    int dir;
    bool operator<(const Crossing& o) const noexcept { return x < o.x; }
};

std::vector<Edge> BuildEdges(std::span<const Point> v) {
    std::vector<Edge> edges;
    edges.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Point a = v[i];
        const Point b = v[(i + 1) % v.size()];
        if (a.y == b.y)
            continue; // horizontal edges never cross a centre row
        if (a.y < b.y)
            edges.push_back({2LL * a.x, 2LL * a.y, 2LL * b.x, 2LL * b.y, +1});
        else
            edges.push_back({2LL * b.x, 2LL * b.y, 2LL * a.x, 2LL * a.y, -1});
    }
    return edges;
}

// The first pixel x with centre 2x + 1 >= the edge's crossing of centre row cy.
std::int64_t CrossingPixel(const Edge& e, std::int64_t cy) {
    const std::int64_t den = e.y1 - e.y0;
    const std::int64_t num = e.x0 * den + (cy - e.y0) * (e.x1 - e.x0); // crossing = num / den
    // (2x + 1) * den >= num  <=>  x >= (num - den) / (2 den)
    return -FloorDiv(-(num - den), 2 * den);
}

void FillPolygonRow(RGBQuad* row, int width, std::vector<Crossing>& xs, FillRule rule,
                    RGBQuad fill) {
    std::sort(xs.begin(), xs.end());
    std::int64_t outsideFrom = 0; // start of the current outside run
    int winding = 0;
    for (const Crossing& c : xs) {
        const bool wasInside = rule == FillRule::Winding ? winding != 0 : (winding & 1) != 0;
        winding += c.dir;
        const bool isInside = rule == FillRule::Winding ? winding != 0 : (winding & 1) != 0;
        if (wasInside == isInside)
            continue;
        if (isInside) { // an outside run ends at this crossing
            const auto x0 = std::clamp<std::int64_t>(outsideFrom, 0, width);
            const auto x1 = std::clamp<std::int64_t>(c.x, 0, width);
            if (x1 > x0)
                FillSpan(row, int(x0), int(x1), fill);
        } else {
            outsideFrom = c.x;
        }
    }
    const auto x0 = std::clamp<std::int64_t>(outsideFrom, 0, width);
    FillSpan(row, int(x0), width, fill);
}

} // namespace

bool FillOutsideEllipse(CImageBitmap& bmp, RGBQuad fill) {
    if (bmp.Depth() != 32)
        return false;
    const std::int64_t w = bmp.Width(), h = bmp.Height();
    // Doubled: centre (w, h), semi-axes a = w and b = h; pixel centre (2x + 1, 2y + 1).
    // Inside when u^2 b^2 + v^2 a^2 <= a^2 b^2 with u = 2x + 1 - w, v = 2y + 1 - h.
    const std::int64_t a2 = w * w, b2 = h * h;
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::int64_t v = 2LL * y + 1 - h;
        const std::int64_t rhs = a2 * (b2 - v * v); // u^2 b^2 <= rhs; rhs > 0 as |v| < h
        // Largest U >= 0 with U^2 b^2 <= rhs, from a floating estimate corrected exactly.
        auto u = std::int64_t(std::sqrt(double(rhs) / double(b2)));
        while (u > 0 && u * u * b2 > rhs)
            --u;
        while ((u + 1) * (u + 1) * b2 <= rhs)
            ++u;
        // |2x + 1 - w| <= u  <=>  ceil((w - 1 - u) / 2) <= x <= floor((w - 1 + u) / 2)
        const std::int64_t x0 = -FloorDiv(-(w - 1 - u), 2);
        const std::int64_t x1 = FloorDiv(w - 1 + u, 2) + 1;
        FillAround(bmp.Row<RGBQuad>(y), bmp.Width(), x0, x1, fill);
    }
    return true;
}

bool FillOutsidePolygon(CImageBitmap& bmp, std::span<const Point> vertices, FillRule rule,
                        RGBQuad fill) {
    if (bmp.Depth() != 32)
        return false;
    const std::vector<Edge> edges =
        vertices.size() >= 3 ? BuildEdges(vertices) : std::vector<Edge>{};
    std::vector<Crossing> xs;
    xs.reserve(edges.size());
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::int64_t cy = 2LL * y + 1;
        xs.clear();
        for (const Edge& e : edges)
            if (e.y0 < cy && cy < e.y1)
                xs.push_back({CrossingPixel(e, cy), e.dir});
        FillPolygonRow(bmp.Row<RGBQuad>(y), bmp.Width(), xs, rule, fill);
    }
    return true;
}

bool ApplyRegionShape(CImageBitmap& bmp, int nShapePoints, std::span<const Point> vertices,
                      RGBQuad fill) {
    if (bmp.Depth() != 32)
        return false;
    if (nShapePoints == 0)
        return true;
    if (nShapePoints == 2)
        return FillOutsideEllipse(bmp, fill);
    if (nShapePoints >= 3 && vertices.size() >= std::size_t(nShapePoints))
        return FillOutsidePolygon(bmp, vertices.first(std::size_t(nShapePoints)), FillRule::Winding,
                                  fill);
    // One point (or a count the vertices cannot back): nothing of the screen is kept.
    return FillOutsidePolygon(bmp, {}, FillRule::Winding, fill);
}

} // namespace capture
