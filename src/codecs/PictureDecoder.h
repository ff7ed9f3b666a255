// SPDX-License-Identifier: MIT
// The loader: recognises a file's format (metafiles by name, everything else by its first
// bytes) and hands it to the reader for that format.
#pragma once

#include "codecs/DecoderTable.h"
#include "codecs/ImageDecoder.h"
#include "codecs/PictureFormat.h"
#include "image/ImageBitmap.h"
#include "image/ImageObject.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CDataSource;
class CImageBitmap;
class CProgressSink;

class CPictureDecoder : public CImageObject {
public:
    CPictureDecoder();
    ~CPictureDecoder() override;
    CPictureDecoder(const CPictureDecoder&) = delete;
    CPictureDecoder& operator=(const CPictureDecoder&) = delete;

    // Decodes the file into bitmap (re-created to the file's size) and returns the format found.
    // depth 0 gives 8 bpp for files of 8 bits per pixel or less and 32 bpp otherwise; 32 always
    // gives 32 bpp. On failure bitmap is left as it was. Throws CTextException: errno with
    // "Opening %s failed", 8 "Unknown file type.", 6 "Library not compiled for this file type.",
    // or the reader's code and text.
    PictureFormat LoadFromFile(const std::string& path, CImageBitmap& bitmap, int depth,
                               CProgressSink* pProgress);
    // The same for a memory block; metafiles, known only by name, are not recognised here.
    PictureFormat LoadFromMemory(const std::uint8_t* data, std::size_t size, CImageBitmap& bitmap,
                                 int depth, CProgressSink* pProgress);

    // Replaces the reader of a slot (null removes it).
    void SetDecoder(DecoderSlot slot, std::unique_ptr<CImageDecoder> decoder);
    // Upper bound on the pixel bytes of a decoded image, for every reader present and future
    // (see CImageDecoder::SetPixelByteLimit).
    void SetPixelByteLimit(std::size_t bytes);

private:
    void Decode(PictureFormat format, CDataSource& source, CImageBitmap& bitmap, int depth);

    std::array<std::unique_ptr<CImageDecoder>, std::size_t(DecoderSlot::Count)> m_decoders;
    std::size_t m_nPixelByteLimit = CImageBitmap::kMaxPixelBytes;
};
