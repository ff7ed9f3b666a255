// SPDX-License-Identifier: MIT
// Rectangle in image pixels; right and bottom are exclusive.
#pragma once

#include <algorithm>

struct ImageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    bool IsEmpty() const noexcept { return right <= left || bottom <= top; }

    // Each coordinate pair ordered so that left <= right and top <= bottom.
    ImageRect Normalized() const noexcept {
        return ImageRect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                         std::max(top, bottom)};
    }

    friend bool operator==(const ImageRect&, const ImageRect&) = default;
};
