// SPDX-License-Identifier: MIT
// Points, sizes and rectangles in root-window pixels, shared by the pickers and the screen grab.
#pragma once

#include <algorithm>
#include <cstdint>

namespace capture {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const noexcept { return {x + o.x, y + o.y}; }
    Point operator-(Point o) const noexcept { return {x - o.x, y - o.y}; }
};

struct Size {
    int cx = 0;
    int cy = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are exclusive: a rectangle covers the pixels left <= x < right and
// top <= y < bottom, so its width is right - left.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const Rect&, const Rect&) = default;

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    bool IsEmpty() const noexcept { return right <= left || bottom <= top; }
    Point TopLeft() const noexcept { return {left, top}; }
    bool Contains(Point p) const noexcept {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    Rect Offset(Point d) const noexcept {
        return {left + d.x, top + d.y, right + d.x, bottom + d.y};
    }
    Rect Inflated(int dx, int dy) const noexcept {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    // Common part; empty (all zero) when the two do not overlap.
    Rect Intersect(const Rect& o) const noexcept {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }

    static Rect FromSize(int x, int y, int cx, int cy) noexcept { return {x, y, x + cx, y + cy}; }
    // The rectangle spanned by two corners in any order.
    static Rect Normalized(Point a, Point b) noexcept {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
};

} // namespace capture
