// SPDX-License-Identifier: MIT
// Saving a bitmap under a file name: the writer is chosen by the name's extension.
#pragma once

#include "codecs/JPEGEncoder.h"
#include "codecs/PictureEncoder.h"

#include <memory>
#include <string>

class CImageBitmap;

namespace codec {

// The lower-cased text after the last "." of path; empty when there is none after its first
// character.
std::string SaveExtension(const std::string& path);
// The writer for path's extension: "jpg", "tif", "png", "bmp" or "gif"; null for any other.
std::unique_ptr<CPictureEncoder> CreateEncoderForPath(const std::string& path);

// Saves bitmap to path with the writer for its extension. JPEG, PNG and GIF are given a
// 32-bpp copy when the bitmap has another depth; BMP and TIFF get the image at its own depth.
// The options apply to JPEG. Throws CTextException: 8 with a clear text for an extension no
// writer serves, otherwise what the writer throws; the file at path is then left as it was.
void SavePicture(const std::string& path, const CImageBitmap& bitmap, const JpegOptions& options);

} // namespace codec
