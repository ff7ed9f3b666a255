// SPDX-License-Identifier: MIT
// Which reader serves which recognised format. The loader keeps one reader per slot; WMF and
// EMF share the metafile reader and the EPS preview uses the TIFF reader.
#pragma once

#include "codecs/PictureFormat.h"

#include <memory>

class CImageDecoder;

enum class DecoderSlot { Bmp, Pict, Tga, Tiff, Jpeg, Png, Metafile, Pcx, Pgm, Gif, Count };

namespace codec {

// The slot serving format; Count for Unknown.
DecoderSlot SlotOf(PictureFormat format) noexcept;
// A new reader for the slot, or null when this build has none for it.
std::unique_ptr<CImageDecoder> CreateDecoder(DecoderSlot slot);

} // namespace codec
