// SPDX-License-Identifier: MIT
// The module's two renderers, at 72 dots per inch, the longer side at most kMaxMetafileSide.
// Both throw CTextException 7 "Windows Metafile functions failed to load this image." when the
// library cannot draw the file and 10 "Cannot allocate device context." when the drawing
// surface cannot be made; the canvas throws for sizes it may not take.
#pragma once

#include "codecs/MetafileModule.h"

namespace codec {

void DrawWmf(std::span<const std::uint8_t> data, IMetafileCanvas& canvas);
void DrawEmf(std::span<const std::uint8_t> data, IMetafileCanvas& canvas);

} // namespace codec
