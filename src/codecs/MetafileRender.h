// SPDX-License-Identifier: MIT
// Drawing Windows metafiles into 32-bpp bitmaps: WMF with libwmf's raster output, EMF through
// libemf2svg's SVG drawn by librsvg. Both at 72 dots per inch, the longer side at most
// kMaxMetafileSide pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CImageBitmap;
class CProgressSink;

namespace codec {

inline constexpr double kMetafileDpi = 72.0;
inline constexpr int kMaxMetafileSide = 4096;

// Output size in pixels for a picture of widthInches x heightInches: at kMetafileDpi, scaled
// down to fit kMaxMetafileSide, at least 1 x 1.
void MetafileOutputSize(double widthInches, double heightInches, int& width, int& height);

// True when data starts like a WMF (placeable header or standard header) or an EMF.
bool LooksLikeWmf(std::span<const std::uint8_t> data);
bool LooksLikeEmf(std::span<const std::uint8_t> data);

// Render into bitmap (created at 32 bpp with the alpha flag) with the renderers of the metafile
// module, loaded on the first call. Throw CTextException 6 "Library not compiled for this file
// type." when the module cannot be loaded, CTextException 7
// "Windows Metafile functions failed to load this image." when the library cannot draw the
// file, 10 "Cannot allocate device context." when the drawing surface cannot be made, 10 "Out
// of memory creating bitmap." when the output would pass pixelByteLimit.
void RenderWmf(std::span<const std::uint8_t> data, CImageBitmap& bitmap, CProgressSink* pProgress,
               std::size_t pixelByteLimit);
void RenderEmf(std::span<const std::uint8_t> data, CImageBitmap& bitmap,
               std::size_t pixelByteLimit);

inline constexpr const char* kMetafileFailedText =
    "Windows Metafile functions failed to load this image.";
inline constexpr const char* kNoDeviceContextText = "Cannot allocate device context.";

} // namespace codec
