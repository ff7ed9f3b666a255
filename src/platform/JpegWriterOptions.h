// SPDX-License-Identifier: MIT
// The stored JPEG settings as the JPEG writer takes them.
#pragma once

#include "codecs/JPEGEncoder.h"
#include "platform/AppSettings.h"

namespace platform {

// Quality, optimised coding, smoothing and the resolution in dots per inch, as stored; the writer
// clamps each to what the library accepts.
::JpegOptions JpegWriterOptions(const JpegOptions& settings);

} // namespace platform
