// SPDX-License-Identifier: MIT
// A point in image pixels, and the rectangle helpers the selection code shares.
#pragma once

#include "image/ImageRect.h"

#include <algorithm>

struct ImagePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};

namespace views {

inline bool Contains(const ImageRect& rc, ImagePoint pt) noexcept {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

// The common part of two rectangles; an empty rectangle when they do not overlap.
inline ImageRect Intersect(const ImageRect& a, const ImageRect& b) noexcept {
    const ImageRect rc{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    return rc.IsEmpty() ? ImageRect{} : rc;
}

inline ImageRect Offset(const ImageRect& rc, int dx, int dy) noexcept {
    return {rc.left + dx, rc.top + dy, rc.right + dx, rc.bottom + dy};
}

inline ImageRect Inflate(const ImageRect& rc, int n) noexcept {
    return {rc.left - n, rc.top - n, rc.right + n, rc.bottom + n};
}

} // namespace views
