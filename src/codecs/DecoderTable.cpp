// SPDX-License-Identifier: MIT
// The readers of this build, by slot. The older-format readers join as their sources appear:
// CMake defines QUORVI_HAVE_<NAME>_DECODER for each one present in this folder.
#include "codecs/DecoderTable.h"

#include "codecs/GIFDecoder.h"
#include "codecs/JPEGDecoder.h"
#include "codecs/PNGDecoder.h"
#include "codecs/TIFFDecoder.h"

#if defined(QUORVI_HAVE_METAFILE_DECODER)
#include "codecs/MetafileDecoder.h"
#endif
#if defined(QUORVI_HAVE_BMP_DECODER)
#include "codecs/BMPDecoder.h"
#endif
#if defined(QUORVI_HAVE_TGA_DECODER)
#include "codecs/TGADecoder.h"
#endif
#if defined(QUORVI_HAVE_PCX_DECODER)
#include "codecs/PCXDecoder.h"
#endif
#if defined(QUORVI_HAVE_PGM_DECODER)
#include "codecs/PGMDecoder.h"
#endif
#if defined(QUORVI_HAVE_PICT_DECODER)
#include "codecs/PictDecoder.h"
#endif

namespace codec {

DecoderSlot SlotOf(PictureFormat format) noexcept {
    switch (format) {
    case PictureFormat::Bmp:
        return DecoderSlot::Bmp;
    case PictureFormat::Pict:
        return DecoderSlot::Pict;
    case PictureFormat::Tga:
        return DecoderSlot::Tga;
    case PictureFormat::Tiff:
    case PictureFormat::EpsTiff:
        return DecoderSlot::Tiff;
    case PictureFormat::Jpeg:
        return DecoderSlot::Jpeg;
    case PictureFormat::Png:
        return DecoderSlot::Png;
    case PictureFormat::Wmf:
    case PictureFormat::Emf:
        return DecoderSlot::Metafile;
    case PictureFormat::Pcx:
        return DecoderSlot::Pcx;
    case PictureFormat::Pgm:
        return DecoderSlot::Pgm;
    case PictureFormat::Gif:
        return DecoderSlot::Gif;
    case PictureFormat::Unknown:
        break;
    }
    return DecoderSlot::Count;
}

std::unique_ptr<CImageDecoder> CreateDecoder(DecoderSlot slot) {
    switch (slot) {
    case DecoderSlot::Tiff:
        return std::make_unique<CTIFFDecoder>();
    case DecoderSlot::Jpeg:
        return std::make_unique<CJPEGDecoder>();
    case DecoderSlot::Png:
        return std::make_unique<CPNGDecoder>();
    case DecoderSlot::Gif:
        return std::make_unique<CGIFDecoder>();
#if defined(QUORVI_HAVE_METAFILE_DECODER)
    case DecoderSlot::Metafile:
        return std::make_unique<CMetafileDecoder>();
#endif
#if defined(QUORVI_HAVE_BMP_DECODER)
    case DecoderSlot::Bmp:
        return std::make_unique<CBMPDecoder>();
#endif
#if defined(QUORVI_HAVE_TGA_DECODER)
    case DecoderSlot::Tga:
        return std::make_unique<CTGADecoder>();
#endif
#if defined(QUORVI_HAVE_PCX_DECODER)
    case DecoderSlot::Pcx:
        return std::make_unique<CPCXDecoder>();
#endif
#if defined(QUORVI_HAVE_PGM_DECODER)
    case DecoderSlot::Pgm:
        return std::make_unique<CPGMDecoder>();
#endif
#if defined(QUORVI_HAVE_PICT_DECODER)
    case DecoderSlot::Pict:
        return std::make_unique<CPictDecoder>();
#endif
    default:
        break;
    }
    return nullptr;
}

} // namespace codec
