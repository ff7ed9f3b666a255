// SPDX-License-Identifier: MIT
// Settings to JPEG writer options.
#include "platform/JpegWriterOptions.h"

namespace platform {

::JpegOptions JpegWriterOptions(const JpegOptions& settings) {
    ::JpegOptions options;
    options.nQuality = settings.wQuality;
    options.bOptimize = settings.wOptimizeCoding != 0;
    options.nSmoothing = settings.wSmoothingFactor;
    options.nDensityX = settings.sizeDip.cx;
    options.nDensityY = settings.sizeDip.cy;
    return options;
}

} // namespace platform
