// SPDX-License-Identifier: MIT
// Separable resampling: weight tables per pass and the two passes over rows and columns.
#pragma once

#include <vector>

class CImageBitmap;
class CProgressSink;

namespace img {

enum class ResampleKernel { Bilinear, Box, Gaussian, Hamming };

// K(x) for x >= 0 and radius r; 0 when x > r.
double KernelValue(ResampleKernel kernel, double x, double radius) noexcept;

// Source taps of every destination sample of one pass from n to m samples: destination i
// reads count[i] samples from first[i] on, with weights[i * window + t].
struct ResampleTaps {
    int window = 0;
    std::vector<int> first;
    std::vector<int> count;
    std::vector<double> weights;
};

// scale = m / n; width w = radius and factor f = 1 when scale >= 1, else w = radius / scale and
// f = scale; window = 2 ceil(w) + 1; sample i is centred on i / scale and weighs source k by
// f K(|centre - k| f), normalised to sum 1. A sample whose weights do not add up to a positive
// sum (a radius too small to reach any source sample) takes its nearest source sample instead
// of turning black. A radius that is not a finite number >= 0 counts as 0.
ResampleTaps ComputeTaps(int n, int m, double radius, ResampleKernel kernel);

// Resamples a 32-bpp source to width x height: rows first into a 32-bpp intermediate of the
// source's height, then columns. Every channel, the fourth byte too, becomes the weighted sum
// rounded (half up) and clamped to 0..255. Progress: 0.5 x i / source height after source row
// i, 0.5 when the columns start. destination is created at 32 bpp with the source's alpha flag.
void Resample(const CImageBitmap& source, CImageBitmap& destination, int width, int height,
              double radius, ResampleKernel kernel, CProgressSink* pProgress);

} // namespace img
